// The walk over folders, the drive search and the dialogs that ask the user for a file.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Action.h"
#include "Dialogs.h"
#include "FileInterface.h"
#include "FileReference.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "RecordingDialogs.h"
#include "TempFolder.h"

namespace {

const std::string CrLf = "\r\n";

// A file dialog that answers from a queue (an empty answer is a cancelled dialog) and
// remembers what it was shown with.
class ScriptedFileDialog : public CommonDialog {
  public:
    struct Shown {
        bool Save;
        std::string Title, FileName, Filter, InitDir;
    };
    std::deque<std::string> Answers;
    std::vector<Shown> Shows;

    void ShowOpen() override { Show(false); }
    void ShowSave() override { Show(true); }

  private:
    void Show(bool save) {
        Shows.push_back(Shown{save, DialogTitle, FileName, Filter, InitDir});
        FileName = Answers.empty() ? "" : Answers.front();
        if (!Answers.empty())
            Answers.pop_front();
    }
};

// Collects every file an Action reports, as folder + name.
struct Recorder {
    std::vector<std::string> Files;
    Action Source;
    Recorder() {
        Source.OnAction = [this](std::shared_ptr<FileReference>& Arg) {
            Files.push_back(Arg->FullName());
        };
    }
};

class FileSearchTest : public ::testing::Test {
  protected:
    TempFolder Temp;
    FileInterface Interface{Temp.Path()};
    RecordingDialogs Dialogs;
    ScriptedFileDialog Dialog;

    void SetUp() override { Interface.Setup(&Dialog, nullptr, nullptr); }
    std::string At(const std::string& relative) const { return Temp.Path() + relative; }

