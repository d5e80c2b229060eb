// The case-insensitive mapping of the program's paths on Linux and macOS, and the
// caches that keep it from listing a folder again for every file.
#include "PosixPathResolver.h"

#include <dirent.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "NativeFileSystemShared.h"
#include "TextCase.h"

namespace NativeFs::PosixPaths {
namespace {

// What the layer knows of the folders it has looked into, so that matching names
// without regard to case does not list a folder again for every file of a long
// operation. Changes the program makes itself are entered as they happen.
struct FolderNames {
    // lower-cased name -> names as stored, in listing order
    std::unordered_map<std::string, std::vector<std::string>> byLower;
};

std::unordered_map<std::string, FolderNames>& Listings() {
    static std::unordered_map<std::string, FolderNames> listings;
    return listings;
}

// Folder paths as the program spells them -> as they exist on disk.
std::unordered_map<std::string, std::string>& ResolvedFolders() {
    static std::unordered_map<std::string, std::string> folders;
    return folders;
}

const FolderNames& NamesOf(const std::string& nativeFolder) {
    auto& listings = Listings();
    auto it = listings.find(nativeFolder);
    if (it != listings.end())
        return it->second;
    FolderNames names;
    if (DIR* dir = ::opendir(nativeFolder.empty() ? "." : nativeFolder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            names.byLower[TextCase::Lower(name)].push_back(name);
        }
        ::closedir(dir);
    }
    for (auto& [lower, list] : names.byLower)
        std::sort(list.begin(), list.end());
    return listings.emplace(nativeFolder, std::move(names)).first->second;
}

}  // namespace

std::string Slashed(const std::string& path) {
    // Every path of the layer passes here: one with a NUL would be cut short by the system.
    Shared::RefuseNul(path);
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    // "Z:" is the one drive of these systems and stands for the root.
    if (result.size() >= 2 && result[1] == ':' && (result[0] == 'Z' || result[0] == 'z')) {
        result.erase(0, 2);
        if (result.empty())
            result = "/";
    }
    return result;
}

bool Exists(const std::string& native, struct stat* st) {
    struct stat local;
    return ::stat(native.c_str(), st ? st : &local) == 0;
}

void NoteCreated(const std::string& nativeFolder, const std::string& name) {
    auto it = Listings().find(nativeFolder);
    if (it == Listings().end())
        return;
    auto& list = it->second.byLower[TextCase::Lower(name)];
    if (std::find(list.begin(), list.end(), name) == list.end()) {
        list.push_back(name);
        std::sort(list.begin(), list.end());
    }
}

void NoteDeleted(const std::string& nativeFolder, const std::string& name) {
    auto it = Listings().find(nativeFolder);
    if (it == Listings().end())
        return;
    auto& list = it->second.byLower[TextCase::Lower(name)];
    list.erase(std::remove(list.begin(), list.end(), name), list.end());
}

std::string JoinNative(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

namespace {

// One component inside an existing native folder: its exact spelling when that
// exists, else the first stored name that matches without regard to case, else the
// name as given.
std::string ResolveComponent(const std::string& nativeFolder, const std::string& name) {
    if (name == "." || name == "..")
        return JoinNative(nativeFolder, name);
    std::string exact = JoinNative(nativeFolder, name);
    if (Exists(exact))
        return exact;
    const FolderNames& names = NamesOf(nativeFolder);
    auto it = names.byLower.find(TextCase::Lower(name));
    if (it != names.byLower.end() && !it->second.empty())
        return JoinNative(nativeFolder, it->second.front());
    return exact;
}

}  // namespace

std::string ResolveFolder(const std::string& slashed) {
    std::string folder = slashed;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty())
        return "";
    if (folder == "/")
        return "/";
    auto& cache = ResolvedFolders();
    auto hit = cache.find(folder);
    if (hit != cache.end())
        return hit->second;
    std::size_t slash = folder.find_last_of('/');
    std::string parent;
    std::string name;
    if (slash == std::string::npos) {
        name = folder;
    } else {
        parent = slash == 0 ? "/" : ResolveFolder(folder.substr(0, slash));
        name = folder.substr(slash + 1);
    }
    std::string resolved = ResolveComponent(parent, name);
    struct stat st;
    if (Exists(resolved, &st) && S_ISDIR(st.st_mode))
        cache.emplace(folder, resolved);
    return resolved;
}

Split Resolve(const std::string& path) {
    std::string slashed = Slashed(path);
    Split split;
    std::size_t slash = slashed.find_last_of('/');
    if (slash == std::string::npos) {
        split.name = slashed;
    } else {
        split.folder = slash == 0 ? "/" : ResolveFolder(slashed.substr(0, slash));
        split.name = slashed.substr(slash + 1);
    }
    if (split.name.empty()) {
        split.full = split.folder.empty() ? "." : split.folder;
        return split;
    }
    split.full = ResolveComponent(split.folder, split.name);
    split.name = split.full.substr(split.full.find_last_of('/') + 1);
    return split;
}

std::string ResolveFull(const std::string& path) {
    return Resolve(path).full;
}

void ForgetCache() {
    Listings().clear();
    ResolvedFolders().clear();
}

}  // namespace NativeFs::PosixPaths
