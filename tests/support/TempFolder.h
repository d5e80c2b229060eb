#pragma once

#include <string>

#include <vector>

// The physical lines of a file (in the program's form of path), read by the native layer.
std::vector<std::string> ReadLines(const std::string& file);

// A fresh folder for one test, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder in the program's form, ending in "\".
    const std::string& Path() const { return path_; }
    // The folder as the operating system spells it.
    const std::string& Native() const { return native_; }

    // Writes a file (relative path with "\" or "/"), creating its folders.
    void Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    std::string NativeOf(const std::string& relative) const;

  private:
    std::string native_;
    std::string path_;
};