    // Has the recorder keep file names only, and abort the walk at the file named Name.
    static void AbortAt(Recorder& recorder, const std::string& name) {
        recorder.Source.OnAction = [&recorder, name](std::shared_ptr<FileReference>& Arg) {
            recorder.Files.push_back(Arg->FileName());
            if (Arg->FileName() == name)
                recorder.Source.Abort = true;
        };
    }
};

TEST_F(FileSearchTest, ReportsFolderFilesBeforeSubFoldersInNameOrder) {
    Temp.Write("b_orig.txt", "");
    Temp.Write("A_orig.txt", "");
    Temp.Write("skip.dat", "");
    Temp.Write("sub1\\c_orig.txt", "");
    Temp.Write("sub1\\deep\\e_orig.txt", "");
    Temp.Write("Sub0\\d_orig.txt", "");
    Temp.Write("z_orig.txt", "");

    Recorder recorder;
    Interface.RecurseFolders(Temp.Path(), "*_orig.txt", recorder.Source);

    EXPECT_EQ(recorder.Files,
              (std::vector<std::string>{At("A_orig.txt"), At("b_orig.txt"), At("z_orig.txt"),
                                        NativeFs::FolderSpelling(At("Sub0\\")) + "d_orig.txt",
                                        At("sub1\\c_orig.txt"), At("sub1\\deep\\e_orig.txt")}));
}

TEST_F(FileSearchTest, SourcePathWithoutTrailingSeparatorAndMissingFolders) {
    Temp.Write("sub\\x.txt", "");
    Recorder recorder;
    std::string noSlash = At("sub");
    Interface.RecurseFolders(noSlash, "*.*", recorder.Source);
    EXPECT_EQ(recorder.Files, std::vector<std::string>{At("sub\\x.txt")});

    recorder.Files.clear();
    EXPECT_NO_THROW(Interface.RecurseFolders(At("absent\\"), "*.*", recorder.Source));
    EXPECT_NO_THROW(Interface.RecurseFolders("", "*.*", recorder.Source));
    EXPECT_TRUE(recorder.Files.empty());
}

TEST_F(FileSearchTest, SkipsHiddenFilesAndFolders) {
    Temp.Write(".orig_hidden.txt", "");
    Temp.Write("orig_seen.txt", "");
    Temp.Write(".hiddenfolder\\orig_inside.txt", "");
    Recorder recorder;
    Interface.RecurseFolders(Temp.Path(), "*orig_*.*", recorder.Source);
    EXPECT_EQ(recorder.Files, std::vector<std::string>{At("orig_seen.txt")});
}

// Abort is looked at only on entry to a folder: the rest of the current folder is
// still reported, no folder after it is (its own sub-folders included).
TEST_F(FileSearchTest, AbortStopsAtTheNextFolder) {
    for (const char* file :
         {"a.txt", "b.txt", "one\\x.txt", "one\\y.txt", "one\\inner\\z.txt", "two\\w.txt"})
        Temp.Write(file, "");
    using Names = std::vector<std::string>;
    Recorder atTop;
    AbortAt(atTop, "a.txt");
    Interface.RecurseFolders(Temp.Path(), "*.txt", atTop.Source);
    EXPECT_EQ(atTop.Files, (Names{"a.txt", "b.txt"}));

    Recorder inSubFolder;
    AbortAt(inSubFolder, "x.txt");
    Interface.RecurseFolders(Temp.Path(), "*.txt", inSubFolder.Source);
    EXPECT_EQ(inSubFolder.Files, (Names{"a.txt", "b.txt", "x.txt", "y.txt"}));

    // An Action once aborted makes every later walk with it return at once.
    atTop.Files.clear();
    Interface.RecurseFolders(Temp.Path(), "*.txt", atTop.Source);
    EXPECT_TRUE(atTop.Files.empty());
}

// The careful restoration copies each backup over its original from inside the
// event, which moves the interface's shared file and folder lists.
TEST_F(FileSearchTest, ListenerThatCopiesEachFileStillSeesEveryFile) {
    Temp.Write("data\\orig_a.txt", "A");
    Temp.Write("data\\orig_b.txt", "B");
    Temp.Write("data\\orig_c.txt", "C");
    Temp.Write("data\\more\\orig_d.txt", "D");
    Temp.MakeFolder("elsewhere\\x");
    std::vector<std::string> seen;
    Action restore;
    restore.OnAction = [&](std::shared_ptr<FileReference>& Arg) {
        seen.push_back(Arg->FileName());
        FileReference original;
        original.Setup(Arg->Path(), Arg->FileName().substr(5), &Interface);
        Arg->CopyIntoReference(original, true);
        // Moves the lists somewhere else entirely.
        EXPECT_TRUE(Interface.FileAbsent(At("elsewhere\\x"), "*.*"));
    };
    Interface.RecurseFolders(At("data"), "orig_*.*", restore);

    EXPECT_EQ(seen,
              (std::vector<std::string>{"orig_a.txt", "orig_b.txt", "orig_c.txt", "orig_d.txt"}));
    EXPECT_EQ(Temp.Read("data\\a.txt"), "A");
    EXPECT_EQ(Temp.Read("data\\c.txt"), "C");
    EXPECT_EQ(Temp.Read("data\\more\\d.txt"), "D");
}

TEST_F(FileSearchTest, ListenerMayKeepOrDropTheReference) {
    Temp.Write("a.txt", "");
    Temp.Write("b.txt", "");
    Temp.Write("c.txt", "");
    std::vector<std::shared_ptr<FileReference>> kept;
    Action action;
    action.OnAction = [&](std::shared_ptr<FileReference>& Arg) {
        if (Arg->FileName() == "a.txt") {
            kept.push_back(Arg);
            Arg = std::make_shared<FileReference>();
        } else if (Arg->FileName() == "b.txt") {
            Arg.reset();
        } else {
            kept.push_back(Arg);
        }
    };
    Interface.RecurseFolders(Temp.Path(), "*.txt", action);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0]->FileName(), "a.txt");
    EXPECT_EQ(kept[1]->FileName(), "c.txt");
}

TEST_F(FileSearchTest, ListenerErrorEndsTheWalk) {
    Temp.Write("a.txt", "");
    Temp.Write("b.txt", "");
    int events = 0;
    Action action;
    action.OnAction = [&](std::shared_ptr<FileReference>& Arg) {
        ++events;
        FileReference missing;
        missing.Setup(Arg->Path(), "missing.txt", &Interface);
        missing.CopyIntoReference(*Arg, true);
    };
    try {
        Interface.RecurseFolders(Temp.Path(), "*.txt", action);
        FAIL() << "the listener's error was swallowed";
    } catch (const QuillonError& error) {
        EXPECT_EQ(error.Number, 1069);
        EXPECT_EQ(error.Source, "FileReference");
    }
    EXPECT_EQ(events, 1);
}

// A link cycle would never end, and a link out of the tree would let the restoration
// write outside the game folder.
TEST_F(FileSearchTest, DoesNotFollowFolderLinks) {
    TempFolder outside;
    outside.Write("orig_outside.txt", "");
    Temp.Write("game\\orig_a.txt", "");
    Temp.Write("game\\sub\\orig_b.txt", "");
    std::error_code failed;
    std::filesystem::create_directory_symlink(Temp.NativeOf("game"), Temp.NativeOf("game/sub/loop"),
                                              failed);
    if (!failed)
        std::filesystem::create_directory_symlink(outside.Native(), Temp.NativeOf("game/out"),
                                                  failed);
    if (failed)
        GTEST_SKIP() << "folder links cannot be made here";

    Recorder recorder;
    const auto started = std::chrono::steady_clock::now();
    Interface.RecurseFolders(At("game"), "orig_*.*", recorder.Source);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(recorder.Files,
              (std::vector<std::string>{At("game\\orig_a.txt"), At("game\\sub\\orig_b.txt")}));
}

