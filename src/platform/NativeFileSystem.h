#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The operating system's file system, addressed with the program's own paths:
// folders separated by "\" (a "/" is read the same), as the file formats write
// them. On Linux and macOS a path component that does not exist with its exact
// spelling is matched without regard to letter case, so that a game folder copied
// from Windows works unchanged; a new file takes the name as given.
//
// Failures of the operating system are raised as QuillonError with source
// "Platform" and one of the numbers of PlatformError. A path that holds a NUL byte
// is refused the same way: the system would read only the text before it.
namespace NativeFs {

// Confines every write (a copy, a replacement, a deletion, a new folder, a file
// written or appended to, a change of attributes) to one folder and what lies
// inside it: the real folder a write goes into, with every link and junction on the
// way followed, must be that folder's real folder or inside it, else the write is
// refused with PlatformError::PermissionDenied and a message that names the link
// and where it leads. A link in the final place is not followed: a copy or a
// rewrite replaces it, an append refuses it. "" lifts the confinement.
void ConfineWritesTo(const std::string& folder);

// Called with the full path of each name that a listing leaves out because it holds
// a character that file names may not hold on Windows ("\", "/", ":", "*", "?",
// "\"", "<", ">", "|" or a control character): read back as a path, such a name
// would lead somewhere else. Empty: nobody is told.
void OnNameSkipped(std::function<void(const std::string& path)> handler);

// A plain existence test of one name: hidden files count as present; anything that
// is not a regular file (a folder, a pipe, a device), links followed, does not.
bool FileExists(const std::string& file);
bool FolderExists(const std::string& folder);

// Names of the files of a folder that match a pattern with the wildcards "*" and
// "?" (letter case ignored; "*.*" also matches names without a dot), sorted by
// name without regard to case. Hidden and system files, and names that are no
// usable names (see OnNameSkipped), are left out. An unusable folder gives an
// empty list.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// Names of the sub-folders of a folder, sorted like ListFiles; hidden folders and
// links (symbolic links, junctions) are left out, so a walk never leaves the tree
// it was given nor loops.
std::vector<std::string> ListFolders(const std::string& folder);

// Whether a name matches a wildcard pattern by the rules of ListFiles.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Puts names in the order of the listings: by name without regard to case.
void SortNames(std::vector<std::string>& names);

// The process's current folder, in the operating system's spelling.
std::string CurrentFolder();

// A file's size and last write time (in the system's own units): enough to tell that
// it has not been written since they were taken.
struct FileStamp {
    std::uint64_t Size = 0;
    std::int64_t Time = 0;
    bool operator==(const FileStamp&) const = default;
};
// False when there is no such file.
bool StampOf(const std::string& file, FileStamp& stamp);

bool IsReadOnly(const std::string& file);
// The size of a file in bytes, from its directory entry (nothing is read).
std::uintmax_t FileSize(const std::string& file);
void SetReadOnly(const std::string& file, bool readOnly);

// Runs Write, which replaces File, with File's read-only bit lifted when ReadOnly says
// it is set; afterwards the bit is as ReadOnly says, also when Write failed. A failure
// to set it again then never hides Write's own error.
void WriteKeepingReadOnly(const std::string& file, bool readOnly,
                          const std::function<void()>& write);

// Copies a file over another, replacing it. The copy is made in a temporary sibling
// of the target and renamed over it (or swapped with it) when complete, so the old
// target stays whole if the process dies or the disk fills. With flush the copy is on
// the disk itself, not only in the system's memory, before it takes the target's place.
// A source that is not a regular file is refused without waiting on it. On Linux and
// macOS the copy takes the permission bits of the file it replaces; a new file takes
// the source's within the system's default for new files (so never a set-id bit, nor
// an execute bit).
//
// A watch sees the bytes as they pass, piece by piece, and is given the stamp of the
// file written once it is in place: whoever must know what was written (its hash) needs
// no second read of it.
class CopyWatch {
  public:
    virtual ~CopyWatch() = default;
    virtual void Piece(const char* bytes, std::size_t size) = 0;
    // Set when the copy is in place. A backup made by a link passes no bytes: its
    // watch is given the stamp alone.
    bool Done = false;
    FileStamp Written;
};
void CopyFile(const std::string& from, const std::string& to, bool flush = false,
              CopyWatch* watch = nullptr);

// Copies a file over another as CopyFile does, keeping the target's read-only
// attribute: a read-only target is left alone unless force, and stays read-only when
// replaced; a writable one stays writable. True when it copied.
bool CopyFileOver(const std::string& from, const std::string& to, bool force,
                  CopyWatch* watch = nullptr);

// Makes a new file `to` that keeps what `from` holds now, on the disk before the call
// returns: a hard link to `from` where the file system allows one (nothing to copy,
// nothing to wait for), else a flushed copy. A read-only file is always copied: it
// stays in place, and a link would share every later change of it. Whoever replaces
// `from` afterwards must rename a new file over it (as CopyFile does), never write
// into it. True when it linked. Watch, when given, sees the bytes a copy passes and is
// given the backup's stamp.
bool BackupFile(const std::string& from, const std::string& to, CopyWatch* watch = nullptr);

// Puts a folder's entries (names just created, renamed or removed) on the disk itself,
// as far as the file system allows.
void FlushFolder(const std::string& folder);

// Puts everything written on the file system that holds folder on the disk itself,
// and waits for it. The copies above leave their bytes in the system's memory for it
// to write when it will, the new file already in its target's place: an operation that
// must be able to tell, after a power cut, whether it finished calls this before it
// says it has.
void FlushFileSystem(const std::string& folder);

// While one lives, the old file that a copy swaps out of its place is removed on a
// thread of its own: freeing a file's blocks can wait on the disk (ext4 without a
// journal discards them there and then), and an operation of thousands of copies need
// not wait with it. The last one's end, and FlushFileSystem, wait until they are gone.
class BackgroundRemovals {
  public:
    BackgroundRemovals();
    ~BackgroundRemovals();
    BackgroundRemovals(const BackgroundRemovals&) = delete;
    BackgroundRemovals& operator=(const BackgroundRemovals&) = delete;
};

// Whether two names are the same file on disk (hard links of each other).
bool SameFile(const std::string& first, const std::string& second);

// The names of the program's own temporary files in a folder: what a write that was
// cut short left beside its target.
std::vector<std::string> ListTemporaryFiles(const std::string& folder);

// Renames a file over another, replacing it in one step. On Linux and macOS the new
// file keeps the permission bits of the one it replaces.
void ReplaceFile(const std::string& from, const std::string& to);

void DeleteFile(const std::string& file);
void CreateFolder(const std::string& folder);

// A folder path as the program stores it: lower-cased on Windows, whose file names
// ignore case; unchanged elsewhere.
std::string FolderSpelling(const std::string& folder);

// Which file on disk a name stands for, told apart from every other file there.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && file == other.file;
    }
};
struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& id) const {
        return static_cast<std::size_t>(id.file * 0x9E3779B97F4A7C15ull ^ id.volume);
    }
};
// The identity of the file a path names; false when it names none.
bool IdentifyFile(const std::string& path, FileIdentity& identity);

