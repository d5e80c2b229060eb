#include "FileInterface.h"

#include "Dialogs.h"
#include "FileListBox.h"
#include "FileReference.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "Useful.h"

namespace {
const char* const kSource = "QELEd.FileInterface";

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}
}  // namespace

FileInterface::FileInterface(std::string TempPath) : tempPath_(std::move(TempPath)) {
    // Until Setup hands in the window's lists, the interface works with its own.
    ownFileList_ = std::make_unique<FileListBox>();
    ownDirList_ = std::make_unique<DirListBox>();
    fileList_ = ownFileList_.get();
    dirList_ = ownDirList_.get();
}

FileInterface::~FileInterface() = default;

void FileInterface::Setup(CommonDialog* NewDialog, FileListBox* NewFileList,
                          DirListBox* NewDirList) {
    dialog_ = NewDialog;
    if (NewFileList)
        fileList_ = NewFileList;
    if (NewDirList)
        dirList_ = NewDirList;
}

std::string FileInterface::CurrentPath() const {
    std::string path = fileList_->Path();
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

bool FileInterface::PathInvalid(const std::string& Path) {
    try {
        fileList_->SetPath(Path);
        return false;
    } catch (const QuillonError&) {
        return true;
    }
}

bool FileInterface::FileAbsent(const std::string& Path, const std::string& FileName) {
    if (PathInvalid(Path))
        return true;
    fileList_->SetPattern(FileName);
    // A plain name is tested by itself, hidden or not, without listing the folder.
    if (!HasWildcard(FileName)) {
        std::string folder = Path;
        if (folder.empty() || folder.back() != '\\')
            folder += '\\';
        return FileName.empty() || !NativeFs::FileExists(folder + FileName);
    }
    return fileList_->Names().empty();
}

void FileInterface::NoteRestored(const FileReference& Backup, const FileReference& Target) {
    NativeFs::FileIdentity target;
    NativeFs::FileIdentity backup;
    if (NativeFs::IdentifyFile(Target.FullName(), target) &&
        NativeFs::IdentifyFile(Backup.FullName(), backup))
        restored_[target] = backup;
}

bool FileInterface::RestoredFrom(const FileReference& Backup, const FileReference& Target) const {
    if (restored_.empty())
        return false;
    NativeFs::FileIdentity target;
    NativeFs::FileIdentity backup;
    if (!NativeFs::IdentifyFile(Target.FullName(), target))
        return false;
    const auto hit = restored_.find(target);
    return hit != restored_.end() && NativeFs::IdentifyFile(Backup.FullName(), backup) &&
           hit->second == backup;
}

void FileInterface::NoteWritten(const FileReference& Target) {
    // Nothing is remembered outside a switch: writes then cost no look-up.
    NativeFs::FileIdentity target;
    if (!restored_.empty() && NativeFs::IdentifyFile(Target.FullName(), target))
        restored_.erase(target);
}

bool FileInterface::ObtainFile(FileReference& FileRef, const std::string& Title,
                               const std::string& Filter, const std::string& InitPath, bool Save) {
    if (!dialog_)
        return true;
    if (!InitPath.empty() && !PathInvalid(InitPath))
        dialog_->InitDir = InitPath;
    dialog_->DialogTitle = Title;
    dialog_->FileName = "";
    dialog_->Filter = Filter;
    if (Save)
        dialog_->ShowSave();
    else
        dialog_->ShowOpen();
    // Desktop dialogs outside Windows answer with "/"; the program's paths keep "\".
    const std::string chosen = Useful::ReplaceAll(dialog_->FileName, "/", "\\");
    const long slash = Useful::LastPosition(chosen, "\\");
    const std::string folder = chosen.substr(0, static_cast<std::size_t>(slash));
    const std::string name = chosen.substr(static_cast<std::size_t>(slash));
    if (folder.empty() || name.empty())
        return true;
    if (!Save && FileAbsent(folder, name)) {
        MsgBox("File not found", MsgIcon::Exclamation, MsgButtons::OK);
        return true;
    }
    FileRef.Setup(folder, name, this);
    return false;
}

bool FileInterface::ObtainOpenFile(FileReference& FileRef, const std::string& Title,
                                   const std::string& Filter, const std::string& InitPath) {
    return ObtainFile(FileRef, Title, Filter, InitPath, false);
}

bool FileInterface::ObtainSaveAsFile(FileReference& FileRef, const std::string& Title,
                                     const std::string& Filter, const std::string& InitPath) {
    return ObtainFile(FileRef, Title, Filter, InitPath, true);
}

void FileInterface::RecurseFolders(const std::string& SourcePath, const std::string& Filter,
                                   Action& Action) {
    if (Action.Abort)
        return;
    if (PathInvalid(SourcePath))
        return;
    std::string folder = SourcePath;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    fileList_->SetPattern(Filter);
    // Taken once, before any listener runs: listeners use this same interface.
    const std::vector<std::string> names = fileList_->Names();
    auto reference = std::make_shared<FileReference>();
    for (const std::string& name : names) {
        reference->Setup(folder, name, this);
        Action.DoAction(reference);
        if (!reference)
            reference = std::make_shared<FileReference>();
    }
    try {
        dirList_->SetPath(folder);
    } catch (const QuillonError&) {
        return;
    }
    const std::vector<std::string> subFolders = dirList_->Folders();
    for (const std::string& sub : subFolders) {
        RecurseFolders(sub, Filter, Action);
        try {
            dirList_->SetPath(folder);
        } catch (const QuillonError&) {
            return;
        }
    }
}

void FileInterface::SeekFile(const std::string& FileName, Action& Action) {
    FileFound = false;
    SeekCancelled = false;
    FoundPath = "";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        // Drives that do not exist are skipped like any unusable folder.
        if (NativeFs::DriveRootUsable(letter))
            RecurseFolders(std::string(1, letter) + ":\\", FileName, Action);
        if (FileFound || SeekCancelled)
            return;
    }
}

