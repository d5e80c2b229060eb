#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "AppliedRecord.h"
#include "FileInterface.h"
#include "FileReference.h"
#include "TempFolder.h"
#include "TextCase.h"

// What the record of one game folder holds after it was read.
std::size_t EntriesRead(const TempFolder& Folder) {
    AppliedRecord record;
    record.Setup(Folder.Path());
    return record.Count();
}

TEST(AppliedRecord, ARecordNotWrittenForThisFolderIsIgnoredAndReplaced) {
    TempFolder folder;
    folder.Write("x.txt", "the mod's x");
    {
        AppliedRecord record;
        record.Setup(folder.Path());
        record.NoteWritten(folder.Path() + "x.txt",
                           AppliedRecord::HashOfFile(folder.Path() + "x.txt"), "Night Mode",
                           "Application");
        record.Save();
    }
    ASSERT_EQ(EntriesRead(folder), 1u);
    const std::string good = folder.Read("quill.record");

    AppliedRecord record;
    record.Setup(folder.Path());
    EXPECT_FALSE(record.Differs(*record.Find(folder.Path() + "X.TXT")));
    folder.Write("x.txt", "the player's x");
    EXPECT_TRUE(record.Differs(*record.Find(folder.Path() + "x.txt")));

    const std::string foreign =
        "Quillon record\nFolder\tC:\\Another Game\\\n" + good.substr(good.find("File\t"));
    for (const std::string& bad : {std::string(), std::string("\x01\x02garbage\n"), foreign,
                                   good + "File\tbroken line\n", good.substr(0, good.size() - 9)}) {
        folder.Write("quill.record", bad);
        EXPECT_EQ(EntriesRead(folder), 0u) << bad;
        // A record that is no use is written anew by the next operation.
        AppliedRecord again;
        again.Setup(folder.Path());
        again.NoteAsItIs(folder.Path() + "x.txt");
        again.Save();
        EXPECT_EQ(EntriesRead(folder), 1u);
    }
}

TEST(AppliedRecord, AStoredRecordReadsAndIsWrittenBackAsItWasAtAHundredThousandEntries) {
    TempFolder folder;
    folder.Write("Data\\X.txt", "the mod's x");
    NativeFs::FileStamp stamp;
    ASSERT_TRUE(NativeFs::StampOf(folder.Path() + "Data\\X.txt", stamp));
    // The hash as the record has always stored it: XXH3, 16 lower-case hex digits.
    const std::string hash = "824e01c412a4a104";
    std::string stored = "Quillon record\nFolder\t" + folder.Path() + "\n";
    for (int i = 0; i < 100000; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "File\tdata\\f%06d.txt\t%d\t%d\t%016x\t%s\t%s\n", i, i,
                      1000 + i, static_cast<unsigned>(i), i % 2 ? "Application" : "Substitution",
                      i % 3 ? "Night Mode" : "");
        stored += line;
    }
    stored += "File\tData\\X.txt\t" + std::to_string(stamp.Size) + "\t" +
              std::to_string(stamp.Time) + "\t" + hash + "\tApplication\tNight Mode\nEnd\n";
    folder.Write("quill.record", stored);

    const auto started = std::chrono::steady_clock::now();
    AppliedRecord record;
    record.Setup(folder.Path());
    ASSERT_EQ(record.Count(), 100001u);
    const AppliedRecord::Entry* x = record.Find(folder.Path() + "data\\x.TXT");
    ASSERT_NE(x, nullptr);
    EXPECT_FALSE(record.Differs(*x));
    EXPECT_EQ(record.ModOf(*x), "Night Mode");
    // Noting the file as it is changes nothing, so the record writes what it read.
    record.NoteAsItIs(folder.Path() + "Data\\X.txt");
    record.Save();
    EXPECT_EQ(folder.Read("quill.record"), stored);
    // Linear and light: a quadratic pass or a copy per field would take minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(AppliedRecord, ForgottenAndRespelledFilesStayFindableAcrossManyChanges) {
    TempFolder folder;
    const std::string game = folder.Path();
    AppliedRecord record;
    record.Setup(game);
    const auto name = [](int i) { return "data\\f" + std::to_string(i) + ".txt"; };
    for (int i = 0; i < 5000; ++i)
        record.NoteWritten(game + name(i), static_cast<std::uint64_t>(i), NativeFs::FileStamp{1, 2},
                           "Night Mode", "Application");
    // Forgetting leaves places behind that later notes must look past, and reuse.
    for (int i = 0; i < 5000; i += 2)
        record.Forget(game + name(i));
    for (int i = 0; i < 5000; i += 4)
        record.NoteWritten(game + TextCase::Upper(name(i)), 7, NativeFs::FileStamp{3, 4}, "",
                           AppliedRecord::kGame);
    ASSERT_EQ(record.Count(), 3750u);
    EXPECT_EQ(record.Find(game + name(2)), nullptr);
    const AppliedRecord::Entry* respelled = record.Find(game + name(8));
    ASSERT_NE(respelled, nullptr);
    EXPECT_EQ(record.PathOf(*respelled), TextCase::Upper(name(8)));
    EXPECT_EQ(record.Find(game + name(4999))->Hash, 4999u);

    record.Save();
    const std::string saved = folder.Read("quill.record");
    AppliedRecord again;
    again.Setup(game);
    ASSERT_EQ(again.Count(), 3750u);
    EXPECT_EQ(again.KindOf(*again.Find(game + name(8))), AppliedRecord::kGame);
    again.NoteAsItIs(game + "nothing there.txt");
    again.Save();
    EXPECT_EQ(folder.Read("quill.record"), saved);
}

