// The native file system on Windows. The program's paths are the system's own; every
// call goes through the wide-character interface, the program's text converted from
// and to the system code page.
#include <atomic>

#include "NativeFileSystem.h"
#include "NativeFileSystemShared.h"
#include "QuillonError.h"
#include "TestSeam.h"
#include "TextCase.h"
#include "Win32Support.h"

namespace NativeFs {
namespace {

// Past this length a path needs the "\\?\" form: folders may be no longer than
// MAX_PATH less room for an 8.3 name.
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

// The attributes SetFileAttributesW accepts.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_TEMPORARY;

class Handle {
  public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.handle_) {
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    bool Close() {
        if (!valid())
            return true;
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

  private:
    HANDLE handle_;
};

std::string Backslashed(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::wstring Native(const std::string& path) {
    Shared::RefuseNul(path);
    std::wstring wide = Win32::Wide(Backslashed(path));
    if (wide.size() < kShortPathLimit || wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return wide;
    std::wstring full(size, L'\0');
    size = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    full.resize(size);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool IsDriveRoot(const std::string& path) {
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

// A folder without its closing separator (a drive root keeps it: "C:" alone would be
// the drive's current folder).
std::wstring NativeFolder(const std::string& folder) {
    std::string path = Backslashed(folder);
    while (path.size() > 1 && path.back() == '\\' && !IsDriveRoot(path))
        path.pop_back();
    return Native(path);
}

std::wstring FolderOf(const std::wstring& file) {
    const std::size_t separator = file.find_last_of(L"\\:");
    if (separator == std::wstring::npos)
        return L"";
    return file.substr(0, separator + 1);
}

// An existing file as it is spelled on disk: a file replaced under another spelling
// keeps its own name.
std::wstring ExistingSpelling(const std::wstring& file) {
    // A search pattern would find some other file (no file name holds these).
    if (file.find_first_of(L"*?", file.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0) != std::wstring::npos)
        return file;
    WIN32_FIND_DATAW data;
    HANDLE find =
        ::FindFirstFileExW(file.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return file;
    ::FindClose(find);
    return FolderOf(file) + data.cFileName;
}

DWORD Attributes(const std::wstring& native) {
    return ::GetFileAttributesW(native.c_str());
}

bool Exists(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES;
}

// Read-only is honoured by the program itself: a process with the right to write
// anyway (an administrator's, or Wine's as root) must not write over it either.
void RefuseReadOnly(const std::wstring& native, const std::string& name) {
    const DWORD attributes = Attributes(native);
    if (Exists(attributes) && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        Win32::Raise(ERROR_ACCESS_DENIED, "Cannot write", name);
}

// Calls visit(attributes, name) for each entry of a folder that the program can see:
// neither hidden nor system, and spelled in the code page.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    std::wstring pattern = NativeFolder(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L':')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        bool lossless = true;
        std::string narrow = Win32::Narrow(name, &lossless);
        // A name that the program's text cannot spell could not be opened again.
        if (!lossless)
            continue;
        visit(data.dwFileAttributes, narrow);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

// A path as the user knows it: without the "\\?\" that long paths need.
std::wstring Displayed(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\" + path.substr(7);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

// The real path of what a handle has open, every link and junction on the way
// followed; "" when the system cannot tell.
std::wstring FinalPathOf(HANDLE handle) {
    DWORD size = ::GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
    if (size == 0)
        return L"";
    std::wstring path(size, L'\0');
    size = ::GetFinalPathNameByHandleW(handle, path.data(), size, FILE_NAME_NORMALIZED);
    path.resize(size);
    return Displayed(path);
}

// The real path of an existing file or folder; "" when it cannot be opened.
std::wstring FinalPath(const std::wstring& native) {
    Handle handle(::CreateFileW(native.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.valid() ? FinalPathOf(handle.get()) : L"";
}

// The real path of the game folder that writes are confined to; "" when they are not.
std::wstring& WriteRoot() {
    static std::wstring root;
    return root;
}

bool InsideRoot(const std::wstring& real) {
    const std::wstring& root = WriteRoot();
    if (root.empty())
        return true;
    if (real.size() < root.size() ||
        ::CompareStringOrdinal(real.c_str(), static_cast<int>(root.size()), root.c_str(),
                               static_cast<int>(root.size()), TRUE) != CSTR_EQUAL)
        return false;
    return real.size() == root.size() || root.back() == L'\\' || real[root.size()] == L'\\';
}

// Refuses a write into a file or folder that links or junctions lead out of the game
// folder, naming the one that does.
void RefuseOutside(const std::wstring& native, const std::string& target) {
    if (WriteRoot().empty())
        return;
    const std::wstring real = FinalPath(native);
    if (real.empty())
        Win32::Raise(::GetLastError(), "Cannot write into", target);
    if (InsideRoot(real))
        return;
    const auto realOf = [](const std::string& path) {
        return Win32::Narrow(FinalPath(Win32::Wide(path)));
    };
    const auto inside = [](const std::string& path) { return InsideRoot(Win32::Wide(path)); };
    Shared::RaiseOutside(
        target, Shared::FindLinkOut(Win32::Narrow(Displayed(native)), '\\', realOf, inside));
}

void RefuseFolderOutside(const std::wstring& file, const std::string& target) {
    std::wstring folder = FolderOf(file);
    if (folder.empty())
        folder = L".";
    RefuseOutside(folder, target);
}

// The log is appended to in place: through a link or a second name it would be
// written wherever that leads.
void RefuseAppendThroughLink(HANDLE opened, const std::wstring& native, const std::string& name) {
    auto refuse = [&name](const std::string& why) {
        throw QuillonError(PlatformError::PermissionDenied, "Platform",
                           "Cannot append to " + name + ": " + why);
    };
    if (::GetFileType(opened) != FILE_TYPE_DISK)
        refuse("it is not a regular file");
    BY_HANDLE_FILE_INFORMATION information;
    if (::GetFileInformationByHandle(opened, &information) && information.nNumberOfLinks > 1)
        refuse("it has another name (a hard link)");
    if (WriteRoot().empty())
        return;
    // What was opened must be the file of that name in the real folder.
    const std::wstring folder = FolderOf(native);
    std::wstring expected = FinalPath(folder.empty() ? L"." : folder);
    if (expected.empty() || expected.back() != L'\\')
        expected += L'\\';
    expected += native.substr(folder.size());
    const std::wstring real = FinalPathOf(opened);
    if (::CompareStringOrdinal(real.c_str(), -1, expected.c_str(), -1, TRUE) != CSTR_EQUAL)
        refuse("it is a link to " + Win32::Narrow(real));
}

// Opens a file for reading only when it is a file on a disk, links followed: a pipe
// or a device might keep the program waiting or never end.
FileStamp StampFrom(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
    return FileStamp{
        (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow,
        static_cast<std::int64_t>((static_cast<std::uint64_t>(written.dwHighDateTime) << 32) |
                                  written.dwLowDateTime)};
}

Handle OpenDiskFile(const std::wstring& native, const std::string& name) {
    Handle handle(::CreateFileW(native.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle.valid())
        Win32::Raise(::GetLastError(), "Cannot open", name);
    if (::GetFileType(handle.get()) != FILE_TYPE_DISK)
        throw QuillonError(PlatformError::FileNotFound, "Platform",
                           "Cannot open " + name + ": it is not a regular file");
    return handle;
}
// Matches none of the patterns the program looks for, and is hidden while it exists.
const wchar_t* const kTemporaryPrefix = L"~quillon-";
const wchar_t* const kTemporarySuffix = L".part";

std::wstring TemporarySibling(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    return FolderOf(target) + kTemporaryPrefix + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter.fetch_add(1)) + kTemporarySuffix;
}

// Puts a finished file's content on the disk itself.
void Flush(const std::wstring& file, const std::string& name) {
    Handle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid() || !::FlushFileBuffers(handle.get()))
        Win32::Raise(::GetLastError(), "Cannot write", name);
}

// The identity of a file on its volume, or false when it cannot be opened.
bool Identity(const std::wstring& file, BY_HANDLE_FILE_INFORMATION& info) {
    Handle handle(::CreateFileW(file.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.valid() && ::GetFileInformationByHandle(handle.get(), &info);
}

bool NameTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

void Discard(const std::wstring& temp) {
    ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(temp.c_str());
}

DWORD Settable(DWORD attributes) {
    attributes &= kSettableAttributes;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

// Puts a finished temporary file in the target's place with the given attributes.
void MoveIntoPlace(const std::wstring& temp, const std::wstring& target, DWORD attributes,
                   const std::string& name) {
    if (!::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        Discard(temp);
        Win32::Raise(error, "Cannot replace", name);
    }
    if (!::SetFileAttributesW(target.c_str(), Settable(attributes)))
        Win32::Raise(::GetLastError(), "Cannot set the attributes of", name);
}

void WriteAll(HANDLE handle, const char* data, std::size_t size, const std::string& name) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
        DWORD written = 0;
        if (!::WriteFile(handle, data, chunk, &written, nullptr))
            Win32::Raise(::GetLastError(), "Cannot write", name);
        data += written;
        size -= written;
    }
}

}  // namespace

void ConfineWritesTo(const std::string& folder) {
    if (folder.empty()) {
        WriteRoot().clear();
        return;
    }
    const std::wstring real = FinalPath(NativeFolder(folder));
    if (real.empty())
        Win32::Raise(::GetLastError(), "Cannot find", folder);
    WriteRoot() = real;
}

bool FileExists(const std::string& file) {
    const DWORD attributes = Attributes(Native(file));
    return Exists(attributes) && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool FolderExists(const std::string& folder) {
    if (folder.empty())
        return false;
    const DWORD attributes = Attributes(NativeFolder(folder));
    return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    ForEachEntry(folder, [&](DWORD attributes, const std::string& name) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && WildcardMatch(pattern, name) &&
            Shared::ListedNameUsable(folder, name))
            names.push_back(name);
    });
    SortNames(names);
    return names;
}

std::vector<std::string> ListFolders(const std::string& folder) {
    std::vector<std::string> names;
    ForEachEntry(folder, [&](DWORD attributes, const std::string& name) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && Shared::ListedNameUsable(folder, name))
            names.push_back(name);
    });
    SortNames(names);
    return names;
}

std::string CurrentFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    if (length == 0 || length >= size)
        Win32::Raise(::GetLastError(), "Cannot read the current folder", "");
    folder.resize(length);
    return Win32::Narrow(folder);
}

bool StampOf(const std::string& file, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Native(file).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    stamp = StampFrom(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
    return true;
}

bool IsReadOnly(const std::string& file) {
    const DWORD attributes = Attributes(Native(file));
    if (!Exists(attributes))
        Win32::Raise(::GetLastError(), "Cannot read the attributes of", file);
    return (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::uintmax_t FileSize(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Native(file).c_str(), GetFileExInfoStandard, &data))
        Win32::Raise(::GetLastError(), "Cannot read the attributes of", file);
    return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void SetReadOnly(const std::string& file, bool readOnly) {
    const std::wstring native = Native(file);
    DWORD attributes = Attributes(native);
    if (!Exists(attributes))
        Win32::Raise(::GetLastError(), "Cannot read the attributes of", file);
    // The attributes are those of the file a link leads to: that file must be in the game.
    RefuseOutside(native, file);
    if (readOnly)
        attributes |= FILE_ATTRIBUTE_READONLY;
    else
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (!::SetFileAttributesW(native.c_str(), Settable(attributes)))
        Win32::Raise(::GetLastError(), "Cannot set the attributes of", file);
}

void CopyFile(const std::string& from, const std::string& to, bool flush, CopyWatch* watch) {
    const std::wstring source = Native(from);
    const std::wstring target = ExistingSpelling(Native(to));
    const DWORD attributes = Attributes(source);
    if (!Exists(attributes))
        Win32::Raise(::GetLastError(), "Cannot open", from);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        Win32::Raise(ERROR_ACCESS_DENIED, "Cannot copy", from);
    OpenDiskFile(source, from);
    RefuseFolderOutside(target, to);
    RefuseReadOnly(target, to);
    // The system's copy keeps the bytes to itself: the watch sees them read beforehand,
    // from the system's cache that the copy fills or finds.
    if (watch)
        ReadPieces(from,
                   [watch](const char* bytes, std::size_t size) { watch->Piece(bytes, size); });
    std::wstring temp;
    for (;;) {
        temp = TemporarySibling(target);
        // Fails rather than overwrite: a name in use belongs to another copy under way.
        if (::CopyFileW(source.c_str(), temp.c_str(), TRUE))
            break;
        const DWORD error = ::GetLastError();
        if (!NameTaken(error))
            Win32::Raise(error, "Cannot copy to", to);
    }
    ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_HIDDEN);
    try {
        if (flush)
            Flush(temp, to);
    } catch (...) {
        Discard(temp);
        throw;
    }
    TestSeam::Reached(TestSeam::Point::Copy, to);
    // The copy takes the source's attributes, as the system's own copy does.
    MoveIntoPlace(temp, target, attributes, to);
    if (watch)
        watch->Done = StampOf(to, watch->Written);
}

bool BackupFile(const std::string& from, const std::string& to, CopyWatch* watch) {
    const std::wstring source = Native(from);
    const DWORD attributes = Attributes(source);
    if (!Exists(attributes))
        Win32::Raise(::GetLastError(), "Cannot open", from);
    const std::wstring target = Native(to);
    RefuseFolderOutside(target, to);
    // Only a file itself is linked: a backup that is a link would lead wherever the
    // game's link led, and the copy reads through it instead.
    const bool linkable = !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                                          FILE_ATTRIBUTE_REPARSE_POINT));
    // Any refusal (FAT, exFAT, a share without links, a name taken) leaves the copy,
    // which reports a real problem if there is one.
    const bool linked = linkable && !TestSeam::HardLinksRefused() &&
                        ::CreateHardLinkW(target.c_str(), source.c_str(), nullptr);
    if (!linked)
        CopyFile(from, to, true, watch);
    else if (watch)
        watch->Done = StampOf(to, watch->Written);
    TestSeam::Reached(TestSeam::Point::Backup, to);
    return linked;
}

// A copy here replaces its target in one step (MoveFileEx): nothing is swapped out.
BackgroundRemovals::BackgroundRemovals() = default;
BackgroundRemovals::~BackgroundRemovals() = default;

void FlushFileSystem(const std::string&) {
    // Every copy of this layer is in place, on the disk, when it returns
    // (MOVEFILE_WRITE_THROUGH).
}

void FlushFolder(const std::string&) {
    // Every rename of this layer is written through (MOVEFILE_WRITE_THROUGH).
}

bool SameFile(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return Identity(Native(first), a) && Identity(Native(second), b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

std::vector<std::string> ListTemporaryFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::wstring pattern = NativeFolder(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L':')
        pattern += L'\\';
    pattern += std::wstring(kTemporaryPrefix) + L"*" + kTemporarySuffix;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Win32::Narrow(data.cFileName));
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    SortNames(names);
    return names;
}

void ReplaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = Native(from);
    const std::wstring target = ExistingSpelling(Native(to));
    RefuseFolderOutside(source, from);
    RefuseFolderOutside(target, to);
    if (!::MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Win32::Raise(::GetLastError(), "Cannot replace", to);
}

void DeleteFile(const std::string& file) {
    const std::wstring native = Native(file);
    RefuseFolderOutside(native, file);
    if (!::DeleteFileW(native.c_str()))
        Win32::Raise(::GetLastError(), "Cannot delete", file);
}

void CreateFolder(const std::string& folder) {
    const std::wstring native = NativeFolder(folder);
    RefuseFolderOutside(native, folder);
    if (!::CreateDirectoryW(native.c_str(), nullptr))
        Win32::Raise(::GetLastError(), "Cannot create", folder);
}

std::string FolderSpelling(const std::string& folder) {
    std::wstring wide = Win32::Wide(folder);
    if (!wide.empty())
        ::CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    bool lossless = true;
    std::string lowered = Win32::Narrow(wide, &lossless);
    // A capital whose small letter the code page lacks: fold the ASCII letters only.
    if (!lossless || lowered.size() != folder.size())
        return TextCase::Lower(folder);
    return lowered;
}

std::string NativePath(const std::string& path) {
    return Backslashed(path);
}

bool CopyFileOver(const std::string& from, const std::string& to, bool force, CopyWatch* watch) {
    const bool exists = FileExists(to);
    const bool readOnly = exists && IsReadOnly(to);
    if (!force && readOnly)
        return false;
    const auto copy = [&] { CopyFile(from, to, false, watch); };
    // A replaced file keeps its read-only bit; a new one takes the source's.
    if (exists)
        WriteKeepingReadOnly(to, readOnly, copy);
    else
        copy();
    return true;
}

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
    Handle handle(::CreateFileW(Native(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &info))
        return false;
    identity = {info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

bool DriveRootUsable(char letter) {
    const char upper = TextCase::UpperChar(letter);
    if (upper < 'A' || upper > 'Z')
        return false;
    if (!(::GetLogicalDrives() & (1u << (upper - 'A'))))
        return false;
    const wchar_t root[] = {static_cast<wchar_t>(upper), L':', L'\\', L'\0'};
    const UINT type = ::GetDriveTypeW(root);
    if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
        return false;
    // An empty disc drive must answer "not ready", not ask the user for a disc.
    DWORD previous = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
    ULARGE_INTEGER available;
    const bool ready = ::GetDiskFreeSpaceExW(root, &available, nullptr, nullptr) != 0;
    ::SetThreadErrorMode(previous, nullptr);
    return ready;
}

void ForgetCachedFolders() {
    // Windows itself matches names without regard to case: nothing is kept.
}

std::string ReadWholeFile(const std::string& file) {
    const Handle handle = OpenDiskFile(Native(file), file);
    std::string content;
    LARGE_INTEGER size;
    if (::GetFileSizeEx(handle.get(), &size) && size.QuadPart > 0)
        content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr))
            Win32::Raise(::GetLastError(), "Cannot read", file);
        if (got == 0)
            return content;
        content.append(buffer, got);
    }
}

FileStamp ReadPieces(const std::string& file,
                     const std::function<void(const char*, std::size_t)>& each) {
    static thread_local std::vector<char> buffer(std::size_t{1} << 18);
    const Handle handle = OpenDiskFile(Native(file), file);
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(handle.get(), &information))
        Win32::Raise(::GetLastError(), "Cannot read", file);
    const FileStamp stamp =
        StampFrom(information.nFileSizeHigh, information.nFileSizeLow, information.ftLastWriteTime);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                        nullptr))
            Win32::Raise(::GetLastError(), "Cannot read", file);
        if (got == 0)
            return stamp;
        each(buffer.data(), got);
        // A disk file reads short only at its end: most files take one read.
        if (got < buffer.size())
            return stamp;
    }
}

struct OutputFile::Impl {
    Handle handle;
    std::string name;
    std::wstring target;
    std::wstring temp;  // empty when appending
    Shared::PendingText pending;

