#include "GameFolder.h"

#include "FileInterface.h"
#include "FileReference.h"
#include "NativeFileSystem.h"
#include "TextCase.h"
#include "Transfer.h"

std::unique_ptr<FileReference> GameFolder::Source(const Transfer& Transfer) const {
    return Transfer.FromFileRef(FileInterface, Language, QELPath);
}

std::unique_ptr<FileReference> GameFolder::Target(const Transfer& Transfer) const {
    return Transfer.ToFileRef(FileInterface, Language, QELPath);
}

std::string GameFolder::Relative(const FileReference& File) const {
    const std::string full = File.FullName();
    // A reference may spell the game folder in lower case where names ignore it.
    if (full.size() >= QELPath.size() &&
        TextCase::EqualIgnoringCase(full.substr(0, QELPath.size()), QELPath))
        return full.substr(QELPath.size());
    return full;
}

std::unique_ptr<FileReference> BackupOf(const FileReference& File, const std::string& Prefix) {
    auto backup = std::make_unique<FileReference>();
    backup->Setup(File.Path(), Prefix + File.FileName(), File.GetFileInterface());
    return backup;
}

bool KnownFiles::Exists(const FileReference& File) {
    const std::string key = TextCase::Lower(File.FullName());
    auto known = files_.find(key);
    if (known == files_.end()) {
        // The test of FileReference::FileAbsent, its folder's part answered once.
        const bool exists = !FolderMissing(File) && !File.FileName().empty() &&
                            NativeFs::FileExists(File.FullName());
        known = files_.emplace(key, exists).first;
    }
    return known->second;
}

void KnownFiles::Now(const FileReference& File, bool Exists) {
    files_[TextCase::Lower(File.FullName())] = Exists;
}

bool KnownFiles::FolderMissing(const FileReference& File) {
    const std::string key = TextCase::Lower(File.Path());
    auto known = missingFolders_.find(key);
    if (known == missingFolders_.end())
        known =
            missingFolders_.emplace(key, File.GetFileInterface()->PathInvalid(File.Path())).first;
    return known->second;
}
