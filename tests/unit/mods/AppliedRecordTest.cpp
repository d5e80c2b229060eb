#include <gtest/gtest.h>

#include "AppliedRecord.h"
#include "TempFolder.h"

// What the record of one game folder holds after it was read.
std::size_t EntriesRead(const TempFolder& Folder) {
    AppliedRecord record;
    record.Setup(Folder.Path());
    return record.Entries().size();
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
