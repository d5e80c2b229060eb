#include "TempFolder.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "NativeFileSystem.h"

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device random;
    fs::path base = fs::temp_directory_path() / ("quillon-test-" + std::to_string(random()));
    fs::create_directories(base);
    native_ = base.string();
    path_ = native_;
#ifndef _WIN32
    // The program's paths keep "\" as separator on every system.
    for (char& c : path_)
        if (c == '/')
            c = '\\';
#else
    // Spelled as the program keeps folders on Windows (in lower case), so that tests
    // can compare the folders it reports with this one.
    path_ = NativeFs::FolderSpelling(path_);
#endif
    if (path_.back() != '\\')
        path_ += '\\';
    NativeFs::ForgetCachedFolders();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files must not keep the folder from going away.
    for (auto& entry : fs::recursive_directory_iterator(native_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(native_, ignored);
    NativeFs::ForgetCachedFolders();
}

std::string TempFolder::NativeOf(const std::string& relative) const {
    std::string rel = relative;
    for (char& c : rel)
        if (c == '\\')
            c = '/';
    return (fs::path(native_) / fs::path(rel)).string();
}

void TempFolder::Write(const std::string& relative, const std::string& content) const {
    fs::path file = NativeOf(relative);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << content;
}

std::string TempFolder::Read(const std::string& relative) const {
    std::ifstream in(NativeOf(relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempFolder::Exists(const std::string& relative) const {
    return fs::exists(NativeOf(relative));
}

void TempFolder::MakeFolder(const std::string& relative) const {
    fs::create_directories(NativeOf(relative));
}

std::vector<std::string> ReadLines(const std::string& file) {
    NativeFs::InputFile in(file);
    std::vector<std::string> lines;
    while (!in.AtEnd())
        lines.emplace_back(in.ReadLine());
    return lines;
}