// Only the drive "Z:" (standing for "/") is usable outside Windows: the search starts
// there, and a listener that aborts on the first file keeps it short.
TEST_F(FileSearchTest, SeekFileStartsAtTheFirstUsableRootAndResetsItsState) {
    Interface.FileFound = true;
    Interface.SeekCancelled = true;
    Interface.FoundPath = "stale";
    std::string first;
    Action action;
    action.OnAction = [&](std::shared_ptr<FileReference>& Arg) {
        if (first.empty())
            first = Arg->Path();
        action.Abort = true;
    };
    Interface.SeekFile("*.*", action);
    EXPECT_FALSE(Interface.FileFound);
    EXPECT_FALSE(Interface.SeekCancelled);
    EXPECT_EQ(Interface.FoundPath, "");
#ifndef _WIN32
    EXPECT_EQ(first.substr(0, 3), "Z:\\");
#endif
}

TEST_F(FileSearchTest, UserAssistedSeekReturnsAFolderThatHoldsTheFile) {
    Temp.Write("game\\lorpaths.txt", "");
    EXPECT_EQ(Interface.UserAssistedSeekFile(At("game\\"), "lorpaths.txt"), At("game\\"));
    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_TRUE(Dialog.Shows.empty());
}

TEST_F(FileSearchTest, UserAssistedSeekCancelGivesUp) {
    Dialogs.Answers = {MsgResult::Cancel};
    EXPECT_EQ(Interface.UserAssistedSeekFile(At("game\\"), "qel2.exe"), "");
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    const RecordingDialogs::Box& box = Dialogs.Boxes[0];
    EXPECT_EQ(box.Text, "Could not locate qel2.exe at:" + CrLf + At("game\\") + CrLf +
                            "Would you like QELEd to look for it?" + CrLf +
                            "(Choose no to select another path yourself)");
    EXPECT_EQ(box.Icon, MsgIcon::None);
    EXPECT_EQ(box.Buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(box.Title, "Quillon");
}

TEST_F(FileSearchTest, UserAssistedSeekNoWithCancelledDialogGivesUp) {
    Temp.MakeFolder("game");
    Dialogs.Answers = {MsgResult::No};
    EXPECT_EQ(Interface.UserAssistedSeekFile(At("game\\"), "qel2.exe"), "");
    ASSERT_EQ(Dialog.Shows.size(), 1u);
    EXPECT_FALSE(Dialog.Shows[0].Save);
    EXPECT_EQ(Dialog.Shows[0].Title, "Please locate qel2.exe");
    EXPECT_EQ(Dialog.Shows[0].Filter, "qel2.exe|qel2.exe");
    EXPECT_EQ(Dialog.Shows[0].InitDir, At("game\\"));
}

// Only the chosen file's folder counts; a folder without the file asks again.
TEST_F(FileSearchTest, UserAssistedSeekNoTakesTheChosenFolder) {
    Temp.Write("wrong\\other.txt", "");
    Temp.Write("right\\qel2.exe", "");
    Temp.Write("right\\readme.txt", "");
    Dialogs.Answers = {MsgResult::No, MsgResult::No};
    Dialog.Answers = {At("wrong\\other.txt"), At("right\\readme.txt")};

    EXPECT_EQ(Interface.UserAssistedSeekFile(At("absent\\"), "qel2.exe"), At("right\\"));
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_NE(Dialogs.Boxes[1].Text.find(CrLf + At("wrong\\") + CrLf), std::string::npos);
    ASSERT_EQ(Dialog.Shows.size(), 2u);
    EXPECT_EQ(Dialog.Shows[1].InitDir, At("wrong\\"));
}

TEST_F(FileSearchTest, UserAssistedSeekYesAsksAboutEachFileFound) {
    // "*.*" is found at once in the first folder holding any file: the search is short.
    Dialogs.Answers = {MsgResult::Yes, MsgResult::Yes};
    const std::string found = Interface.UserAssistedSeekFile(At("absent\\"), "*.*");
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    const RecordingDialogs::Box& question = Dialogs.Boxes[1];
    EXPECT_EQ(question.Text.rfind("Found ", 0), 0u);
    EXPECT_NE(question.Text.find(" at:" + CrLf + found + CrLf + "Is this the correct file?"),
              std::string::npos);
    EXPECT_EQ(question.Buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(question.Icon, MsgIcon::None);
    EXPECT_TRUE(Interface.FileFound);
    EXPECT_EQ(Interface.FoundPath, found);
    EXPECT_FALSE(Interface.FileAbsent(found, "*.*"));
}

TEST_F(FileSearchTest, InvalidAnswersRaise1110) {
    auto expect1110 = [&](const std::string& message) {
        try {
            Interface.UserAssistedSeekFile(At("absent\\"), "*.*");
            ADD_FAILURE() << "no error for " << message;
        } catch (const QuillonError& error) {
            EXPECT_EQ(error.Number, 1110);
            EXPECT_EQ(error.Source, "QELEd.FileInterface");
            EXPECT_EQ(error.Description, message);
        }
    };
    Dialogs.Answers = {MsgResult::OK};
    expect1110("Invalid MsgBox response in UserAssistedSeekFile");
    Dialogs.Answers = {MsgResult::Yes, MsgResult::OK};
    expect1110("Invalid MsgBox response in FileFoundAction_Action");
}

TEST_F(FileSearchTest, ObtainOpenFile) {
    Temp.Write("mods\\a_moddef.txt", "");
    FileReference ref;
    ref.Setup(At("before\\"), "before.txt", &Interface);

    // Cancelled: nothing obtained, the reference untouched.
    EXPECT_TRUE(Interface.ObtainOpenFile(ref, "Open", "Text|*.txt", At("mods\\")));
    EXPECT_EQ(ref.FullName(), At("before\\before.txt"));
    ASSERT_EQ(Dialog.Shows.size(), 1u);
    EXPECT_EQ(Dialog.Shows[0].Title, "Open");
    EXPECT_EQ(Dialog.Shows[0].Filter, "Text|*.txt");
    EXPECT_EQ(Dialog.Shows[0].InitDir, At("mods\\"));

    // The file name left from the last choice is cleared; an unusable starting folder
    // keeps the one the dialog had.
    Dialog.Answers = {At("mods\\a_moddef.txt")};
    EXPECT_FALSE(Interface.ObtainOpenFile(ref, "Open", "Text|*.txt", At("absent\\")));
    EXPECT_EQ(Dialog.Shows[1].FileName, "");
    EXPECT_EQ(Dialog.Shows[1].InitDir, At("mods\\"));
    EXPECT_EQ(ref.Path(), At("mods\\"));
    EXPECT_EQ(ref.FileName(), "a_moddef.txt");
    EXPECT_EQ(ref.GetFileInterface(), &Interface);

    // A typed name that does not exist.
    Dialog.Answers = {At("mods\\typed.txt")};
    EXPECT_TRUE(Interface.ObtainOpenFile(ref, "Open", "Text|*.txt", ""));
    EXPECT_EQ(ref.FileName(), "a_moddef.txt");
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "File not found");
    EXPECT_EQ(Dialogs.Boxes[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(Dialogs.Boxes[0].Buttons, MsgButtons::OK);
    EXPECT_EQ(Dialogs.Boxes[0].Title, "Quillon");

    // A bare name has no folder: nothing obtained, nothing said.
    Dialog.Answers = {"a_moddef.txt"};
    EXPECT_TRUE(Interface.ObtainOpenFile(ref, "Open", "Text|*.txt", ""));
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);
}

#ifndef _WIN32
// Desktop dialogs here answer in the system's own spelling.
TEST_F(FileSearchTest, ObtainOpenFileTakesSlashSeparatedNames) {
    Temp.Write("mods\\a_moddef.txt", "");
    FileReference ref;
    Dialog.Answers = {Temp.NativeOf("mods/a_moddef.txt")};
    EXPECT_FALSE(Interface.ObtainOpenFile(ref, "Open", "Text|*.txt", ""));
    EXPECT_EQ(ref.Path(), At("mods\\"));
    EXPECT_EQ(ref.FileName(), "a_moddef.txt");
}
#endif

TEST_F(FileSearchTest, ObtainSaveAsFileNeverTouchesTheDisk) {
    Temp.MakeFolder("out");
    FileReference ref;
    Dialog.Answers = {At("out\\new.txt")};
    EXPECT_FALSE(Interface.ObtainSaveAsFile(ref, "Save", "Text|*.txt", At("out\\")));
    ASSERT_EQ(Dialog.Shows.size(), 1u);
    EXPECT_TRUE(Dialog.Shows[0].Save);
    EXPECT_EQ(ref.FullName(), At("out\\new.txt"));
    EXPECT_FALSE(Temp.Exists("out/new.txt"));
    EXPECT_TRUE(Dialogs.Boxes.empty());

    EXPECT_TRUE(Interface.ObtainSaveAsFile(ref, "Save", "Text|*.txt", ""));
    EXPECT_EQ(ref.FullName(), At("out\\new.txt"));
}

}  // namespace
