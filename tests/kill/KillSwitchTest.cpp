// A switch cut short at every point where a kill leaves something behind (a backup
// just made, a copy or a written file complete but not yet in place), then the program
// started again: it asks, and Yes gives the original game back byte for byte with
// nothing left behind; No changes nothing and the question comes again.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Tree = std::map<std::string, std::string>;

// Every mod initialized, so that start-up asks nothing else; the players values left to
// the player, so that userprofile.txt stays the game's own.
const char* const kSettings =
    "Language\tenglish\r\nUserProfileOverride\tNo\r\nReinitialize\tNo\r\n"
    "RestoreOriginal\tNo\r\nLog\tYes\r\n\r\nMods\r\nbaserules\tYes\t1.2\r\nbigmap\tYes\t1.1\r\n"
    "daymode\tYes\t1.0\r\nlibraryplus\tYes\t0.9\r\nnightmode\tYes\t2.0\r\n@ // End of Mods\r\n"
    "\r\nSetups\r\nOriginal Game\r\n@ // End of Original Game\r\nFull\r\nbaserules\r\nbigmap\r\n"
    "nightmode\r\nlibraryplus\r\n@ // End of Full\r\nDay\r\nbaserules\r\ndaymode\r\n"
    "@ // End of Day\r\n@ // End of Setups\r\n\r\nCurrentSetup\r\nOriginal Game\r\n";

struct Outcome {
    bool killed = false;
    int status = -1;
    std::string transcript;
};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

// The question the next start must ask, after its first line.
std::string Question(const std::string& what) {
    return "MSGBOX exclamation YesNo Quillon\n| Quillon was stopped while it was " + what +
           "\n| Some game files may belong to either setup.\n"
           "| Put the original game back now? (This is recommended)\n";
}

// The question about a switch between these setups.
std::string Question(const std::string& from, const std::string& to) {
    return Question("switching the game from the setup '" + from + "' to '" + to + "'.");
}

class KillSwitch : public ::testing::Test {
  protected:
    void SetUp() override {
        game_ = fs::path(folder_.Native()) / "game";
        Fresh();
        original_ = Files();
    }

    // A fresh copy of the demo game with the test's setups, the original game current.
    void Fresh() {
        fs::remove_all(game_);
        fs::copy(QUILLON_DEMO_GAME, game_, fs::copy_options::recursive);
        WriteFile(game_ / "quill.ini", kSettings);
    }

    // Runs quillon-headless on the game with a script (the game folder is passed on the
    // command line first, then Arguments) and the given environment variables.
    Outcome Headless(const std::string& script, const std::vector<std::string>& environment = {},
                     const std::string& arguments = "") {
        const fs::path scriptFile = fs::path(folder_.Native()) / "script.txt";
        const fs::path output = fs::path(folder_.Native()) / "transcript.txt";
        WriteFile(scriptFile,
                  "commandline -path \"" + game_.string() + "\" " + arguments + "\n" + script);
        std::vector<std::string> variables;
        for (char** variable = environ; *variable; ++variable)
            if (std::string(*variable).rfind("QUILLON_TEST_", 0) != 0)
                variables.push_back(*variable);
        variables.insert(variables.end(), environment.begin(), environment.end());
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::string program = QUILLON_HEADLESS;
        std::string scriptName = scriptFile.string();
        char* argv[] = {program.data(), scriptName.data(), nullptr};

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        Outcome run;
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << argv[0];
            return run;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.transcript = ReadFile(output);
        return run;
    }

    // Every file of the game folder, hidden ones included, and what it holds; the log
    // grows at every start and the record holds time stamps: both are left out.
    Tree Files() const {
        Tree files;
        for (const auto& entry : fs::recursive_directory_iterator(game_)) {
            const std::string name = entry.path().lexically_relative(game_).generic_string();
            if (entry.is_regular_file() && name != "Quill.log" && name != "quill.record")
                files[name] = ReadFile(entry.path());
        }
        return files;
    }