    void Flush() {
        pending.Flush([this](const char* data, std::size_t size) {
            WriteAll(handle.get(), data, size, name);
        });
    }

    // Whether the whole new text is what the target already holds.
    bool SameAsTarget() const {
        if (pending.Flushed())
            return false;
        try {
            return ReadWholeFile(name) == pending.Held();
        } catch (const QuillonError&) {
            return false;
        }
    }
};

OutputFile::OutputFile(const std::string& file, Mode mode) : impl_(std::make_unique<Impl>()) {
    impl_->name = file;
    impl_->target = ExistingSpelling(Native(file));
    RefuseFolderOutside(impl_->target, file);
    if (mode == Mode::Append) {
        impl_->handle.Reset(::CreateFileW(impl_->target.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!impl_->handle.valid())
            Win32::Raise(::GetLastError(), "Cannot open", file);
        RefuseAppendThroughLink(impl_->handle.get(), impl_->target, file);
        // Refused now rather than after everything was written.
        RefuseReadOnly(impl_->target, file);
        return;
    }
    RefuseReadOnly(impl_->target, file);
    FileStamp replaced;
    if (StampOf(file, replaced))
        impl_->pending.HoldUpTo(replaced.Size);
    const std::wstring folder = FolderOf(impl_->target);
    const DWORD folderAttributes = folder.empty() ? FILE_ATTRIBUTE_DIRECTORY : Attributes(folder);
    if (!Exists(folderAttributes) || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        Win32::Raise(ERROR_PATH_NOT_FOUND, "Cannot create", file);
    for (;;) {
        impl_->temp = TemporarySibling(impl_->target);
        HANDLE created = ::CreateFileW(impl_->temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            impl_->handle.Reset(created);
            return;
        }
        const DWORD error = ::GetLastError();
        if (!NameTaken(error))
            Win32::Raise(error, "Cannot create a file beside", file);
    }
}

OutputFile::~OutputFile() {
    if (impl_->handle.valid()) {
        impl_->handle.Close();
        if (!impl_->temp.empty())
            Discard(impl_->temp);
    }
}

void OutputFile::Write(const std::string& text) {
    if (!impl_->handle.valid())
        Win32::Raise(ERROR_INVALID_HANDLE, "Cannot write", impl_->name);
    if (impl_->pending.Failed())
        Win32::Raise(ERROR_WRITE_FAULT, "Cannot write", impl_->name);
    if (impl_->pending.Add(text, impl_->temp.empty()))
        impl_->Flush();
}

void OutputFile::Close() {
    if (!impl_->handle.valid())
        return;
    if (impl_->temp.empty()) {
        if (!impl_->handle.Close())
            Win32::Raise(::GetLastError(), "Cannot write", impl_->name);
        return;
    }
    // A file that would come out as it is stays untouched.
    if (!impl_->pending.Failed() && impl_->SameAsTarget()) {
        impl_->handle.Close();
        Discard(impl_->temp);
        return;
    }
    DWORD error = ERROR_WRITE_FAULT;
    try {
        impl_->Flush();
    } catch (const QuillonError&) {
        error = ::GetLastError();
    }
    // A write that failed leaves the old file in place: an incomplete settings file or
    // user profile would be worse than the one it was to replace.
    bool ok = !impl_->pending.Failed() && ::FlushFileBuffers(impl_->handle.get());
    if (!ok && !impl_->pending.Failed())
        error = ::GetLastError();
    if (!impl_->handle.Close() && ok) {
        ok = false;
        error = ::GetLastError();
    }
    if (!ok) {
        Discard(impl_->temp);
        Win32::Raise(error, "Cannot write", impl_->name);
    }
    TestSeam::Reached(TestSeam::Point::Write, impl_->name);
    // The new content keeps the attributes the file had (a hidden file stays hidden).
    const DWORD existing = Attributes(impl_->target);
    MoveIntoPlace(impl_->temp, impl_->target, Exists(existing) ? existing : FILE_ATTRIBUTE_NORMAL,
                  impl_->name);
}

}  // namespace NativeFs
