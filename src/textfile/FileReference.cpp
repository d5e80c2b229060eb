#include "FileReference.h"

#include "FileAccess.h"
#include "FileInterface.h"
#include "QuillonError.h"
#include "Useful.h"

namespace {
const char* const kSource = "FileReference";
const char* const kCheckPaths = "Please check paths specified in QELEd.ini";
}  // namespace

bool FileReference::FileAbsent() const {
    return fileInterface_->FileAbsent(path_, fileName_);
}

void FileReference::AssertFileExists() const {
    if (FileAbsent())
        throw QuillonError(FileError::FileNotFound, kSource,
                           "Path or file not found:" + Useful::CrLf + path_ + fileName_ +
                               Useful::CrLf + kCheckPaths);
}

void FileReference::AssertPathExists() const {
    if (fileInterface_->PathInvalid(path_))
        throw QuillonError(FileError::PathNotFound, kSource,
                           "Path not found:" + Useful::CrLf + path_ + Useful::CrLf + kCheckPaths);
}

void FileReference::CopyIntoAccess(FileAccess& Into, bool Force) const {
    Into.CopyFromReference(*this, Force);
}

void FileReference::CopyIntoReference(const FileReference& Into, bool Force,
                                      NativeFs::CopyWatch* Watch) const {
    Into.NoteWritten();
    try {
        NativeFs::CopyFileOver(FullName(), Into.FullName(), Force, Watch);
    } catch (const QuillonError&) {
        // The copy is the test: a missing file or folder is reported as such.
        AssertFileExists();
        Into.AssertPathExists();
        throw;
    }
}

bool FileReference::BackupIntoReference(const FileReference& Into,
                                        NativeFs::CopyWatch* Watch) const {
    try {
        return NativeFs::BackupFile(FullName(), Into.FullName(), Watch);
    } catch (const QuillonError&) {
        AssertFileExists();
        Into.AssertPathExists();
        throw;
    }
}

void FileReference::NoteWritten() const {
    if (fileInterface_)
        fileInterface_->NoteWritten(*this);
}

void FileReference::Delete() const {
    AssertFileExists();
    NoteWritten();
    NativeFs::DeleteFile(FullName());
}

std::unique_ptr<NativeFs::InputFile> FileReference::OpenFileForInput() const {
    try {
        return std::make_unique<NativeFs::InputFile>(FullName());
    } catch (const QuillonError&) {
        // Opening is the test of existence; a missing file is reported as before.
        AssertFileExists();
        throw;
    }
}

std::unique_ptr<NativeFs::OutputFile> FileReference::OpenFileForOutput() const {
    AssertPathExists();
    NoteWritten();
    return std::make_unique<NativeFs::OutputFile>(FullName(), NativeFs::OutputFile::Mode::Replace);
}

std::unique_ptr<NativeFs::OutputFile> FileReference::OpenFileForAppend() const {
    AssertFileExists();
    return std::make_unique<NativeFs::OutputFile>(FullName(), NativeFs::OutputFile::Mode::Append);
}

void FileReference::Setup(std::string NewPath, const std::string& NewFileName,
                          FileInterface* NewFileInterface) {
    if (!NewFileInterface)
        throw QuillonError(FileError::NoInterfaceForReference, kSource,
                           "Failed to provide FileInterface when initializing FileReference");
    fileInterface_ = NewFileInterface;
    if (NewPath.empty() || NewPath.back() != '\\')
        NewPath += '\\';
    path_ = NativeFs::FolderSpelling(NewPath);
    fileName_ = NewFileName;
}

void FileReference::CopySetup(const FileReference& CopyFrom) {
    fileInterface_ = CopyFrom.fileInterface_;
    path_ = CopyFrom.path_;
    fileName_ = CopyFrom.fileName_;
}