    // Each game file as it came, each "orig_" backup holding its game file, nothing else
    // (no "subst_" backup, no temporary file, no journal), no file sharing its content
    // with another name, and the original game current.
    void ExpectOriginalGame() const {
        const Tree files = Files();
        for (const auto& [name, content] : original_) {
            if (name == "quill.ini")
                continue;
            EXPECT_EQ(files.count(name) ? files.at(name) : "(missing)", content) << name;
        }
        for (const auto& [name, content] : files) {
            if (original_.count(name) || name == "quill.ini")
                continue;
            const fs::path path(name);
            const std::string file = path.filename().string();
            const std::string kept =
                (path.parent_path() / file.substr(std::min<std::size_t>(5, file.size())))
                    .generic_string();
            const bool backup = file.rfind("orig_", 0) == 0 && original_.count(kept);
            EXPECT_TRUE(backup) << "left behind: " << name;
            if (backup) {
                EXPECT_EQ(content, original_.at(kept)) << name;
            }
        }
        for (const auto& entry : fs::recursive_directory_iterator(game_)) {
            if (!entry.is_regular_file())
                continue;
            EXPECT_EQ(fs::hard_link_count(entry.path()), 1u) << entry.path();
        }
        EXPECT_NE(files.at("quill.ini").find("CurrentSetup\r\nOriginal Game\r\n"),
                  std::string::npos);
    }

    // Kills the switch that Switch (a script, with Arguments on its command line) makes
    // at the first, second, ... point of each kind until the switch runs through, each
    // time on the state that Prepare (a script, or nothing) gives a fresh game. Then the
    // next start must ask (when the journal was written) and Yes must give the original
    // game back; without a journal the switch had changed nothing, or it had ended.
    void KillAtEveryPoint(const std::string& Prepare, const std::string& Switch,
                          const std::string& Arguments, const std::string& From,
                          const std::string& To, const std::vector<std::string>& Points,
                          const std::vector<std::string>& Environment = {}) {
        auto prepared = [&] {
            Fresh();
            if (!Prepare.empty()) {
                ASSERT_EQ(Headless(Prepare).status, 0);
            }
        };
        prepared();
        const Tree before = Files();
        ASSERT_EQ(Headless(Switch, Environment, Arguments).status, 0);
        const Tree after = Files();

        for (const std::string& point : Points) {
            int kills = 0;
            for (int n = 1;; ++n) {
                SCOPED_TRACE("killed at " + point + " " + std::to_string(n));
                prepared();
                std::vector<std::string> environment = Environment;
                environment.push_back("QUILLON_TEST_KILL=" + point + ":" + std::to_string(n));
                const Outcome killed = Headless(Switch, environment, Arguments);
                if (!killed.killed) {
                    EXPECT_EQ(killed.status, 0) << killed.transcript;
                    break;
                }
                ++kills;
                const bool journal = fs::exists(game_ / "quill.journal");
                const Outcome again = Headless("answer Yes\nstart\nshow txtCurrentSetup\n");
                EXPECT_EQ(again.status, 0) << again.transcript;
                if (journal) {
                    EXPECT_EQ(again.transcript.rfind(Question(From, To) + "ANSWER Yes\n", 0), 0u)
                        << again.transcript;
                    EXPECT_NE(again.transcript.find("SHOW txtCurrentSetup\n| Original Game\n"),
                              std::string::npos)
                        << again.transcript;
                    ExpectOriginalGame();
                } else {
                    EXPECT_EQ(again.transcript.find("MSGBOX exclamation"), std::string::npos)
                        << again.transcript;
                    const Tree now = Files();
                    EXPECT_TRUE(now == before || now == after);
                }
                if (HasFailure())
                    return;
            }
            EXPECT_GT(kills, 0) << "no " << point << " in the switch";
        }
    }

    TempFolder folder_;
    fs::path game_;
    Tree original_;
};

const std::vector<std::string> kEveryPoint = {"backup", "copy", "write"};

}  // namespace

TEST_F(KillSwitch, TheFirstSwitchAtStartUpIsRepairedWhereverItWasKilled) {
    KillAtEveryPoint("", "start\n", "-setup \"Full\"", "Original Game", "Full", kEveryPoint);
}

TEST_F(KillSwitch, ASwitchBetweenTwoSetupsIsRepairedWhereverItWasKilled) {
    // Full backs up files that Day leaves alone: the switch restores, backs up and copies.
    KillAtEveryPoint("start\nselect lstSetups Day\nclick cmdApply\n",
                     "start\nselect lstSetups Full\nclick cmdApply\n", "", "Day", "Full",
                     kEveryPoint);
}

