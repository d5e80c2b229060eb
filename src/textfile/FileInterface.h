#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "Action.h"
#include "NativeFileSystem.h"

class CommonDialog;
class FileListBox;
class DirListBox;
class FileReference;

// The program's single file-system interface: the current folder, whether a folder
// is usable, whether a file (or a wildcard pattern) is present, walks over folders
// and the dialogs that ask the user for a file.
class FileInterface {
  public:
    // TempPath is the folder of the scratch file "temp.tmp" (the game folder), handed
    // down by the main window that creates the interface.
    explicit FileInterface(std::string TempPath = "");
    ~FileInterface();

    void Setup(CommonDialog* NewDialog, FileListBox* NewFileList, DirListBox* NewDirList);
    const std::string& TempPath() const { return tempPath_; }

    std::string CurrentPath() const;
    bool FileAbsent(const std::string& Path, const std::string& FileName);
    bool PathInvalid(const std::string& Path);

    // True when no file was obtained.
    bool ObtainOpenFile(FileReference& FileRef, const std::string& Title, const std::string& Filter,
                        const std::string& InitPath);
    bool ObtainSaveAsFile(FileReference& FileRef, const std::string& Title,
                          const std::string& Filter, const std::string& InitPath);
    // Raises Action's event for every file under SourcePath that matches Filter: a
    // folder's own files first, in name order, then its sub-folders.
    void RecurseFolders(const std::string& SourcePath, const std::string& Filter, Action& Action);
    void SeekFile(const std::string& FileName, Action& Action);
    // The folder that holds FileName, found with the user's help, or "".
    std::string UserAssistedSeekFile(const std::string& InitialPath, const std::string& FileName);

    // What the switch under way did to game files, so the careful restoration does not
    // copy a file again that was restored from its "orig_" backup and written by nothing
    // since. Files are told apart by their identity on disk, however a path spells them:
    // a file written anew is another file.
    void NoteRestored(const FileReference& Backup, const FileReference& Target);
    bool RestoredFrom(const FileReference& Backup, const FileReference& Target) const;
    void NoteWritten(const FileReference& Target);
    void ForgetRestorations() { restored_.clear(); }

    bool FileFound = false;
    bool SeekCancelled = false;
    std::string FoundPath;

  private:
    void FileFoundAction_Action(std::shared_ptr<FileReference>& Arg);
    bool ObtainFile(FileReference& FileRef, const std::string& Title, const std::string& Filter,
                    const std::string& InitPath, bool Save);

    std::string tempPath_;
    CommonDialog* dialog_ = nullptr;
    FileListBox* fileList_ = nullptr;
    DirListBox* dirList_ = nullptr;
    std::unique_ptr<FileListBox> ownFileList_;
    std::unique_ptr<DirListBox> ownDirList_;
    std::shared_ptr<Action> fileFoundAction_;
    // restored game file -> the backup it was restored from
    std::unordered_map<NativeFs::FileIdentity, NativeFs::FileIdentity, NativeFs::FileIdentityHash>
        restored_;
};
