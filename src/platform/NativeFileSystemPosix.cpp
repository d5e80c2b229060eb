// The native file system on Linux and macOS.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "NativeFileSystem.h"
#include "NativeFileSystemShared.h"
#include "PosixPathResolver.h"
#include "QuillonError.h"
#include "TestSeam.h"

namespace NativeFs {
namespace {

using PosixPaths::Exists;
using PosixPaths::JoinNative;
using PosixPaths::KnownFolder;
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
// St is what the file is (st_mode 0: nothing there).
void RefuseReadOnly(const std::string& native, const struct stat& st,
                    const char* what = "Cannot write") {
    if (st.st_mode == 0)
        return;
    if (S_ISDIR(st.st_mode))
        RaiseErrno(EISDIR, what, native);
    if ((st.st_mode & S_IWUSR) == 0)
        RaiseErrno(EACCES, what, native);
}

void RefuseReadOnly(const std::string& native, const char* what = "Cannot write") {
    struct stat st;
    if (!Exists(native, &st))
        st.st_mode = 0;
    RefuseReadOnly(native, st, what);
}

mode_t Umask() {
    static const mode_t mask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return mask;
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

// The real paths of the folders written into in this operation, by their native
// path (absolute ones only: the current folder may change). Finding one costs a look
// at every component of the path, and a switch writes thousands of files into the
// same few hundred folders; the program itself makes no folder a link, and the cache
// is forgotten with the others at the start of each operation. Whether the real path
// lies inside the game folder is still asked at every write.
std::unordered_map<std::string, std::string>& RealFolders() {
    static std::unordered_map<std::string, std::string> folders;
    return folders;
}

std::string RealFolderInside(const std::string& native, const std::string& target) {
    if (native.empty() || native[0] != '/')
        return RealInside(native, target);
    auto& cache = RealFolders();
    const auto hit = cache.find(native);
    if (hit != cache.end() && InsideRoot(hit->second))
        return hit->second;
    const std::string real = RealInside(native, target);
    cache[native] = real;
    return real;
}

// A file to be written, as the system is to be given it: in its real folder.
struct Target {
    Split split;         // as the program named it (for the folder caches)
    std::string folder;  // the real folder
    std::string path;    // the file in its real folder
};

// With st, what is there now is told there too (st_mode 0: nothing).
Target WritableTarget(const std::string& file, struct stat* st = nullptr) {
    Target target{Resolve(file, st), "", ""};
    target.folder = RealFolderInside(target.split.folder, target.split.full);
    target.path = JoinNative(target.folder, target.split.name);
    return target;
}

// A hidden name that matches none of the patterns the program looks for.
const char* const kTemporaryPrefix = ".~quillon-";
const char* const kTemporarySuffix = ".part";

std::string TemporarySibling(const std::string& nativeFolder) {
    static std::atomic<unsigned> counter{0};
    // The process keeps its number: asked once, not once per file.
    static const pid_t pid = ::getpid();
    std::string name = kTemporaryPrefix + std::to_string(pid) + "-" +
                       std::to_string(counter.fetch_add(1)) + kTemporarySuffix;
    return JoinNative(nativeFolder.empty() ? "." : nativeFolder, name);
}

// The permissions a file written over one that is st keeps: those of the file it
// replaces (set-id bits are never carried over); false when there is none.
bool ExistingPermissions(const struct stat& st, mode_t& permissions) {
    if (st.st_mode == 0 || !S_ISREG(st.st_mode))
        return false;
    permissions = st.st_mode & 0777;
    return true;
}

bool ExistingPermissions(const std::string& target, mode_t& permissions) {
    struct stat st;
    if (!Exists(target, &st))
        return false;
    return ExistingPermissions(st, permissions);
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

// The buffer a thread's reads and copies go through: no copy allocates its own.
std::vector<char>& PieceBuffer() {
    static thread_local std::vector<char> buffer(std::size_t{1} << 18);
    return buffer;
}

// Hands what is left of an open regular file to `each`, piece by piece. A failure is
// told as `what` and `native`.
void ReadAll(int fd, const std::string& native,
             const std::function<void(const char*, std::size_t)>& each,
             const char* what = "Cannot read") {
    std::vector<char>& buffer = PieceBuffer();
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            RaiseErrno(errno, what, native);
        }
        if (got == 0)
            return;
        each(buffer.data(), static_cast<std::size_t>(got));
        // A regular file reads short only at its end: most files take one read.
        if (static_cast<std::size_t>(got) < buffer.size())
            return;
    }
}

// With a watch, the bytes pass through the program so that it sees them; without one
// the kernel copies them itself where it can.
void CopyContents(int from, int to, const std::string& target, CopyWatch* watch) {
#if defined(__linux__)
    while (!watch) {
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
    ReadAll(
        from, target,
        [to, &target, watch](const char* bytes, std::size_t size) {
            if (watch)
                watch->Piece(bytes, size);
            WriteAll(to, bytes, size, target);
        },
        "Cannot read for");
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

FileStamp StampFrom(const struct stat& st) {
    return FileStamp{
        static_cast<std::uint64_t>(st.st_size),
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// Opens a file for reading only when it is a regular file, links followed: a pipe
// would keep the program waiting, a device might never end. Neither open nor read
// waits.
// St holds what the name was found to be (st_mode 0: nothing, or not looked at).
int OpenRegularFile(const std::string& native, struct stat& st) {
    auto refuse = [&native] {
        throw QuillonError(PlatformError::FileNotFound, "Platform",
                           "Cannot open " + native + ": it is not a regular file");
    };
    if (st.st_mode != 0 && !S_ISREG(st.st_mode))
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

// Opens the file a path names for reading, with OpenRegularFile's care; native is set
// to where it was found.
int OpenSource(const std::string& path, std::string& native, struct stat& st) {
    native = Resolve(path, &st).full;
    return OpenRegularFile(native, st);
}

// Removes the old files that the copies swapped out of their places, on a thread of its
// own, while BackgroundRemovals asks for it. The files are hidden temporaries, out of
// every listing but ListTemporaryFiles, which waits for the removals.
class Remover {
  public:
    ~Remover() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        if (worker_.joinable())
            worker_.join();
    }

    void Remove(std::string file) {
        std::unique_lock<std::mutex> lock(mutex_);
        // A thread that cannot start, or a queue already long, leaves the caller to
        // remove its file itself: memory stays small whatever the disk does.
        if (queue_.size() >= kMostWaiting || !Started()) {
            lock.unlock();
            ::unlink(file.c_str());
            return;
        }
        queue_.push_back(std::move(file));
        wake_.notify_one();
    }

    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return queue_.empty() && !busy_; });
    }

  private:
    static constexpr std::size_t kMostWaiting = 4096;

    bool Started() {
        if (!worker_.joinable()) {
            try {
                worker_ = std::thread([this] { Work(); });
            } catch (const std::system_error&) {
                return false;
            }
        }
        return true;
    }

    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            const std::string file = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
            lock.unlock();
            ::unlink(file.c_str());
            lock.lock();
            busy_ = false;
            if (queue_.empty())
                done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<std::string> queue_;
    bool busy_ = false;
    bool stop_ = false;
    std::thread worker_;
};

Remover& SwappedOut() {
    static Remover remover;
    return remover;
}

int& BackgroundDepth() {
    static int depth = 0;
    return depth;
}

// Puts a complete new file in the place of the file `old` found there, in one step as a
// rename over it would, and removes the old one: false when the file system cannot swap
// two names (the rename is then left to do). ext4 writes a file renamed over another
// out at once, before the rename returns, which made every transfer of a switch wait
// for its file; a swap does not, so the copies go to the disk together when the
// operation ends (FlushFileSystem). If the process dies between the swap and the
// removal, the old file is left under the temporary name, for start-up to clear away.
bool ExchangeIn(const std::string& temp, const std::string& target, const struct stat& old) {
#ifdef RENAME_EXCHANGE
    if (!S_ISREG(old.st_mode) ||
        ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0)
        return false;
    if (BackgroundDepth() > 0)
        SwappedOut().Remove(temp);
    else
        ::unlink(temp.c_str());
    return true;
#else
    (void)temp;
    (void)target;
    (void)old;
    return false;
#endif
}

// Copies what `in` holds to a temporary sibling of the target and puts it in the
// target's place (ExchangeIn, else a rename over it). The new file is created with
// `mode` (less the umask); with `exact` the file takes exactly `mode`.
void ReplaceWithCopy(int in, const Target& target, const struct stat& old, mode_t mode, bool exact,
                     bool flush, CopyWatch* watch) {
    const std::string temp = TemporarySibling(target.folder);
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (out.get() < 0)
        RaiseErrno(errno, "Cannot create a file beside", target.split.full);
    try {
        if (exact && (mode & ~Umask()) != mode && ::fchmod(out.get(), mode) != 0)
            RaiseErrno(errno, "Cannot set the attributes of", target.split.full);
        CopyContents(in, out.get(), target.split.full, watch);
        if (flush && ::fsync(out.get()) != 0)
            RaiseErrno(errno, "Cannot write", target.split.full);
        // The last write set the time the file keeps: the rename changes neither.
        struct stat written;
        if (watch && ::fstat(out.get(), &written) != 0)
            RaiseErrno(errno, "Cannot read", target.split.full);
        if (::close(out.release()) != 0)
            RaiseErrno(errno, "Cannot write", target.split.full);
        TestSeam::Reached(TestSeam::Point::Copy, target.split.full);
        if (!ExchangeIn(temp, target.path, old) && ::rename(temp.c_str(), target.path.c_str()) != 0)
            RaiseErrno(errno, "Cannot replace", target.split.full);
        if (watch) {
            watch->Written = StampFrom(written);
            watch->Done = true;
        }
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    NoteCreated(target.split.folder, target.split.name);
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
    RealFolders().clear();
}

bool FileExists(const std::string& file) {
    struct stat st;
    Resolve(file, &st);
    return st.st_mode != 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& folder) {
    std::string slashed = Slashed(folder);
    if (slashed.empty())
        return false;
    if (KnownFolder(slashed))
        return true;
    struct stat st;
    return Exists(ResolveFolder(slashed), &st) && S_ISDIR(st.st_mode);
}

namespace {
// The visible names of a folder that `wanted` takes (given the folder's native path,
// the name and the kind the listing tells, DT_UNKNOWN when it does not) and Windows
// could hold, sorted; none when the folder cannot be read.
std::vector<std::string> ListNames(
    const std::string& folder,
    const std::function<bool(const std::string& native, const std::string& name,
                             unsigned char type)>& wanted) {
    std::vector<std::string> names;
    std::string native = ResolveFolder(Slashed(folder));
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        if (wanted(native, name, entry->d_type) && Shared::ListedNameUsable(folder, name))
            names.push_back(name);
    }
    ::closedir(dir);
    SortNames(names);
    return names;
}
}  // namespace

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
    return ListNames(
        folder, [&pattern](const std::string& native, const std::string& name, unsigned char type) {
            if (!WildcardMatch(pattern, name))
                return false;
            // The listing itself tells a plain file; links and unknown kinds are asked.
            if (type == DT_REG)
                return true;
            struct stat st;
            return (type == DT_LNK || type == DT_UNKNOWN) &&
                   ::stat(JoinNative(native, name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
        });
}

std::vector<std::string> ListFolders(const std::string& folder) {
    return ListNames(
        folder, [](const std::string& native, const std::string& name, unsigned char type) {
            // The kernel's own trees are endless or dangerous to read.
            if (native == "/" && (name == "proc" || name == "sys" || name == "dev"))
                return false;
            if (type == DT_DIR)
                return true;
            struct stat st;
            return type == DT_UNKNOWN && ::lstat(JoinNative(native, name).c_str(), &st) == 0 &&
                   S_ISDIR(st.st_mode);
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
    stamp = StampFrom(st);
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
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (mode == (st.st_mode & 07777))
        return;
    // The bits are those of the file a link leads to: that file must be in the game.
    const std::string real = RealInside(native, native);
    if (::chmod(real.c_str(), mode) != 0)
        RaiseErrno(errno, "Cannot set the attributes of", native);
}

void CopyFile(const std::string& from, const std::string& to, bool flush, CopyWatch* watch) {
    std::string source;
    struct stat st;
    Fd in(OpenSource(from, source, st));
    struct stat old;
    const Target target = WritableTarget(to, &old);
    RefuseReadOnly(target.path, old);
    mode_t permissions = 0;
    // A new file gets no more than the system's default for new files: a backup of a
    // private or read-only file stays so, a program of a mod is no program here.
    if (ExistingPermissions(old, permissions))
        ReplaceWithCopy(in.get(), target, old, permissions, true, flush, watch);
    else
        ReplaceWithCopy(in.get(), target, old, st.st_mode & 0666, false, flush, watch);
}

bool CopyFileOver(const std::string& from, const std::string& to, bool force, CopyWatch* watch) {
    std::string source;
    struct stat st;
    Fd in(OpenSource(from, source, st));
    struct stat old;
    const Target target = WritableTarget(to, &old);
    if (old.st_mode != 0 && S_ISDIR(old.st_mode))
        RaiseErrno(EISDIR, "Cannot write", target.split.full);
    const bool readOnly = old.st_mode != 0 && (old.st_mode & S_IWUSR) == 0;
    if (readOnly && !force)
        return false;
    // A replaced file keeps its permissions, read-only included; a new one takes the
    // source's, as CopyFile gives them.
    mode_t permissions = 0;
    if (!ExistingPermissions(old, permissions))
        ReplaceWithCopy(in.get(), target, old, st.st_mode & 0666, false, false, watch);
    else if (readOnly)
        ReplaceWithCopy(in.get(), target, old, permissions & ~static_cast<mode_t>(0222), true,
                        false, watch);
    else
        ReplaceWithCopy(in.get(), target, old, permissions, true, false, watch);
    return true;
}

bool BackupFile(const std::string& from, const std::string& to, CopyWatch* watch) {
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
    if (linked) {
        NoteCreated(target.split.folder, target.split.name);
        if (watch) {
            watch->Written = StampFrom(st);
            watch->Done = true;
        }
    } else {
        CopyFile(from, to, true, watch);
    }
    TestSeam::Reached(TestSeam::Point::Backup, target.split.full);
    return linked;
}

BackgroundRemovals::BackgroundRemovals() {
    ++BackgroundDepth();
}

BackgroundRemovals::~BackgroundRemovals() {
    if (--BackgroundDepth() == 0)
        SwappedOut().Wait();
}

void FlushFileSystem(const std::string& folder) {
    // Removed files are written too.
    SwappedOut().Wait();
    const std::string native = ResolveFolder(Slashed(folder));
    Fd dir(::open(native.empty() ? "." : native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
#ifdef __linux__
    if (dir.get() >= 0 && ::syncfs(dir.get()) == 0)
        return;
#endif
    ::sync();
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
    // A file still on its way out is no leftover.
    SwappedOut().Wait();
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
    RealFolders().clear();
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

std::string ReadWholeFile(const std::string& file) {
    std::string native;
    struct stat st;
    Fd in(OpenSource(file, native, st));
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
        if (got == 0 || have < content.size())
            break;
        content.resize(content.size() * 2);
    }
    content.resize(have);
    return content;
}

FileStamp ReadPieces(const std::string& file,
                     const std::function<void(const char*, std::size_t)>& each) {
    std::string native;
    struct stat st;
    Fd in(OpenSource(file, native, st));
    ReadAll(in.get(), native, each);
    return StampFrom(st);
}

struct OutputFile::Impl {
    int fd = -1;
    std::string target;  // native, in its real folder
    std::string name;    // native, as the program named it
    Split split;
    std::string temp;  // empty when appending
    Shared::PendingText pending;
    off_t targetSize = -1;  // the replaced file's size, -1 when there was none

    void Flush() {
        pending.Flush(
            [this](const char* data, std::size_t size) { WriteAll(fd, data, size, name); });
    }

    // Whether the whole new text is what the target already holds.
    bool SameAsTarget() const {
        const std::string& text = pending.Held();
        if (pending.Flushed() || targetSize < 0 ||
            static_cast<std::size_t>(targetSize) != text.size())
            return false;
        Fd in(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat st;
        if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        std::string current(text.size() + 1, '\0');
        std::size_t have = 0;
        for (;;) {
            const ssize_t got = ::read(in.get(), current.data() + have, current.size() - have);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            have += static_cast<std::size_t>(got);
        }
        return have == text.size() && current.compare(0, have, text) == 0;
    }
};

OutputFile::OutputFile(const std::string& file, Mode mode) : impl_(std::make_unique<Impl>()) {
    struct stat st;
    const Target target = WritableTarget(file, &st);
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
    RefuseReadOnly(target.path, st);
    mode_t permissions = 0;
    const bool replacing = ExistingPermissions(st, permissions);
    impl_->targetSize = replacing ? st.st_size : -1;
    if (replacing)
        impl_->pending.HoldUpTo(static_cast<std::uint64_t>(st.st_size));
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
    if (impl_->pending.Failed())
        RaiseErrno(EIO, "Cannot write", impl_->name);
    if (impl_->pending.Add(text, impl_->temp.empty()))
        impl_->Flush();
}

void OutputFile::Close() {
    if (impl_->fd < 0)
        return;
    if (impl_->temp.empty()) {
        int fd = impl_->fd;
        impl_->fd = -1;
        if (::close(fd) != 0)
            RaiseErrno(errno, "Cannot write", impl_->name);
        return;
    }
    // A file that would come out as it is stays untouched: nothing to write, nothing
    // to wait for.
    if (!impl_->pending.Failed() && impl_->SameAsTarget()) {
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
    if (ok && (impl_->pending.Failed() || ::fsync(fd) != 0)) {
        ok = false;
        err = errno;
    }
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
