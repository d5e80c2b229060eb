#pragma once

#include <string>
#include <vector>

// The file list and folder list of the desktop, over the native file system: a
// current folder (and for files a pattern) and the sorted names below it. They are
// never shown, so every front end shares these.
class FileListBox {
  public:
    FileListBox();
    // Moves to a folder; raises QuillonError (leaving the folder as it was) when the
    // folder cannot be used.
    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }
    void SetPattern(const std::string& pattern) { pattern_ = pattern; }
    const std::string& Pattern() const { return pattern_; }
    // The matching files of the folder, listed afresh.
    std::vector<std::string> Names() const;

  private:
    std::string path_;
    std::string pattern_ = "*.*";
};

class DirListBox {
  public:
    DirListBox();
    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }
    // Full paths of the sub-folders.
    std::vector<std::string> Folders() const;

  private:
    std::string path_;
};
