#include "FileListBox.h"

#include "NativeFileSystem.h"
#include "QuillonError.h"

namespace {
std::string UsableFolder(const std::string& path) {
    if (path.empty() || !NativeFs::FolderExists(path))
        throw QuillonError(PlatformError::PathNotFound, "Platform", "Path not found: " + path);
    return path;
}
}  // namespace

FileListBox::FileListBox() : path_(NativeFs::CurrentFolder()) {}

void FileListBox::SetPath(const std::string& path) {
    path_ = UsableFolder(path);
}

std::vector<std::string> FileListBox::Names() const {
    return NativeFs::ListFiles(path_, pattern_);
}

DirListBox::DirListBox() : path_(NativeFs::CurrentFolder()) {}

void DirListBox::SetPath(const std::string& path) {
    path_ = UsableFolder(path);
}

std::vector<std::string> DirListBox::Folders() const {
    std::vector<std::string> folders;
    std::string base = path_;
    if (base.empty() || (base.back() != '\\' && base.back() != '/'))
        base += '\\';
    for (const std::string& name : NativeFs::ListFolders(path_))
        folders.push_back(base + name);
    return folders;
}
