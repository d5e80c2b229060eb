// The case-insensitive mapping of the program's paths on Linux and macOS, and the
// caches that keep it from listing a folder again for every file.
#include "PosixPathResolver.h"

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "NativeFileSystemShared.h"
#include "TextCase.h"

namespace NativeFs::PosixPaths {
namespace {

// What the layer knows of the folders it has looked into, so that matching names
// without regard to case does not list a folder again for every file of a long
// operation. Changes the program makes itself are entered as they happen. A game
// folder holds hundreds of thousands of names: they are kept packed, one block of
// text per folder and an index sorted by the lower-cased name.
class FolderNames {
  public:
    // Takes the names of a listing, in any order.
    void Append(const char* name) {
        order_.push_back(static_cast<std::uint32_t>(text_.size()));
        text_ += name;
        text_ += '\0';
    }
    void Sort() {
        std::sort(order_.begin(), order_.end(),
                  [this](std::uint32_t a, std::uint32_t b) { return Before(At(a), At(b)); });
        text_.shrink_to_fit();
        order_.shrink_to_fit();
    }
    void Add(const std::string& name) {
        const auto at = Exact(name);
        if (at != order_.end() && std::strcmp(At(*at), name.c_str()) == 0)
            return;
        const auto position = at - order_.begin();
        // A listing is kept tight: the names the program adds grow it by a little,
        // not by as much again as it holds.
        Grow(text_, name.size() + 1);
        Grow(order_, 1);
        const auto offset = static_cast<std::uint32_t>(text_.size());
        text_ += name;
        text_ += '\0';
        order_.insert(order_.begin() + position, offset);
    }
    void Remove(const std::string& name) {
        const auto at = Exact(name);
        if (at != order_.end() && std::strcmp(At(*at), name.c_str()) == 0)
            order_.erase(at);
    }
    // The first stored name (in byte order) that matches without regard to case.
    const char* Match(const std::string& name) const {
        const auto at = std::lower_bound(
            order_.begin(), order_.end(), name.c_str(),
            [this](std::uint32_t o, const char* n) { return CompareLower(At(o), n) < 0; });
        if (at == order_.end() || CompareLower(At(*at), name.c_str()) != 0)
            return nullptr;
        return At(*at);
    }

  private:
    template <typename Buffer>
    static void Grow(Buffer& buffer, std::size_t more) {
        if (buffer.size() + more > buffer.capacity())
            buffer.reserve(buffer.size() + more + buffer.size() / 8 + 16);
    }
    const char* At(std::uint32_t offset) const { return text_.c_str() + offset; }
    std::vector<std::uint32_t>::iterator Exact(const std::string& name) {
        return std::lower_bound(
            order_.begin(), order_.end(), name.c_str(),
            [this](std::uint32_t o, const char* n) { return Before(At(o), n); });
    }
    static int CompareLower(const char* a, const char* b) {
        for (;; ++a, ++b) {
            const auto ca = static_cast<unsigned char>(TextCase::LowerChar(*a));
            const auto cb = static_cast<unsigned char>(TextCase::LowerChar(*b));
            if (ca != cb || ca == 0)
                return ca < cb ? -1 : (ca > cb ? 1 : 0);
        }
    }
    // Lower-cased names first, then the exact bytes.
    static bool Before(const char* a, const char* b) {
        const int lower = CompareLower(a, b);
        return lower != 0 ? lower < 0 : std::strcmp(a, b) < 0;
    }

    std::string text_;                  // the names, each ended by a NUL
    std::vector<std::uint32_t> order_;  // where each name starts, sorted
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
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                names.Append(name);
        }
        ::closedir(dir);
    }
    names.Sort();
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
    it->second.Add(name);
}

void NoteDeleted(const std::string& nativeFolder, const std::string& name) {
    auto it = Listings().find(nativeFolder);
    if (it == Listings().end())
        return;
    it->second.Remove(name);
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
// name as given. With st, what it names is told there too (st_mode 0: nothing), so
// that finding a file and looking at it is one call.
std::string ResolveComponent(const std::string& nativeFolder, const std::string& name,
                             struct stat* st = nullptr) {
    struct stat local;
    struct stat* found = st ? st : &local;
    std::string exact = JoinNative(nativeFolder, name);
    if (::stat(exact.c_str(), found) == 0 || name == "." || name == "..")
        return exact;
    found->st_mode = 0;
    const char* stored = NamesOf(nativeFolder).Match(name);
    if (!stored)
        return exact;
    std::string match = JoinNative(nativeFolder, stored);
    if (st && ::stat(match.c_str(), st) != 0)
        st->st_mode = 0;
    return match;
}

}  // namespace

std::string ResolveFolder(std::string folder) {
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

bool KnownFolder(const std::string& slashed) {
    std::string folder = slashed;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return ResolvedFolders().count(folder) > 0;
}

Split Resolve(const std::string& path, struct stat* st) {
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
        if (st && ::stat(split.full.c_str(), st) != 0)
            st->st_mode = 0;
        return split;
    }
    split.full = ResolveComponent(split.folder, split.name, st);
    // Most names are found as they are spelt.
    const std::size_t name = split.full.find_last_of('/') + 1;
    if (split.full.compare(name, std::string::npos, split.name) != 0)
        split.name = split.full.substr(name);
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
