#pragma once

#include <memory>
#include <string>

class FileInterface;
class FileReference;

// One copy of a source file over a target file, both relative to the game folder.
// "%d" is expanded when a path is set; "%l" when a file reference is made. A path
// that could harm the game folder is rejected and leaves its side empty (Invalid).
class Transfer {
  public:
    void SetFromFile(const std::string& NewFromFile);
    void SetToFile(const std::string& NewToFile);
    std::unique_ptr<FileReference> FromFileRef(FileInterface* FileInterface,
                                               const std::string& Language,
                                               const std::string& QELPath) const;
    std::unique_ptr<FileReference> ToFileRef(FileInterface* FileInterface,
                                             const std::string& Language,
                                             const std::string& QELPath) const;
    bool Invalid() const { return fromName_.empty() || toName_.empty(); }

    // The safety rule on a path after "%d" expansion: true when it is rejected.
    static bool PathForbidden(const std::string& Path);

    // Collections of transfers are never keyed; this keeps the collection's shape.
    std::string Key;

  private:
    static void Split(std::string Path, std::string& Folder, std::string& Name);
    void SplitFromFile(std::string Path) { Split(std::move(Path), fromFolder_, fromName_); }
    void SplitToFile(std::string Path) { Split(std::move(Path), toFolder_, toName_); }

    std::string fromFolder_;
    std::string fromName_;
    std::string toFolder_;
    std::string toName_;
};
