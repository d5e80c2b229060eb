// The native file system on Linux and macOS.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "TestSeam.h"
#include "TextCase.h"

namespace NativeFs {
namespace {

[[noreturn]] void RaiseErrno(int err, const std::string& what, const std::string& path) {
    long number = PlatformError::PathFileAccess;
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            number = PlatformError::PathNotFound;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            number = PlatformError::PermissionDenied;
            break;
        case ENOSPC:
        case EDQUOT:
            number = PlatformError::DiskFull;
            break;
        default:
            break;
    }
    throw QuillonError(number, "Platform", what + " " + path + ": " + std::strerror(err));
}

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
        const auto at =
            std::lower_bound(order_.begin(), order_.end(), name.c_str(),
                             [this](std::uint32_t o, const char* n) { return Before(At(o), n); });
        if (at != order_.end() && std::strcmp(At(*at), name.c_str()) == 0)
            return;
        const auto offset = static_cast<std::uint32_t>(text_.size());
        text_ += name;
        text_ += '\0';
        order_.insert(at, offset);
    }
    void Remove(const std::string& name) {
        const auto at =
            std::lower_bound(order_.begin(), order_.end(), name.c_str(),
                             [this](std::uint32_t o, const char* n) { return Before(At(o), n); });
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
    const char* At(std::uint32_t offset) const { return text_.c_str() + offset; }
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

std::string Slashed(const std::string& path) {
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

bool Exists(const std::string& native, struct stat* st = nullptr) {
    struct stat local;
    return ::stat(native.c_str(), st ? st : &local) == 0;
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

// One component inside an existing native folder: its exact spelling when that
// exists, else the first stored name that matches without regard to case, else the
// name as given. With st, what it names is told there too (st_mode 0: nothing), so
// that finding a file and looking at it is one call.
std::string ResolveComponent(const std::string& nativeFolder, const std::string& name,
                             struct stat* st = nullptr) {
    struct stat local;
    struct stat* found = st ? st : &local;
    std::string exact = JoinNative(nativeFolder, name);
    if (::stat(exact.c_str(), found) == 0 || name == "." || name == "..") {
        return exact;
    }
    found->st_mode = 0;
    const char* stored = NamesOf(nativeFolder).Match(name);
    if (!stored)
        return exact;
    std::string match = JoinNative(nativeFolder, stored);
    if (st && ::stat(match.c_str(), st) != 0)
        st->st_mode = 0;
    return match;
}

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

struct Split {
    std::string folder;  // native, resolved; "" for the current folder
    std::string name;
    std::string full;
};

Split Resolve(const std::string& path, struct stat* st = nullptr) {
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
    split.name = split.full.substr(split.full.find_last_of('/') + 1);
    return split;
}

std::string ResolveFull(const std::string& path) {
    return Resolve(path).full;
}

// Opens a file for reading at its exact spelling first and looks for another spelling
// only when that fails, so a file read costs one open, not a test and an open.
int OpenExisting(const std::string& path, std::string& native) {
    const std::string slashed = Slashed(path);
    const std::size_t slash = slashed.find_last_of('/');
    const std::string folder = slash == std::string::npos
                                   ? ""
                                   : (slash == 0 ? "/" : ResolveFolder(slashed.substr(0, slash)));
    native = JoinNative(folder, slash == std::string::npos ? slashed : slashed.substr(slash + 1));
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    native = ResolveFull(path);
    return ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
}

// Read-only means the owner may not write, and the program honours it even when the
// process could write anyway (as root, or through the rename that replaces a file).
void RefuseReadOnly(const std::string& native, const char* what = "Cannot write") {
    struct stat st;
    if (!Exists(native, &st))
        return;
    if (S_ISDIR(st.st_mode))
        RaiseErrno(EISDIR, what, native);
    if ((st.st_mode & S_IWUSR) == 0)
        RaiseErrno(EACCES, what, native);
}

// A hidden name that matches none of the patterns the program looks for.
const char* const kTemporaryPrefix = ".~quillon-";
const char* const kTemporarySuffix = ".part";

std::string TemporarySibling(const std::string& nativeFolder) {
    static std::atomic<unsigned> counter{0};
    std::string name = kTemporaryPrefix + std::to_string(::getpid()) + "-" +
                       std::to_string(counter.fetch_add(1)) + kTemporarySuffix;
    return JoinNative(nativeFolder.empty() ? "." : nativeFolder, name);
}

void WriteAll(int fd, const char* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseErrno(errno, "Cannot write", path);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void CopyContents(int from, int to, const std::string& target) {
#if defined(__linux__)
    for (;;) {
        ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0)
            return;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            break;
        RaiseErrno(errno, "Cannot copy to", target);
    }
#endif
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            RaiseErrno(errno, "Cannot read for", target);
        }
        WriteAll(to, buffer.data(), static_cast<std::size_t>(got), target);
    }
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

}  // namespace

bool FileExists(const std::string& file) {
    struct stat st;
    Resolve(file, &st);
    return st.st_mode != 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& folder) {
    std::string slashed = Slashed(folder);
    if (slashed.empty())
        return false;
    // A folder found once stays for the operation: the program removes no folders.
    while (slashed.size() > 1 && slashed.back() == '/')
        slashed.pop_back();
    if (ResolvedFolders().count(slashed) > 0)
        return true;
    struct stat st;
    return Exists(ResolveFolder(slashed), &st) && S_ISDIR(st.st_mode);
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    std::string native = ResolveFolder(Slashed(folder));
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        if (!WildcardMatch(pattern, name))
            continue;
        // The listing itself tells a plain file; links and unknown kinds are asked.
        if (entry->d_type != DT_REG) {
            struct stat st;
            if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
                continue;
            if (::stat(JoinNative(native, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        names.push_back(name);
    }
    ::closedir(dir);
    SortNames(names);
    return names;
}

std::vector<std::string> ListFolders(const std::string& folder) {
    std::vector<std::string> names;
    std::string native = ResolveFolder(Slashed(folder));
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return names;
    const bool root = native == "/";
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        // The kernel's own trees are endless or dangerous to read.
        if (root && (name == "proc" || name == "sys" || name == "dev"))
            continue;
        if (entry->d_type != DT_DIR) {
            struct stat st;
            if (entry->d_type != DT_UNKNOWN ||
                ::lstat(JoinNative(native, name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
        }
        names.push_back(name);
    }
    ::closedir(dir);
    SortNames(names);
    return names;
}

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            RaiseErrno(errno, "Cannot read the current folder", "");
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool IsReadOnly(const std::string& file) {
    struct stat st;
    std::string native = ResolveFull(file);
    if (::stat(native.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot read the attributes of", native);
    return (st.st_mode & S_IWUSR) == 0;
}

void SetReadOnly(const std::string& file, bool readOnly) {
    struct stat st;
    std::string native = ResolveFull(file);
    if (::stat(native.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot read the attributes of", native);
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (mode != (st.st_mode & 07777) && ::chmod(native.c_str(), mode) != 0)
        RaiseErrno(errno, "Cannot set the attributes of", native);
}

namespace {

mode_t Umask() {
    static const mode_t mask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return mask;
}

// Copies what `in` holds to a temporary sibling of the target, with the permissions
// `mode`, and renames it over the target.
void ReplaceWithCopy(int in, const Split& target, mode_t mode, bool flush) {
    std::string temp = TemporarySibling(target.folder);
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (out.get() < 0)
        RaiseErrno(errno, "Cannot create a file beside", target.full);
    try {
        if ((mode & ~Umask()) != mode && ::fchmod(out.get(), mode) != 0)
            RaiseErrno(errno, "Cannot set the attributes of", target.full);
        CopyContents(in, out.get(), target.full);
        if (flush && ::fsync(out.get()) != 0)
            RaiseErrno(errno, "Cannot write", target.full);
        if (::close(out.release()) != 0)
            RaiseErrno(errno, "Cannot write", target.full);
        TestSeam::Reached(TestSeam::Point::Copy, target.full);
        if (::rename(temp.c_str(), target.full.c_str()) != 0)
            RaiseErrno(errno, "Cannot replace", target.full);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    NoteCreated(target.folder, target.name);
}

// The source of a copy, opened, and what it is.
int OpenSource(const std::string& from, struct stat& st) {
    std::string source;
    Fd in(OpenExisting(from, source));
    if (in.get() < 0)
        RaiseErrno(errno, "Cannot open", source);
    if (::fstat(in.get(), &st) != 0)
        RaiseErrno(errno, "Cannot read", source);
    if (S_ISDIR(st.st_mode))
        RaiseErrno(EISDIR, "Cannot copy", source);
    return in.release();
}

}  // namespace

void CopyFile(const std::string& from, const std::string& to, bool flush) {
    struct stat st;
    Fd in(OpenSource(from, st));
    Split target = Resolve(to);
    RefuseReadOnly(target.full);
    ReplaceWithCopy(in.get(), target, (st.st_mode & 0777) & ~Umask(), flush);
}

bool CopyFileOver(const std::string& from, const std::string& to, bool force) {
    struct stat st;
    Fd in(OpenSource(from, st));
    struct stat old;
    Split target = Resolve(to, &old);
    if (old.st_mode != 0 && S_ISDIR(old.st_mode))
        RaiseErrno(EISDIR, "Cannot write", target.full);
    const bool exists = old.st_mode != 0;
    const bool readOnly = exists && (old.st_mode & S_IWUSR) == 0;
    if (readOnly && !force)
        return false;
    // The new file is the source's, as the system creates it; a file it replaces keeps
    // its read-only attribute, and is writable by its owner otherwise.
    mode_t mode = (st.st_mode & 0777) & ~Umask();
    if (exists)
        mode = readOnly ? mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    ReplaceWithCopy(in.get(), target, mode, false);
    return true;
}

bool BackupFile(const std::string& from, const std::string& to) {
    struct stat st;
    const std::string source = Resolve(from, &st).full;
    if (st.st_mode == 0)
        RaiseErrno(ENOENT, "Cannot open", source);
    Split target = Resolve(to);
    const bool linkable = S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0;
    // Any refusal (a file system without links, too many links, a name taken) leaves
    // the copy, which reports a real problem if there is one.
    const bool linked = linkable && !TestSeam::HardLinksRefused() &&
                        ::link(source.c_str(), target.full.c_str()) == 0;
    if (linked)
        NoteCreated(target.folder, target.name);
    else
        CopyFile(from, to, true);
    TestSeam::Reached(TestSeam::Point::Backup, target.full);
    return linked;
}

void FlushFolder(const std::string& folder) {
    const std::string native = ResolveFolder(Slashed(folder));
    Fd dir(::open(native.empty() ? "." : native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Some file systems cannot flush a folder; what they keep is all there is.
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

bool SameFile(const std::string& first, const std::string& second) {
    struct stat a;
    struct stat b;
    return Exists(ResolveFull(first), &a) && Exists(ResolveFull(second), &b) &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::vector<std::string> ListTemporaryFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::string native = ResolveFolder(Slashed(folder));
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return names;
    const std::string prefix = kTemporaryPrefix;
    const std::string suffix = kTemporarySuffix;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > prefix.size() + suffix.size() && name.rfind(prefix, 0) == 0 &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    SortNames(names);
    return names;
}

void ReplaceFile(const std::string& from, const std::string& to) {
    std::string source = ResolveFull(from);
    Split target = Resolve(to);
    if (::rename(source.c_str(), target.full.c_str()) != 0)
        RaiseErrno(errno, "Cannot replace", target.full);
    Split gone = Resolve(from);
    NoteDeleted(gone.folder, gone.name);
    NoteCreated(target.folder, target.name);
}

void DeleteFile(const std::string& file) {
    Split split = Resolve(file);
    // As on Windows, a read-only file is not deleted until its bit is cleared.
    RefuseReadOnly(split.full, "Cannot delete");
    if (::unlink(split.full.c_str()) != 0)
        RaiseErrno(errno, "Cannot delete", split.full);
    NoteDeleted(split.folder, split.name);
}

void CreateFolder(const std::string& folder) {
    std::string slashed = Slashed(folder);
    while (slashed.size() > 1 && slashed.back() == '/')
        slashed.pop_back();
    Split split = Resolve(slashed);
    if (::mkdir(split.full.c_str(), 0777) != 0)
        RaiseErrno(errno, "Cannot create", split.full);
    NoteCreated(split.folder, split.name);
}

std::string NativePath(const std::string& path) {
    return ResolveFull(path);
}

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
    struct stat st;
    Resolve(path, &st);
    if (st.st_mode == 0)
        return false;
    identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

std::string FolderSpelling(const std::string& folder) {
    return folder;
}

bool DriveRootUsable(char letter) {
    return letter == 'Z' || letter == 'z';
}

void ForgetCachedFolders() {
    Listings().clear();
    ResolvedFolders().clear();
}

std::string ReadWholeFile(const std::string& file) {
    std::string native;
    Fd in(OpenExisting(file, native));
    if (in.get() < 0)
        RaiseErrno(errno, "Cannot open", native);
    struct stat st;
    if (::fstat(in.get(), &st) != 0)
        RaiseErrno(errno, "Cannot open", native);
    if (S_ISDIR(st.st_mode))
        RaiseErrno(EISDIR, "Cannot open", native);
    // One read takes a whole file of the size it had when opened; only a file that
    // grows meanwhile needs more.
    std::string content(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t have = 0;
    for (;;) {
        const ssize_t got = ::read(in.get(), content.data() + have, content.size() - have);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            RaiseErrno(errno, "Cannot read", native);
        }
        have += static_cast<std::size_t>(got);
        if (have < content.size())
            break;
        content.resize(content.size() * 2);
    }
    content.resize(have);
    return content;
}

struct OutputFile::Impl {
    int fd = -1;
    std::string target;  // native
    std::string folder;
    std::string name;
    std::string temp;  // empty when appending
    // What was written and not yet handed to the system: a file is written in a few
    // large pieces, not a line at a time. The log (appended to) is written through, so
    // that its lines outlive a process that dies.
    std::string pending;
    bool flushed = false;   // some of the text already went to fd
    off_t targetSize = -1;  // the replaced file's size, -1 when there was none
    bool failed = false;

    static constexpr std::size_t kPiece = 1 << 16;

    void Flush() {
        if (pending.empty())
            return;
        try {
            WriteAll(fd, pending.data(), pending.size(), target);
        } catch (...) {
            failed = true;
            pending.clear();
            throw;
        }
        pending.clear();
        flushed = true;
    }

    // Whether the whole new text is what the target already holds.
    bool SameAsTarget() const {
        if (flushed || targetSize < 0 || static_cast<std::size_t>(targetSize) != pending.size())
            return false;
        Fd in(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
        if (in.get() < 0)
            return false;
        std::string current(pending.size() + 1, '\0');
        std::size_t have = 0;
        for (;;) {
            const ssize_t got = ::read(in.get(), current.data() + have, current.size() - have);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            have += static_cast<std::size_t>(got);
        }
        return have == pending.size() && current.compare(0, have, pending) == 0;
    }
};

OutputFile::OutputFile(const std::string& file, Mode mode) : impl_(std::make_unique<Impl>()) {
    Split target = Resolve(file);
    impl_->target = target.full;
    impl_->folder = target.folder;
    impl_->name = target.name;
    // Refused now rather than after everything was written.
    RefuseReadOnly(target.full);
    if (mode == Mode::Append) {
        impl_->fd = ::open(target.full.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (impl_->fd < 0)
            RaiseErrno(errno, "Cannot open", target.full);
        return;
    }
    if (!target.folder.empty() && !FolderExists(target.folder))
        RaiseErrno(ENOENT, "Cannot create", target.full);
    struct stat st;
    const bool existed = ::stat(target.full.c_str(), &st) == 0;
    impl_->targetSize = existed && S_ISREG(st.st_mode) ? st.st_size : -1;
    impl_->temp = TemporarySibling(target.folder);
    impl_->fd = ::open(impl_->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                       existed ? st.st_mode & 0777 : 0666);
    if (impl_->fd < 0)
        RaiseErrno(errno, "Cannot create a file beside", target.full);
    if (existed)
        ::fchmod(impl_->fd, st.st_mode & 07777);
}

OutputFile::~OutputFile() {
    if (impl_->fd < 0)
        return;
    if (!impl_->temp.empty())
        ::unlink(impl_->temp.c_str());
    ::close(impl_->fd);
}

void OutputFile::Write(const std::string& text) {
    if (impl_->fd < 0)
        RaiseErrno(EBADF, "Cannot write", impl_->target);
    if (impl_->failed)
        RaiseErrno(EIO, "Cannot write", impl_->target);
    impl_->pending += text;
    if (impl_->temp.empty() || impl_->pending.size() >= Impl::kPiece)
        impl_->Flush();
}

void OutputFile::Close() {
    if (impl_->fd < 0)
        return;
    if (impl_->temp.empty()) {
        int fd = impl_->fd;
        impl_->fd = -1;
        if (::close(fd) != 0)
            RaiseErrno(errno, "Cannot write", impl_->target);
        return;
    }
    // A file that would come out as it is stays untouched: nothing to write, nothing
    // to wait for.
    if (!impl_->failed && impl_->SameAsTarget()) {
        ::close(impl_->fd);
        impl_->fd = -1;
        ::unlink(impl_->temp.c_str());
        return;
    }
    int fd = impl_->fd;
    bool ok = true;
    int err = 0;
    try {
        impl_->Flush();
    } catch (const QuillonError&) {
        ok = false;
        err = errno;
    }
    impl_->fd = -1;
    // A write that failed leaves the old file in place: an incomplete settings file
    // or user profile would be worse than the one it was to replace.
    if (ok && (impl_->failed || ::fsync(fd) != 0)) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(impl_->temp.c_str());
        RaiseErrno(err ? err : EIO, "Cannot write", impl_->target);
    }
    TestSeam::Reached(TestSeam::Point::Write, impl_->target);
    if (::rename(impl_->temp.c_str(), impl_->target.c_str()) != 0) {
        err = errno;
        ::unlink(impl_->temp.c_str());
        RaiseErrno(err, "Cannot replace", impl_->target);
    }
    NoteCreated(impl_->folder, impl_->name);
}

}  // namespace NativeFs
