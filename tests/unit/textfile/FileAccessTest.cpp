#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "FileAccess.h"
#include "FileInterface.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "TempFolder.h"

namespace {

// Every token up to the end-of-file sentinel (bounded, so a reader that never ends
// fails instead of hanging).
std::vector<std::string> Tokens(FileAccess& file) {
    std::vector<std::string> tokens;
    for (int i = 0; i < 1000; ++i) {
        std::string token = file.Read();
        if (token == file.CommentChar())
            return tokens;
        tokens.push_back(token);
    }
    ADD_FAILURE() << "no end of file";
    return tokens;
}

class FileAccessTest : public ::testing::Test {
  protected:
    // A token reader as the settings file and the mod definitions use it.
    void OpenTokens(FileAccess& file, const std::string& name, const std::string& content) {
        file.Setup("//", "\t", "", "", 0);
        OpenPlain(file, name, content);
    }
    void OpenPlain(FileAccess& file, const std::string& name, const std::string& content) {
        tmp.Write(name, content);
        file.SetFileByName(name, tmp.Path(), &fi);
        file.OpenFileForInput();
    }

    TempFolder tmp;
    FileInterface fi{tmp.Path()};
};

// The same file with each of the line ends a file may come with.
class FileAccessLineEnds : public FileAccessTest,
                           public ::testing::WithParamInterface<const char*> {
  protected:
    std::string Join(const std::vector<std::string>& lines) const {
        std::string text;
        for (const std::string& line : lines)
            text += line + GetParam();
        return text;
    }
};

const std::vector<std::string> kSettings = {
    "  Key\t\tValue  ",
    "// a whole-line comment",
    "",
    "Name\tMy Mod // note",
    "a // b // c",
    "\t\t",
    "//",
    "  ",
};

TEST_P(FileAccessLineEnds, TokensSkipBlankLinesAndGatherComments) {
    FileAccess file;
    // The last line has no line end.
    OpenTokens(file, "quill.ini", Join(kSettings) + "Last\tLine");

    EXPECT_EQ(Tokens(file),
              (std::vector<std::string>{"Key", "Value", "Name", "My Mod", "a", "Last", "Line"}));
    EXPECT_EQ(file.Comment(), "// a whole-line comment\r\n// note\r\n// b // c\r\n//");
    EXPECT_EQ(file.Comment(), "");
    EXPECT_EQ(file.LineNumber(), 9);
    EXPECT_TRUE(file.EOfF());
    EXPECT_EQ(file.Read(), "//");
}

TEST_P(FileAccessLineEnds, TokensOfTheLastLineComeBeforeTheEnd) {
    FileAccess file;
    OpenTokens(file, "a.txt", std::string("One\tTwo") + GetParam() + "Three\tFour");
    EXPECT_EQ(file.Read(), "One");
    EXPECT_FALSE(file.EOfF());
    EXPECT_EQ(file.Read(), "Two");
    EXPECT_EQ(file.Read(), "Three");
    // Every line has been read, yet a token is still pending.
    EXPECT_TRUE(file.EOfF());
    EXPECT_EQ(file.Read(), "Four");
    EXPECT_EQ(file.Read(), "//");
}

TEST_P(FileAccessLineEnds, AnInstanceNeverSetUpReadsWholeLines) {
    FileAccess file;
    OpenPlain(file, "userprofile.txt", Join(kSettings) + "Last\tLine");
    EXPECT_EQ(Tokens(file), (std::vector<std::string>{"Key\t\tValue", "// a whole-line comment",
                                                      "Name\tMy Mod // note", "a // b // c", "\t\t",
                                                      "//", "Last\tLine"}));
    EXPECT_EQ(file.Comment(), "");
    EXPECT_EQ(file.Read(), "");
}

TEST_P(FileAccessLineEnds, WholeLinesComeBackUnchanged) {
    FileAccess file;
    const std::string longLine(100000, 'x');
    OpenPlain(file, "f.txt", Join({"  spaced // kept  ", "", longLine, "\tlast"}));
    EXPECT_EQ(file.ReadLine(), "  spaced // kept  ");
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_EQ(file.ReadLine(), longLine);
    EXPECT_EQ(file.ReadLine(), "\tlast");
    EXPECT_TRUE(file.EOfF());
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_EQ(file.LineNumber(), 4);

    std::string whole;
    file.CopyToString(whole);
    EXPECT_EQ(whole, "  spaced // kept  \r\n\r\n" + longLine + "\r\n\tlast");
    EXPECT_FALSE(file.FileOpen());

    // A long line is a token like any other.
    file.Setup("//", "\t", "", "", 0);
    file.OpenFileForInput();
    EXPECT_EQ(Tokens(file), (std::vector<std::string>{"spaced", longLine, "last"}));
}

INSTANTIATE_TEST_SUITE_P(CrLfCrOrLf, FileAccessLineEnds, ::testing::Values("\r\n", "\r", "\n"));

TEST_F(FileAccessTest, BracketsAndSeveralCommentMarkers) {
    FileAccess file;
    tmp.Write("b.txt", "abc[def]ghi jkl\r\n[a b]\r\nx ; one # two\r\n");
    file.Setup("#;", " ", "]", "[", 0);
    file.SetFileByName("b.txt", tmp.Path(), &fi);
    file.OpenFileForInput();
    EXPECT_EQ(Tokens(file),
              (std::vector<std::string>{"abc", "[def]", "ghi", "jkl", "[a", "b]", "x"}));
    // Each marker in turn cuts what is left of the line.
    EXPECT_EQ(file.Comment(), "# two; one");
}

TEST_F(FileAccessTest, ReadBoolReadsFlagsLeniently) {
    FileAccess file;
    OpenTokens(file, "flags.txt", "No\tfalse\t0x1\r\nYes\tTrue\t1\r\n");
    for (bool expected : {false, false, false, true, true, true})
        EXPECT_EQ(file.ReadBool(), expected);
    EXPECT_TRUE(file.ReadBool());  // the end of the file
}

TEST_F(FileAccessTest, ReadLineTakesLinesAheadOfPendingTokens) {
    FileAccess file;
    OpenTokens(file, "r.txt", "a\tb\r\nline two\r\nc\r\n");
    EXPECT_EQ(file.Read(), "a");
    EXPECT_EQ(file.ReadLine(), "line two");
    EXPECT_EQ(file.Read(), "b");
    EXPECT_EQ(file.Read(), "c");
    EXPECT_EQ(file.LineNumber(), 3);
}

TEST_F(FileAccessTest, ReopeningStartsAfresh) {
    FileAccess file;
    OpenTokens(file, "r.txt", "a\tb // note\r\nc\r\n");
    EXPECT_EQ(file.Read(), "a");
    file.OpenFileForInput();
    EXPECT_EQ(file.LineNumber(), 0);
    EXPECT_EQ(file.Comment(), "");
    EXPECT_EQ(file.Read(), "a");
    file.CloseFile();
    EXPECT_EQ(file.Comment(), "");
    EXPECT_FALSE(file.FileOpen());
}

TEST_F(FileAccessTest, AnEmptyFileEndsAtOnce) {
    FileAccess file;
    OpenTokens(file, "empty.txt", "");
    EXPECT_TRUE(file.EOfF());
    EXPECT_EQ(file.Read(), "//");
    std::string whole = "stale";
    file.CopyToString(whole);
    EXPECT_EQ(whole, "");
}

TEST_F(FileAccessTest, ErrorsCarryTheirNumbersAndMessages) {
    FileAccess file;
    struct Expected {
        long number;
        const char* message;
    };
    auto check = [](const QuillonError& e, const Expected& expected) {
        EXPECT_EQ(e.Number, expected.number);
        EXPECT_EQ(e.Source, "FileAccess");
        EXPECT_EQ(e.Description, expected.message);
    };
    const Expected beforeOpen{1026, "Attempted file read before file open"};
    const Expected beforeSetup{1027, "Attempted file open before setup"};
    const Expected noInterface{1100, "Failed to provide interface when initializing FileAccess"};

    check(ErrorOf([&] { file.Read(); }), beforeOpen);
    check(ErrorOf([&] { file.ReadBool(); }), beforeOpen);
    check(ErrorOf([&] { file.EOfF(); }), {1088, "Attempted end of file check before file open"});
    check(ErrorOf([&] { file.OpenFileForInput(); }), beforeSetup);
    check(ErrorOf([&] { file.OpenFileForOutput(); }), beforeSetup);
    check(ErrorOf([&] { file.OpenFileForAppend(); }), beforeSetup);
    check(ErrorOf([&] { file.SetFileByName("a.txt", tmp.Path()); }), noInterface);
    check(ErrorOf([&] { file.SetFileToTemp(); }), noInterface);
    EXPECT_EQ(file.FileName(), "");

    file.Setup("//", "\t", "]", "[", 0);
    check(ErrorOf([&] { file.Setup("#", " ", "", "", -1); }),
          {1025, "Invalid argument supplied to FileAccessSetup"});
    EXPECT_EQ(file.CommentChar(), "//");
    EXPECT_EQ(file.DelimiterChar(), "\t");
    EXPECT_EQ(file.DelimiterCharRight(), "]");
    EXPECT_EQ(file.DelimiterCharLeft(), "[");

    // A failed open leaves the file bound and closed; the reference's error passes through.
    file.SetFileByName("missing.txt", tmp.Path(), &fi);
    EXPECT_EQ(ErrorOf([&] { file.OpenFileForInput(); }).Number, 1069);
    EXPECT_FALSE(file.FileOpen());
    EXPECT_EQ(file.FileName(), "missing.txt");
    check(ErrorOf([&] { file.Read(); }), beforeOpen);
    EXPECT_EQ(ErrorOf([&] { file.OpenFileForAppend(); }).Number, 1069);
    EXPECT_EQ(ErrorOf([&] { file.Delete(); }).Number, 1069);
}

TEST_F(FileAccessTest, BindingByNameKeepsOrFindsTheFolder) {
    tmp.Write("Game/quill.ini", "");
    FileAccess file;
    std::string path = tmp.Path() + "Game";
    file.SetFileByName("quill.ini", path, &fi);
    EXPECT_EQ(path, tmp.Path() + "Game");
    EXPECT_EQ(file.Path(), NativeFs::FolderSpelling(tmp.Path() + "Game\\"));
    EXPECT_FALSE(file.FileAbsent());

    // A bare name stays in the folder of the file bound before.
    std::string keep;
    file.SetFileByName("Quill.log", keep);
    EXPECT_EQ(keep, file.Path());
    EXPECT_EQ(file.Path(), NativeFs::FolderSpelling(tmp.Path() + "Game\\"));
    EXPECT_EQ(file.FileName(), "Quill.log");
    EXPECT_TRUE(file.FileAbsent());

    // Unbound, a bare name goes to the interface's current folder.
    ASSERT_FALSE(fi.PathInvalid(tmp.Path()));
    FileAccess fresh;
    std::string current;
    fresh.SetFileByName("x.txt", current, &fi);
    EXPECT_EQ(current, tmp.Path());

    fresh.SetFileToTemp();
    EXPECT_EQ(fresh.FileName(), "temp.tmp");
    EXPECT_EQ(fresh.Path(), NativeFs::FolderSpelling(tmp.Path()));
}

TEST_F(FileAccessTest, WritingEndsLinesWithCrLfAndReplacesTheFileAtClose) {
    tmp.Write("quill.ini", "old\r\n");
    FileAccess file;
    file.SetFileByName("quill.ini", tmp.Path(), &fi);
    file.OpenFileForOutput();
    file.WriteLine("[Options]");
    file.WriteWord("Log\t");
    file.WriteLine("Yes");
    EXPECT_EQ(tmp.Read("quill.ini"), "old\r\n");
    file.CloseFile();
    EXPECT_EQ(tmp.Read("quill.ini"), "[Options]\r\nLog\tYes\r\n");

    file.OpenFileForAppend();
    file.WriteLine("more");
    file.CloseFile();
    EXPECT_EQ(tmp.Read("quill.ini"), "[Options]\r\nLog\tYes\r\nmore\r\n");

    // Writing and reading need the matching mode.
    EXPECT_THROW(file.WriteLine("closed"), QuillonError);
    file.OpenFileForInput();
    EXPECT_THROW(file.WriteLine("input"), QuillonError);
    file.OpenFileForOutput();
    EXPECT_THROW(file.ReadLine(), QuillonError);
    EXPECT_THROW(file.Read(), QuillonError);
    file.WriteLine("last");
    file.CloseFile();
    EXPECT_EQ(tmp.Read("quill.ini"), "last\r\n");

    // A new file in an existing folder is made; in a missing folder it is an error.
    file.SetFileByName("Quill.log", tmp.Path());
    file.OpenFileForOutput();
    file.CloseFile();
    EXPECT_TRUE(tmp.Exists("Quill.log"));
    file.SetFileByName("a.txt", tmp.Path() + "nowhere");
    EXPECT_EQ(ErrorOf([&] { file.OpenFileForOutput(); }).Number, 1068);
}

TEST_F(FileAccessTest, AWriteCutShortByAnErrorLeavesTheOldFile) {
    tmp.Write("quill.ini", "whole\r\n");
    try {
        FileAccess file;
        file.SetFileByName("quill.ini", tmp.Path(), &fi);
        file.OpenFileForOutput();
        file.WriteLine("half");
        throw std::runtime_error("the writer failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(tmp.Read("quill.ini"), "whole\r\n");

    // A writer that lives on (the main window's settings file) and is closed by a
    // guard while the error unwinds drops the half-written file just the same.
    FileAccess kept;
    kept.SetFileByName("quill.ini", tmp.Path(), &fi);
    try {
        kept.OpenFileForOutput();
        struct Closes {
            FileAccess& file;
            ~Closes() { file.CloseFile(); }
        } guard{kept};
        kept.WriteLine("half");
        throw std::runtime_error("the writer failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(kept.FileOpen());
    EXPECT_EQ(tmp.Read("quill.ini"), "whole\r\n");

    // Destroyed in the ordinary way, an open file is completed.
    {
        FileAccess file;
        file.SetFileByName("quill.ini", tmp.Path(), &fi);
        file.OpenFileForOutput();
        file.WriteLine("done");
    }
    EXPECT_EQ(tmp.Read("quill.ini"), "done\r\n");
}

TEST_F(FileAccessTest, CopyingAndDeletingGoThroughTheReferences) {
    tmp.Write("mods/userprofile.txt", "NumPlayers=8\r\n");
    tmp.Write("game/userprofile.txt", "NumPlayers=2\r\n");
    FileAccess from;
    from.SetFileByName("userprofile.txt", tmp.Path() + "mods", &fi);
    FileAccess into;
    into.SetFileByName("USERPROFILE.TXT", tmp.Path() + "game", &fi);
    into.OpenFileForInput();

    NativeFs::SetReadOnly(tmp.Path() + "game\\userprofile.txt", true);
    from.CopyInto(into, false);
    EXPECT_FALSE(into.FileOpen());
    EXPECT_EQ(tmp.Read("game/userprofile.txt"), "NumPlayers=2\r\n");
    from.CopyInto(into, true);
    EXPECT_EQ(tmp.Read("game/userprofile.txt"), "NumPlayers=8\r\n");

    FileAccess temp;
    temp.SetFileToTemp(&fi);
    temp.CopyFromReference(*into.Reference(), false);
    EXPECT_EQ(tmp.Read("temp.tmp"), "NumPlayers=8\r\n");
    // The copy of a read-only file is read-only, and Windows deletes no read-only file.
    NativeFs::SetReadOnly(tmp.Path() + "temp.tmp", false);
    temp.Delete();
    EXPECT_FALSE(tmp.Exists("temp.tmp"));
    EXPECT_FALSE(temp.FileOpen());

    // An instance bound to nothing has nothing to copy or delete.
    FileAccess unbound;
    EXPECT_EQ(unbound.Path(), "");
    EXPECT_TRUE(unbound.FileAbsent());
    EXPECT_EQ(ErrorOf([&] { unbound.Delete(); }).Number, 1027);
    EXPECT_EQ(ErrorOf([&] { unbound.CopyInto(into, true); }).Number, 1027);
    EXPECT_EQ(ErrorOf([&] { from.CopyInto(unbound, true); }).Number, 1027);
    EXPECT_EQ(tmp.Read("game/userprofile.txt"), "NumPlayers=8\r\n");
}

}  // namespace
