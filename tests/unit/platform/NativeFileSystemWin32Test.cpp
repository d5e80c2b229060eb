// The native file system on Windows: attributes, links, the crash-safe writes and the
// paths that only Windows has.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "TempFolder.h"
#include "Win32Support.h"

#include <winioctl.h>

#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif

using NativeFs::OutputFile;

namespace {

std::wstring W(const std::string& text) {
    return Win32::Wide(text);
}

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(W(path).c_str());
}

void AddAttributes(const std::string& path, DWORD attributes) {
    const DWORD now = AttributesOf(path);
    ASSERT_NE(now, INVALID_FILE_ATTRIBUTES) << path;
    ASSERT_TRUE(
        ::SetFileAttributesW(W(path).c_str(), (now & ~FILE_ATTRIBUTE_DIRECTORY) | attributes))
        << path;
}

// Every entry of a folder with its attributes, hidden and system ones included.
std::vector<std::pair<std::string, DWORD>> Entries(const std::string& folder) {
    std::vector<std::pair<std::string, DWORD>> entries;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((W(folder) + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            entries.emplace_back(Win32::Narrow(name), data.dwFileAttributes);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return entries;
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : Entries(folder))
        names.insert(entry.first);
    return names;
}

// A handle held open as another program would hold it.
class OpenHandle {
  public:
    OpenHandle(const std::string& file, DWORD access, DWORD share)
        : handle_(
              ::CreateFileW(W(file).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~OpenHandle() {
        if (valid())
            ::CloseHandle(handle_);
    }
    OpenHandle(const OpenHandle&) = delete;
    OpenHandle& operator=(const OpenHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// A junction (a mount point) at link, leading to the folder target.
bool MakeJunction(const std::string& link, const std::string& target) {
    if (!::CreateDirectoryW(W(link).c_str(), nullptr))
        return false;
    const std::wstring print = W(target);
    const std::wstring substitute = L"\\??\\" + print;
    const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    // The mount point form of a reparse buffer: tag, data length, reserved, then the
    // offsets and lengths of both names and the names themselves.
    std::vector<BYTE> buffer(8 + 8 + names, 0);
    auto put16 = [&](std::size_t at, std::size_t value) {
        const WORD word = static_cast<WORD>(value);
        std::memcpy(&buffer[at], &word, sizeof word);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(&buffer[0], &tag, sizeof tag);
    put16(4, 8 + names);
    put16(8, 0);
    put16(10, substitute.size() * sizeof(wchar_t));
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));
    put16(14, print.size() * sizeof(wchar_t));
    std::memcpy(&buffer[16], substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    std::memcpy(&buffer[16 + (substitute.size() + 1) * sizeof(wchar_t)], print.c_str(),
                (print.size() + 1) * sizeof(wchar_t));
    HANDLE handle =
        ::CreateFileW(W(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    const bool made =
        ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                          static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr) != 0;
    ::CloseHandle(handle);
    if (!made)
        ::RemoveDirectoryW(W(link).c_str());
    return made;
}

bool SpelledInCodePage(const std::wstring& text) {
    bool lossless = true;
    Win32::Narrow(text, &lossless);
    return lossless;
}

}  // namespace

TEST(NativeFileSystemWin32, FolderSpellingIsLowerCase) {
    EXPECT_EQ(NativeFs::FolderSpelling("D:\\Play\\Demo\\"), "d:\\play\\demo\\");
    EXPECT_EQ(NativeFs::FolderSpelling("C:\\QEL2 Gold\\MODS\\"), "c:\\qel2 gold\\mods\\");
    // Letters beyond ASCII fold as Windows folds them in file names.
    if (::GetACP() == 1252) {
        EXPECT_EQ(NativeFs::FolderSpelling("C:\\Spiele\\\xC4RGER\\"), "c:\\spiele\\\xE4rger\\");
    }
}

TEST(NativeFileSystemWin32, ListingsSkipHiddenAndSystemEntriesThatPlainNamesStillFind) {
    TempFolder tmp;
    for (const char* name : {"shown.txt", "Hidden.txt", "system.txt", "b_moddef.txt", "notes.txtx"})
        tmp.Write(name, "x");
    for (const char* name : {"Visible", "HiddenFolder", "SystemFolder"})
        tmp.MakeFolder(name);
    AddAttributes(tmp.Path() + "Hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    AddAttributes(tmp.Path() + "system.txt", FILE_ATTRIBUTE_SYSTEM);
    AddAttributes(tmp.Path() + "HiddenFolder", FILE_ATTRIBUTE_HIDDEN);
    AddAttributes(tmp.Path() + "SystemFolder", FILE_ATTRIBUTE_SYSTEM);

    EXPECT_EQ(NativeFs::ListFiles(tmp.Path(), "*.txt"),
              (std::vector<std::string>{"b_moddef.txt", "shown.txt"}));
    EXPECT_EQ(NativeFs::ListFolders(tmp.Path()), std::vector<std::string>{"Visible"});
    EXPECT_TRUE(NativeFs::FileExists(tmp.Path() + "hidden.TXT"));
    EXPECT_TRUE(NativeFs::FileExists(tmp.Path() + "system.txt"));
    EXPECT_TRUE(NativeFs::FolderExists(tmp.Path() + "hiddenfolder\\"));
    EXPECT_FALSE(NativeFs::FileExists(tmp.Path() + "Visible"));
    EXPECT_FALSE(NativeFs::FolderExists(tmp.Path() + "shown.txt\\"));
    // "/" is read as "\".
    std::string slashed = tmp.Path() + "Visible/";
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    EXPECT_TRUE(NativeFs::FolderExists(slashed));
}

TEST(NativeFileSystemWin32, LinkedFoldersAreNotListed) {
    TempFolder tmp;
    tmp.MakeFolder("real\\inner");
    // Some systems (Wine among them) report a link made that does not exist.
    const bool symlink =
        ::CreateSymbolicLinkW(
            W(tmp.Path() + "symlink").c_str(), W(tmp.Path() + "real").c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0 &&
        AttributesOf(tmp.Path() + "symlink") != INVALID_FILE_ATTRIBUTES;
    const bool junction = MakeJunction(tmp.Path() + "junction", tmp.Path() + "real");
    if (!symlink && !junction)
        GTEST_SKIP() << "this system makes neither links nor junctions";

    EXPECT_EQ(NativeFs::ListFolders(tmp.Path()), std::vector<std::string>{"real"});
    // A link named in full is still a usable folder.
    if (junction) {
        EXPECT_TRUE(NativeFs::FolderExists(tmp.Path() + "junction\\inner\\"));
    }
    if (symlink) {
        EXPECT_TRUE(NativeFs::FolderExists(tmp.Path() + "symlink\\inner\\"));
    }
    if (junction)
        ::RemoveDirectoryW(W(tmp.Path() + "junction").c_str());
    if (symlink)
        ::RemoveDirectoryW(W(tmp.Path() + "symlink").c_str());
}

TEST(NativeFileSystemWin32, JunctionsOutOfTheConfinedFolderAreNotWrittenThrough) {
    TempFolder tmp;
    tmp.MakeFolder("game\\data");
    tmp.MakeFolder("elsewhere");
    // Wine makes no junctions; its links (the scenarios' Unix links) are tested there.
    if (!MakeJunction(tmp.Path() + "game\\out", tmp.Path() + "elsewhere") ||
        !MakeJunction(tmp.Path() + "game\\in", tmp.Path() + "game\\data"))
        GTEST_SKIP() << "this system makes no junctions";
    tmp.Write("game\\source.txt", "mod");
    const std::string game = tmp.Path() + "game\\";
    {
        struct Confined {
            explicit Confined(const std::string& folder) { NativeFs::ConfineWritesTo(folder); }
            ~Confined() { NativeFs::ConfineWritesTo(""); }
        } confined(game);
        NativeFs::CopyFile(game + "source.txt", game + "in\\copied.txt");
        const QuillonError error =
            ErrorOf([&] { NativeFs::CopyFile(game + "source.txt", game + "out\\copied.txt"); });
        EXPECT_EQ(error.Number, PlatformError::PermissionDenied);
        EXPECT_NE(error.Description.find("out is a link to"), std::string::npos)
            << error.Description;
    }
    EXPECT_TRUE(tmp.Exists("game\\data\\copied.txt"));
    EXPECT_FALSE(tmp.Exists("elsewhere\\copied.txt"));
    ::RemoveDirectoryW(W(tmp.Path() + "game\\out").c_str());
    ::RemoveDirectoryW(W(tmp.Path() + "game\\in").c_str());
}

TEST(NativeFileSystemWin32, ReadOnlyIsTheFileAttributeAndOtherAttributesStay) {
    TempFolder tmp;
    tmp.Write("game.txt", "x");
    const std::string file = tmp.Path() + "game.txt";
    AddAttributes(file, FILE_ATTRIBUTE_HIDDEN);

    NativeFs::SetReadOnly(file, true);
    EXPECT_TRUE(NativeFs::IsReadOnly(file));
    EXPECT_EQ(AttributesOf(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_THROW(NativeFs::DeleteFile(file), QuillonError);

    NativeFs::SetReadOnly(file, false);
    EXPECT_FALSE(NativeFs::IsReadOnly(file));
    EXPECT_TRUE(AttributesOf(file) & FILE_ATTRIBUTE_HIDDEN);

    try {
        NativeFs::IsReadOnly(tmp.Path() + "missing.txt");
        ADD_FAILURE() << "no error for a missing file";
    } catch (const QuillonError& error) {
        EXPECT_EQ(error.Number, PlatformError::FileNotFound);
        EXPECT_EQ(error.Source, "Platform");
    }
}

TEST(NativeFileSystemWin32, CopiesTakeTheSourcesAttributesAndKeepTheTargetsSpelling) {
    TempFolder tmp;
    tmp.Write("Source.txt", "new");
    tmp.Write("GameFile.TXT", "old");
    NativeFs::SetReadOnly(tmp.Path() + "Source.txt", true);

    NativeFs::CopyFile(tmp.Path() + "source.txt", tmp.Path() + "gamefile.txt");
    NativeFs::CopyFile(tmp.Path() + "source.txt", tmp.Path() + "Fresh.txt");

    EXPECT_EQ(Names(tmp.Path()),
              (std::set<std::string>{"Fresh.txt", "GameFile.TXT", "Source.txt"}));
    EXPECT_EQ(tmp.Read("GameFile.TXT"), "new");
    for (const char* name : {"GameFile.TXT", "Fresh.txt"}) {
        EXPECT_TRUE(NativeFs::IsReadOnly(tmp.Path() + name)) << name;
        // The hidden mark of the copy under way must not stay on the finished file.
        EXPECT_FALSE(AttributesOf(tmp.Path() + name) & FILE_ATTRIBUTE_HIDDEN) << name;
    }
}

TEST(NativeFileSystemWin32, AReplacementThatCannotTakeTheTargetsPlaceLeavesTheOldFile) {
    TempFolder tmp;
    tmp.Write("quill.ini", "old");
    tmp.Write("source.txt", "copied");
    const std::string target = tmp.Path() + "quill.ini";
    AddAttributes(target, FILE_ATTRIBUTE_HIDDEN);

    {
        OutputFile abandoned(target, OutputFile::Mode::Replace);
        abandoned.Write("half");
    }
    EXPECT_EQ(tmp.Read("quill.ini"), "old");
    EXPECT_EQ(Names(tmp.Path()), (std::set<std::string>{"quill.ini", "source.txt"}));

    OutputFile out(target, OutputFile::Mode::Replace);
    out.Write("new");
    const auto during = Entries(tmp.Path());
    ASSERT_EQ(during.size(), 3u);
    for (const auto& [name, attributes] : during) {
        if (name == "quill.ini" || name == "source.txt")
            continue;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << name;
        for (const char* pattern :
             {"orig_*.*", "subst_*", "*_moddef.txt", "*_gamefile.txt", "temp.tmp"})
            EXPECT_FALSE(NativeFs::WildcardMatch(pattern, name)) << name;
    }
    {
        // Another program has the file open and does not let it be replaced.
        OpenHandle holder(target, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(holder.valid());
        EXPECT_THROW(out.Close(), QuillonError);
        EXPECT_THROW(NativeFs::CopyFile(tmp.Path() + "source.txt", target), QuillonError);
    }
    EXPECT_EQ(tmp.Read("quill.ini"), "old");
    EXPECT_EQ(Names(tmp.Path()), (std::set<std::string>{"quill.ini", "source.txt"}));

    OutputFile again(target, OutputFile::Mode::Replace);
    again.Write("new");
    again.Close();
    EXPECT_EQ(tmp.Read("quill.ini"), "new");
    // A file hidden by its owner stays hidden when the program rewrites it.
    EXPECT_TRUE(AttributesOf(target) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Names(tmp.Path()), (std::set<std::string>{"quill.ini", "source.txt"}));
}

TEST(NativeFileSystemWin32, ACopyFromAnUnreadableSourceLeavesTheTargetAlone) {
    TempFolder tmp;
    tmp.Write("locked.txt", "source");
    tmp.Write("target.txt", "original");
    {
        OpenHandle exclusive(tmp.Path() + "locked.txt", GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(exclusive.valid());
        EXPECT_THROW(NativeFs::CopyFile(tmp.Path() + "locked.txt", tmp.Path() + "target.txt"),
                     QuillonError);
        EXPECT_THROW(NativeFs::InputFile(tmp.Path() + "locked.txt"), QuillonError);
    }
    EXPECT_EQ(tmp.Read("target.txt"), "original");
    EXPECT_EQ(Names(tmp.Path()), (std::set<std::string>{"locked.txt", "target.txt"}));
}

TEST(NativeFileSystemWin32, PathsLongerThanTheOldLimitWork) {
    TempFolder tmp;
    std::string folder = tmp.Path();
    std::vector<std::string> made;
    while (folder.size() < 320) {
        folder += "a_rather_long_folder_name_for_a_mod\\";
        NativeFs::CreateFolder(folder);
        made.push_back(folder);
    }
    OutputFile out(folder + "deep_moddef.txt", OutputFile::Mode::Replace);
    out.Write("Name\tDeep\r\n");
    out.Close();
    NativeFs::CopyFile(folder + "deep_moddef.txt", folder + "orig_deep.txt");

    EXPECT_TRUE(NativeFs::FolderExists(folder));
    EXPECT_EQ(NativeFs::ListFiles(folder, "*.txt"),
              (std::vector<std::string>{"deep_moddef.txt", "orig_deep.txt"}));
    EXPECT_EQ(ReadLines(folder + "orig_deep.txt"), std::vector<std::string>{"Name\tDeep"});
    NativeFs::SetReadOnly(folder + "orig_deep.txt", true);
    EXPECT_TRUE(NativeFs::IsReadOnly(folder + "orig_deep.txt"));
    NativeFs::SetReadOnly(folder + "orig_deep.txt", false);

    // The test folder's own clean-up knows only short paths.
    NativeFs::DeleteFile(folder + "deep_moddef.txt");
    NativeFs::DeleteFile(folder + "orig_deep.txt");
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        ::RemoveDirectoryW((L"\\\\?\\" + W(it->substr(0, it->size() - 1))).c_str());
    EXPECT_FALSE(NativeFs::FolderExists(made.front()));
}

TEST(NativeFileSystemWin32, NamesTheCodePageCannotSpellAreLeftOut) {
    const std::wstring foreign = L"\u4e2d\u6587_moddef.txt";
    if (SpelledInCodePage(foreign))
        GTEST_SKIP() << "the system code page spells every test name";
    TempFolder tmp;
    tmp.Write("plain_moddef.txt", "x");
    HANDLE made = ::CreateFileW((W(tmp.Path()) + foreign).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    ::CloseHandle(made);

    EXPECT_EQ(NativeFs::ListFiles(tmp.Path(), "*_moddef.txt"),
              std::vector<std::string>{"plain_moddef.txt"});
    ::DeleteFileW((W(tmp.Path()) + foreign).c_str());
}

TEST(NativeFileSystemWin32, DriveRootsAreTheLettersThatAreReady) {
    wchar_t windows[MAX_PATH];
    ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const char system = static_cast<char>(windows[0]);
    EXPECT_TRUE(NativeFs::DriveRootUsable(system));
    EXPECT_TRUE(NativeFs::DriveRootUsable(static_cast<char>(system | 0x20)));

    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'A'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) {
            EXPECT_FALSE(NativeFs::DriveRootUsable(letter)) << letter;
            break;
        }
    }
    EXPECT_FALSE(NativeFs::DriveRootUsable('1'));
}

#endif  // _WIN32
