// The native file system on Linux and macOS.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "NativeFileSystem.h"
#include "NativeFileSystemShared.h"
#include "PosixPathResolver.h"
#include "QuillonError.h"
#include "TestSeam.h"

namespace NativeFs {
namespace {

using PosixPaths::Exists;
using PosixPaths::JoinNative;
using PosixPaths::NoteCreated;
using PosixPaths::NoteDeleted;
using PosixPaths::Resolve;
using PosixPaths::ResolveFolder;
using PosixPaths::ResolveFull;
using PosixPaths::Slashed;
using PosixPaths::Split;

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

// The real path of the game folder that writes are confined to; "" when they are not.
std::string& WriteRoot() {
    static std::string root;
    return root;
}

// The real path of an existing file or folder, links followed; "" when there is none.
std::string RealPath(const std::string& native) {
    char* real = ::realpath(native.empty() ? "." : native.c_str(), nullptr);
    if (!real)
        return "";
    std::string result = real;
    std::free(real);
    return result;
}

bool InsideRoot(const std::string& real) {
    const std::string& root = WriteRoot();
    if (root.empty() || root == "/")
        return true;
    return real.compare(0, root.size(), root) == 0 &&
           (real.size() == root.size() || real[root.size()] == '/');
}

// The real path of an existing file or folder that is to be written, refused when
// links lead it out of the game folder. Writing there rather than through the links
// leaves no way round the check.
std::string RealInside(const std::string& native, const std::string& target) {
    const std::string real = RealPath(native);
    if (real.empty())
        RaiseErrno(errno, "Cannot write into", target);
    if (!InsideRoot(real)) {
        std::string absolute = native;
        if (absolute.empty() || absolute[0] != '/')
            absolute = JoinNative(CurrentFolder(), absolute);
        Shared::RaiseOutside(target, Shared::FindLinkOut(absolute, '/', RealPath, InsideRoot));
    }
    return real;
}

// A file to be written, as the system is to be given it: in its real folder.
struct Target {
    Split split;         // as the program named it (for the folder caches)
    std::string folder;  // the real folder
    std::string path;    // the file in its real folder
};

Target WritableTarget(const std::string& file) {
    Target target{Resolve(file), "", ""};
    target.folder = RealInside(target.split.folder, target.split.full);
    target.path = JoinNative(target.folder, target.split.name);
    return target;
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

// The permissions a file written over target keeps: those of the file it replaces
// (set-id bits are never carried over); false when there is none.
bool ExistingPermissions(const std::string& target, mode_t& permissions) {
    struct stat st;
    if (!Exists(target, &st) || !S_ISREG(st.st_mode))
        return false;
    permissions = st.st_mode & 0777;
    return true;
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

// Opens a file for reading only when it is a regular file, links followed: a pipe
// would keep the program waiting, a device might never end. Neither open nor read
// waits.
int OpenRegularFile(const std::string& native, struct stat& st) {
    auto refuse = [&native] {
        throw QuillonError(PlatformError::FileNotFound, "Platform",
                           "Cannot open " + native + ": it is not a regular file");
    };
    if (Exists(native, &st) && !S_ISREG(st.st_mode))
        refuse();
    Fd fd(::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        RaiseErrno(errno, "Cannot open", native);
    // Checked again on what was opened: the name may have changed in between.
    if (::fstat(fd.get(), &st) != 0)
        RaiseErrno(errno, "Cannot read", native);
    if (!S_ISREG(st.st_mode))
        refuse();
    return fd.release();
}

}  // namespace

void ConfineWritesTo(const std::string& folder) {
    if (folder.empty()) {
        WriteRoot().clear();
        return;
    }
    const std::string native = ResolveFolder(Slashed(folder));
    const std::string real = RealPath(native);
    if (real.empty())
        RaiseErrno(errno, "Cannot find", native.empty() ? "." : native);
    WriteRoot() = real;
}

bool FileExists(const std::string& file) {
    struct stat st;
    return Exists(ResolveFull(file), &st) && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& folder) {
    std::string slashed = Slashed(folder);
    if (slashed.empty())
        return false;
    struct stat st;
    return Exists(ResolveFolder(slashed), &st) && S_ISDIR(st.st_mode);
}

namespace {
// The visible names of a folder that `wanted` takes (given the folder's native path and
// the name) and Windows could hold, sorted; none when the folder cannot be read.
std::vector<std::string> ListNames(
    const std::string& folder,
    const std::function<bool(const std::string& native, const std::string& name)>& wanted) {
    std::vector<std::string> names;
    std::string native = ResolveFolder(Slashed(folder));
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        if (wanted(native, name) && Shared::ListedNameUsable(folder, name))
            names.push_back(name);
    }
    ::closedir(dir);
    SortNames(names);
    return names;
}
}  // namespace

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
    return ListNames(folder, [&pattern](const std::string& native, const std::string& name) {
        struct stat st;
        return WildcardMatch(pattern, name) && ::stat(JoinNative(native, name).c_str(), &st) == 0 &&
               S_ISREG(st.st_mode);
    });
}

std::vector<std::string> ListFolders(const std::string& folder) {
    return ListNames(folder, [](const std::string& native, const std::string& name) {
        // The kernel's own trees are endless or dangerous to read.
        if (native == "/" && (name == "proc" || name == "sys" || name == "dev"))
            return false;
        struct stat st;
        return ::lstat(JoinNative(native, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    });
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

bool StampOf(const std::string& file, FileStamp& stamp) {
    struct stat st;
    if (::stat(ResolveFull(file).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp.Size = static_cast<std::uint64_t>(st.st_size);
    stamp.Time = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool IsReadOnly(const std::string& file) {
    struct stat st;
    std::string native = ResolveFull(file);
    if (::stat(native.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot read the attributes of", native);
    return (st.st_mode & S_IWUSR) == 0;
}

std::uintmax_t FileSize(const std::string& file) {
    struct stat st;
    std::string native = ResolveFull(file);
    if (::stat(native.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot read the attributes of", native);
    return static_cast<std::uintmax_t>(st.st_size);
}

void SetReadOnly(const std::string& file, bool readOnly) {
    struct stat st;
    const std::string native = ResolveFull(file);
    if (::stat(native.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot read the attributes of", native);
    // The bits are those of the file a link leads to: that file must be in the game.
    const std::string real = RealInside(native, native);
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (::chmod(real.c_str(), mode) != 0)
        RaiseErrno(errno, "Cannot set the attributes of", native);
}

void CopyFile(const std::string& from, const std::string& to, bool flush) {
    const std::string source = ResolveFull(from);
    struct stat st;
    Fd in(OpenRegularFile(source, st));
    const Target target = WritableTarget(to);
    RefuseReadOnly(target.path);
    mode_t permissions = 0;
    const bool replacing = ExistingPermissions(target.path, permissions);
    const std::string temp = TemporarySibling(target.folder);
    // A new file gets no more than the system's default for new files: a backup of a
    // private or read-only file stays so, a program of a mod is no program here.
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0666));
    if (out.get() < 0)
        RaiseErrno(errno, "Cannot create a file beside", target.split.full);
    try {
        if (replacing && ::fchmod(out.get(), permissions) != 0)
            RaiseErrno(errno, "Cannot set the attributes of", target.split.full);
        CopyContents(in.get(), out.get(), target.split.full);
        if (flush && ::fsync(out.get()) != 0)
            RaiseErrno(errno, "Cannot write", target.split.full);
        if (::close(out.release()) != 0)
            RaiseErrno(errno, "Cannot write", target.split.full);
        TestSeam::Reached(TestSeam::Point::Copy, target.split.full);
        if (::rename(temp.c_str(), target.path.c_str()) != 0)
            RaiseErrno(errno, "Cannot replace", target.split.full);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    NoteCreated(target.split.folder, target.split.name);
}

bool BackupFile(const std::string& from, const std::string& to) {
    std::string source = ResolveFull(from);
    const Target target = WritableTarget(to);
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0)
        RaiseErrno(errno, "Cannot open", source);
    // Only a file itself is linked: a backup that is a link would lead wherever the
    // game's link led, and the copy reads through it instead.
    const bool linkable = S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0;
    // Any refusal (a file system without links, too many links, a name taken) leaves
    // the copy, which reports a real problem if there is one.
    const bool linked = linkable && !TestSeam::HardLinksRefused() &&
                        ::link(source.c_str(), target.path.c_str()) == 0;
    if (linked)
        NoteCreated(target.split.folder, target.split.name);
    else
        CopyFile(from, to, true);
    TestSeam::Reached(TestSeam::Point::Backup, target.split.full);
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
    const Target source = WritableTarget(from);
    const Target target = WritableTarget(to);
    mode_t permissions = 0;
    if (ExistingPermissions(target.path, permissions)) {
        // Not through a link: the file moved is the one whose bits change.
        Fd moved(::open(source.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (moved.get() < 0 || ::fchmod(moved.get(), permissions) != 0)
            RaiseErrno(errno, "Cannot set the attributes of", source.split.full);
    }
    if (::rename(source.path.c_str(), target.path.c_str()) != 0)
        RaiseErrno(errno, "Cannot replace", target.split.full);
    NoteDeleted(source.split.folder, source.split.name);
    NoteCreated(target.split.folder, target.split.name);
}

void DeleteFile(const std::string& file) {
    const Target target = WritableTarget(file);
    // As on Windows, a read-only file is not deleted until its bit is cleared.
    RefuseReadOnly(target.path, "Cannot delete");
    if (::unlink(target.path.c_str()) != 0)
        RaiseErrno(errno, "Cannot delete", target.split.full);
    NoteDeleted(target.split.folder, target.split.name);
}

void CreateFolder(const std::string& folder) {
    std::string slashed = Slashed(folder);
    while (slashed.size() > 1 && slashed.back() == '/')
        slashed.pop_back();
    const Target target = WritableTarget(slashed);
    if (::mkdir(target.path.c_str(), 0777) != 0)
        RaiseErrno(errno, "Cannot create", target.split.full);
    NoteCreated(target.split.folder, target.split.name);
}

void ForgetCachedFolders() {
    PosixPaths::ForgetCache();
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

std::string ReadWholeFile(const std::string& file) {
    const std::string native = ResolveFull(file);
    struct stat st;
    Fd in(OpenRegularFile(native, st));
    std::string content;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got == 0)
            return content;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            RaiseErrno(errno, "Cannot read", native);
        }
        content.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

struct OutputFile::Impl {
    int fd = -1;
    std::string target;  // native, in its real folder
    std::string name;    // native, as the program named it
    Split split;
    std::string temp;  // empty when appending
    bool failed = false;
};

OutputFile::OutputFile(const std::string& file, Mode mode) : impl_(std::make_unique<Impl>()) {
    const Target target = WritableTarget(file);
    impl_->target = target.path;
    impl_->name = target.split.full;
    impl_->split = target.split;
    if (mode == Mode::Append) {
        // The log is written in place: through a link or a second name it would be
        // written wherever that leads. Neither waits on a pipe.
        impl_->fd = ::open(target.path.c_str(),
                           O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (impl_->fd < 0 && errno == ELOOP)
            throw QuillonError(
                PlatformError::PermissionDenied, "Platform",
                "Cannot append to " + impl_->name + ": it is a link to " + RealPath(target.path));
        if (impl_->fd < 0)
            RaiseErrno(errno, "Cannot open", impl_->name);
        struct stat st;
        if (::fstat(impl_->fd, &st) != 0)
            RaiseErrno(errno, "Cannot open", impl_->name);
        if (!S_ISREG(st.st_mode) || st.st_nlink != 1)
            throw QuillonError(PlatformError::PermissionDenied, "Platform",
                               "Cannot append to " + impl_->name +
                                   (S_ISREG(st.st_mode) ? ": it has another name (a hard link)"
                                                        : ": it is not a regular file"));
        // Refused now rather than after everything was written.
        RefuseReadOnly(target.path);
        return;
    }
    RefuseReadOnly(target.path);
    mode_t permissions = 0;
    const bool replacing = ExistingPermissions(target.path, permissions);
    impl_->temp = TemporarySibling(target.folder);
    impl_->fd = ::open(impl_->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (impl_->fd < 0)
        RaiseErrno(errno, "Cannot create a file beside", impl_->name);
    if (replacing)
        ::fchmod(impl_->fd, permissions);
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
        RaiseErrno(EBADF, "Cannot write", impl_->name);
    try {
        WriteAll(impl_->fd, text.data(), text.size(), impl_->name);
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
            RaiseErrno(errno, "Cannot write", impl_->name);
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
        RaiseErrno(err ? err : EIO, "Cannot write", impl_->name);
    }
    TestSeam::Reached(TestSeam::Point::Write, impl_->target);
    if (::rename(impl_->temp.c_str(), impl_->target.c_str()) != 0) {
        err = errno;
        ::unlink(impl_->temp.c_str());
        RaiseErrno(err, "Cannot replace", impl_->name);
    }
    NoteCreated(impl_->split.folder, impl_->split.name);
}

}  // namespace NativeFs
