#pragma once

#include <memory>
#include <string>

#include "NativeFileSystem.h"

class FileInterface;
class FileAccess;

// One file: a folder (ending in "\", lower case where file names ignore case) and a
// file name, bound to the program's file interface, which it never owns.
class FileReference {
  public:
    bool FileAbsent() const;
    FileInterface* GetFileInterface() const { return fileInterface_; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& NewFileName) { fileName_ = NewFileName; }
    const std::string& Path() const { return path_; }
    std::string FullName() const { return path_ + fileName_; }

    // Raise 1069 / 1068 when the file / its folder is missing.
    void AssertFileExists() const;
    void AssertPathExists() const;

    void CopyIntoAccess(FileAccess& Into, bool Force) const;
    // Copies this file over Into's. Without Force a read-only target is left alone,
    // silently; with it the target is replaced and stays read-only. Watch, when given,
    // sees the bytes pass.
    void CopyIntoReference(const FileReference& Into, bool Force,
                           NativeFs::CopyWatch* Watch = nullptr) const;
    // Makes Into, a name not in use, a backup of this file that is on disk before this
    // file is replaced (by a copy renamed over it): a hard link where the file system
    // allows one, else a flushed copy. True when it linked. Watch, when given, sees
    // the bytes the backup holds.
    bool BackupIntoReference(const FileReference& Into, NativeFs::CopyWatch* Watch = nullptr) const;
    void Delete() const;

    std::unique_ptr<NativeFs::InputFile> OpenFileForInput() const;
    std::unique_ptr<NativeFs::OutputFile> OpenFileForOutput() const;
    std::unique_ptr<NativeFs::OutputFile> OpenFileForAppend() const;

    // Binds the reference; nothing on disk is looked at. Raises 1101 without an
    // interface.
    void Setup(std::string NewPath, const std::string& NewFileName,
               FileInterface* NewFileInterface);
    void CopySetup(const FileReference& CopyFrom);

  private:
    // Tells the interface this file is about to be written.
    void NoteWritten() const;

    FileInterface* fileInterface_ = nullptr;
    std::string path_;
    std::string fileName_;
};