void FileInterface::FileFoundAction_Action(std::shared_ptr<FileReference>& Arg) {
    if (FileFound || SeekCancelled)
        return;
    const MsgResult answer = MsgBox("Found " + Arg->FileName() + " at:" + Useful::CrLf +
                                        Arg->Path() + Useful::CrLf + "Is this the correct file?",
                                    MsgIcon::None, MsgButtons::YesNoCancel);
    switch (answer) {
        case MsgResult::Yes:
            FoundPath = Arg->Path();
            FileFound = true;
            fileFoundAction_->Abort = true;
            break;
        case MsgResult::No:
            break;
        case MsgResult::Cancel:
            SeekCancelled = true;
            break;
        default:
            throw QuillonError(FileError::InvalidMsgBoxResponse, kSource,
                               "Invalid MsgBox response in FileFoundAction_Action");
    }
}

std::string FileInterface::UserAssistedSeekFile(const std::string& InitialPath,
                                                const std::string& FileName) {
    std::string candidate = InitialPath;
    for (;;) {
        if (!FileAbsent(candidate, FileName))
            return candidate;
        const MsgResult answer =
            MsgBox("Could not locate " + FileName + " at:" + Useful::CrLf + candidate +
                       Useful::CrLf + "Would you like QELEd to look for it?" + Useful::CrLf +
                       "(Choose no to select another path yourself)",
                   MsgIcon::None, MsgButtons::YesNoCancel);
        switch (answer) {
            case MsgResult::Cancel:
                return "";
            case MsgResult::Yes: {
                fileFoundAction_ = std::make_shared<Action>();
                fileFoundAction_->OnAction = [this](std::shared_ptr<FileReference>& Arg) {
                    FileFoundAction_Action(Arg);
                };
                SeekFile(FileName, *fileFoundAction_);
                if (FileFound)
                    candidate = FoundPath;
                else
                    MsgBox("Could not locate " + FileName, MsgIcon::Exclamation, MsgButtons::OK);
                break;
            }
            case MsgResult::No: {
                FileReference chosen;
                if (ObtainOpenFile(chosen, "Please locate " + FileName, FileName + "|" + FileName,
                                   candidate))
                    return "";
                candidate = chosen.Path();
                break;
            }
            default:
                throw QuillonError(FileError::InvalidMsgBoxResponse, kSource,
                                   "Invalid MsgBox response in UserAssistedSeekFile");
        }
    }
}
