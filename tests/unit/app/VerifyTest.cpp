// Verify on a large record, through the script driver as a player's script runs it.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "AppliedRecord.h"
#include "HeadlessDriver.h"
#include "TempFolder.h"

// A size and time stamp that match the record spare reading the file, so a record of
// 50,000 files is checked in seconds, its progress on the main window's bar.
TEST(Verify, FiftyThousandRecordedFilesAreCheckedInSecondsWithProgress) {
#ifdef _WIN32
    GTEST_SKIP() << "measured on the build machine";
#else
    constexpr int kFiles = 50000;
    TempFolder game;
    game.Write("qel2_program\\qel\\userprofile.txt", "NumPlayers=8\r\n");
    {
        AppliedRecord record;
        record.Setup(game.Path());
        for (int i = 0; i < kFiles; ++i) {
            const std::string folder = "big\\" + std::to_string(i / 1000) + "\\";
            if (i % 1000 == 0)
                game.MakeFolder(folder);
            const std::string relative = folder + "f" + std::to_string(i) + ".txt";
            std::ofstream(game.NativeOf(relative)) << "file " << i << "\n";
            record.NoteWritten(game.Path() + relative,
                               AppliedRecord::HashOfFile(game.Path() + relative), "Big Map",
                               "Application");
        }
        record.Save();
    }
    std::istringstream script("commandline -path \"" + game.Path() +
                              "\"\nanswer No\nstart\nclick cmdVerify\nshow lblVerifySummary\n"
                              "click cmdVerifyClose\n");
    std::ostringstream out, err;
    ScriptDriver driver(script, out, err);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(driver.Run(), 0) << err.str();
    const auto took = std::chrono::steady_clock::now() - started;
    const std::string transcript = out.str();
    EXPECT_NE(transcript.find("PROGRESS 25000 50000\n"), std::string::npos);
    EXPECT_NE(transcript.find("| 50000 files checked, all as applied.\n"), std::string::npos)
        << transcript.substr(transcript.size() - std::min<std::size_t>(transcript.size(), 400));
    // Seconds even on a busy machine with the sanitizers.
    EXPECT_LT(took, std::chrono::seconds(20));
#endif
}
