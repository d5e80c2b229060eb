// The native file system on Linux and macOS.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
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
    return Exists(ResolveFull(file), &st) && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& folder) {
    std::string slashed = Slashed(folder);
    if (slashed.empty())
        return false;
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
        struct stat st;
        if (::stat(JoinNative(native, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
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
        struct stat st;
        if (::lstat(JoinNative(native, name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
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
    if (::chmod(native.c_str(), mode) != 0)
        RaiseErrno(errno, "Cannot set the attributes of", native);
}

void CopyFile(const std::string& from, const std::string& to, bool flush) {
    std::string source = ResolveFull(from);
    Split target = Resolve(to);
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        RaiseErrno(errno, "Cannot open", source);
    struct stat st;
    if (::fstat(in.get(), &st) != 0)
        RaiseErrno(errno, "Cannot read", source);
    if (S_ISDIR(st.st_mode))
        RaiseErrno(EISDIR, "Cannot copy", source);
    RefuseReadOnly(target.full);
    std::string temp = TemporarySibling(target.folder);
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777));
    if (out.get() < 0)
        RaiseErrno(errno, "Cannot create a file beside", target.full);
    try {
        CopyContents(in.get(), out.get(), target.full);
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

bool BackupFile(const std::string& from, const std::string& to) {
    std::string source = ResolveFull(from);
    Split target = Resolve(to);
    struct stat st;
    if (!Exists(source, &st))
        RaiseErrno(errno, "Cannot open", source);
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
    std::string native = ResolveFull(file);
    struct stat st;
    if (::stat(native.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot open", native);
    if (S_ISDIR(st.st_mode))
        RaiseErrno(EISDIR, "Cannot open", native);
    std::ifstream in(native, std::ios::binary);
    if (!in)
        RaiseErrno(errno ? errno : EACCES, "Cannot open", native);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

struct OutputFile::Impl {
    int fd = -1;
    std::string target;  // native
    std::string folder;
    std::string name;
    std::string temp;  // empty when appending
    bool failed = false;
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
    mode_t perms = 0666;
    if (::stat(target.full.c_str(), &st) == 0)
        perms = st.st_mode & 0777;
    impl_->temp = TemporarySibling(target.folder);
    impl_->fd = ::open(impl_->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, perms);
    if (impl_->fd < 0)
        RaiseErrno(errno, "Cannot create a file beside", target.full);
    if (::stat(target.full.c_str(), &st) == 0)
        ::fchmod(impl_->fd, st.st_mode & 07777);
}

OutputFile::~OutputFile() {
    if (impl_->fd >= 0) {
        ::close(impl_->fd);
        if (!impl_->temp.empty())
            ::unlink(impl_->temp.c_str());
    }
}

void OutputFile::Write(const std::string& text) {
    if (impl_->fd < 0)
        RaiseErrno(EBADF, "Cannot write", impl_->target);
    try {
        WriteAll(impl_->fd, text.data(), text.size(), impl_->target);
    } catch (...) {
        impl_->failed = true;
        throw;
    }
}

void OutputFile::Close() {
    if (impl_->fd < 0)
        return;
    int fd = impl_->fd;
    impl_->fd = -1;
    if (impl_->temp.empty()) {
        if (::close(fd) != 0)
            RaiseErrno(errno, "Cannot write", impl_->target);
        return;
    }
    // A write that failed leaves the old file in place: an incomplete settings file
    // or user profile would be worse than the one it was to replace.
    bool ok = !impl_->failed && ::fsync(fd) == 0;
    int err = errno;
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