// The path as the operating system spells it (for messages and for launching).
std::string NativePath(const std::string& path);

// Whether a path names a drive root that exists ("C:\" on Windows; on other systems
// only "Z:\", which stands for "/").
bool DriveRootUsable(char letter);

// The whole content of a file, byte for byte. Anything but a regular file is refused
// without waiting on it.
std::string ReadWholeFile(const std::string& file);
// Hands a file's content to `each` piece by piece, through one buffer the calling
// thread reuses: a file of any size is read without a buffer of its size. Gives the
// file's stamp as it was opened.
FileStamp ReadPieces(const std::string& file,
                     const std::function<void(const char*, std::size_t)>& each);

// A text file opened for reading: its physical lines end at CR LF, CR or LF.
class InputFile {
  public:
    explicit InputFile(const std::string& file);
    bool AtEnd() const { return next_ >= text_.size(); }
    // The next physical line without its end; "" at the end of the file. The text
    // stays valid as long as the file is open.
    std::string_view ReadLine();

  private:
    std::string text_;
    // Where the next line starts, and where the next LF is (kNotSought before a search).
    static constexpr std::size_t kNotSought = std::string::npos;
    std::size_t next_ = 0;
    std::size_t nextLf_ = kNotSought;
};

// A text file opened for writing. Output goes to a temporary sibling that replaces
// the target at Close; append mode writes in place (the log is the one file
// appended to).
class OutputFile {
  public:
    enum class Mode { Replace, Append };
    OutputFile(const std::string& file, Mode mode);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const std::string& text);
    // Completes the file; an unclosed replacement is abandoned, leaving the target
    // as it was.
    void Close();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Forgets what the layer has learnt about folders: which exist, how they are spelt and
// where they really are. Each operation on the game starts afresh, and tests that
// change folders behind its back.
void ForgetCachedFolders();

}  // namespace NativeFs