TEST_F(KillSwitch, CopiedBackupsWhereLinksAreRefusedAreRepairedToo) {
    KillAtEveryPoint("", "start\nselect lstSetups Full\nclick cmdApply\n", "", "Original Game",
                     "Full", {"backup", "copy"}, {"QUILLON_TEST_NO_HARDLINKS=1"});
}

TEST_F(KillSwitch, NoChangesNothingAndTheQuestionComesAgain) {
    ASSERT_EQ(Headless("start\nselect lstSetups Full\nclick cmdApply\n").status, 0);
    ASSERT_TRUE(
        Headless("start\nselect lstSetups Day\nclick cmdApply\n", {"QUILLON_TEST_KILL=copy:4"})
            .killed);
    const Tree left = Files();
    ASSERT_TRUE(left.count("quill.journal"));

    const Outcome declined = Headless("answer No\nstart\nshow txtCurrentSetup\n");
    EXPECT_EQ(declined.status, 0);
    EXPECT_EQ(declined.transcript.rfind(Question("Full", "Day") + "ANSWER No\n", 0), 0u)
        << declined.transcript;
    EXPECT_EQ(Files(), left);

    // A switch made meanwhile keeps the record of the one that was cut short.
    ASSERT_EQ(Headless("answer No\nstart\nselect lstSetups Day\nclick cmdApply\n").status, 0);
    EXPECT_TRUE(fs::exists(game_ / "quill.journal"));

    const Outcome repaired = Headless("answer Yes\nstart\n");
    EXPECT_EQ(repaired.transcript.rfind(Question("Full", "Day") + "ANSWER Yes\n", 0), 0u)
        << repaired.transcript;
    ExpectOriginalGame();
    EXPECT_EQ(Headless("start\n").transcript.find("MSGBOX"), std::string::npos);
}

TEST_F(KillSwitch, AKillWhileTheSettingsAreSavedLeavesNothingBehindAtTheNextStart) {
    // A quill.ini that would come out as it is is not written: the language changes.
    ASSERT_TRUE(
        Headless("start\nset cmbLanguage french\nclose\n", {"QUILLON_TEST_KILL=write:1:quill.ini"})
            .killed);
    int leftovers = 0;
    for (const auto& entry : fs::directory_iterator(game_))
        leftovers += entry.path().filename().string().rfind(".~quillon-", 0) == 0;
    EXPECT_EQ(leftovers, 1);
    EXPECT_FALSE(fs::exists(game_ / "quill.journal"));

    const Outcome next = Headless("start\n");
    EXPECT_EQ(next.status, 0);
    EXPECT_EQ(next.transcript.find("MSGBOX"), std::string::npos) << next.transcript;
    ExpectOriginalGame();
}

TEST_F(KillSwitch, AnInitializationOrARestorationAtStartUpIsNamedInItsOwnWords) {
    // A first start: Night Mode asks to be initialized, and is killed copying its palette.
    fs::remove(game_ / "quill.ini");
    original_ = Files();
    ASSERT_TRUE(Headless("answer Yes\nstart\n", {"QUILLON_TEST_KILL=copy:1"}).killed);
    Outcome next = Headless("answer Yes\nanswer No\nstart\n");
    EXPECT_EQ(
        next.transcript.rfind(Question("initializing the mod 'Night Mode'.") + "ANSWER Yes\n", 0),
        0u)
        << next.transcript;
    ExpectOriginalGame();

    // Night Mode updated while Full was applied: the restoration it offers is killed.
    Fresh();
    original_ = Files();
    ASSERT_EQ(Headless("start\nselect lstSetups Full\nclick cmdApply\n").status, 0);
    std::string settings = ReadFile(game_ / "quill.ini");
    settings.replace(settings.find("nightmode\tYes\t2.0"), 17, "nightmode\tYes\t1.9");
    WriteFile(game_ / "quill.ini", settings);
    ASSERT_TRUE(Headless("answer Yes\nstart\n", {"QUILLON_TEST_KILL=copy:2"}).killed);
    next = Headless("answer Yes\nstart\n");
    EXPECT_EQ(
        next.transcript.rfind(
            Question("restoring the original game from the setup 'Full'.") + "ANSWER Yes\n", 0),
        0u)
        << next.transcript;
    ExpectOriginalGame();
}