TEST(AppliedRecord, LinkedBackupsTakeTheirHashOnlyFromTheirOwnBytes) {
    TempFolder folder;
    const std::string game = folder.Path();
    FileInterface files;
    const auto ref = [&](const std::string& name) {
        FileReference file;
        file.Setup(game, name, &files);
        return file;
    };
    for (int i = 0; i < 3; ++i)
        folder.Write("g" + std::to_string(i) + ".txt", "the game's file " + std::to_string(i));
    AppliedRecord record;
    record.Setup(game);
    bool linked = true;
    for (int i = 0; i < 3; ++i) {
        const std::string name = "g" + std::to_string(i) + ".txt";
        linked = AppliedRecord::Backup(&record, ref(name), ref("orig_" + name), "Night Mode",
                                       "Application") &&
                 linked;
    }
    // The mod's files take the game files' places, as a switch leaves them.
    folder.Write("mod.txt", "the mod's file");
    for (int i = 0; i < 3; ++i)
        AppliedRecord::Copy(&record, ref("mod.txt"), ref("g" + std::to_string(i) + ".txt"), false,
                            "Night Mode", "Application");
    record.Save();
    if (linked) {
        EXPECT_NE(folder.Read("quill.record").find("\t-\tApplication\tNight Mode\n"),
                  std::string::npos);
    }

    AppliedRecord again;
    again.Setup(game);
    const auto entry = [&](const std::string& name) { return again.Find(game + name); };
    ASSERT_NE(entry("orig_g0.txt"), nullptr);
    EXPECT_FALSE(again.Differs(*entry("orig_g0.txt")));
    // The game writes into a backup: with no hash to say otherwise, it has changed.
    folder.Write("orig_g1.txt", "written by the game");
    EXPECT_TRUE(again.Differs(*entry("orig_g1.txt")));
    // Put back, a backup's bytes pass: it has its hash from then on. One changed
    // since it was noted learns none.
    for (int i : {0, 1})
        AppliedRecord::Copy(&again, ref("orig_g" + std::to_string(i) + ".txt"),
                            ref("g" + std::to_string(i) + ".txt"), false, "", AppliedRecord::kGame);
    EXPECT_EQ(entry("orig_g0.txt")->Hash, AppliedRecord::HashOfFile(game + "orig_g0.txt"));
    EXPECT_EQ(entry("orig_g0.txt")->Unhashed, 0);
    EXPECT_TRUE(again.Differs(*entry("orig_g1.txt")));
    again.Save();
    AppliedRecord third;
    third.Setup(game);
    EXPECT_EQ(third.Find(game + "orig_g0.txt")->Hash,
              AppliedRecord::HashOfFile(game + "orig_g0.txt"));
    EXPECT_FALSE(third.Differs(*third.Find(game + "orig_g2.txt")));
    EXPECT_TRUE(third.Differs(*third.Find(game + "orig_g1.txt")));
}
