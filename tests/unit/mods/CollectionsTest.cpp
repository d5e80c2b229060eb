#include <gtest/gtest.h>

#include "FileInterface.h"
#include "FileReference.h"
#include "Modis.h"
#include "QuillonError.h"
#include "UserProfiles.h"

namespace {
std::shared_ptr<Modi> Keyed(const std::string& key) {
    auto modi = std::make_shared<Modi>();
    modi->Key = key;
    return modi;
}

std::vector<std::string> Keys(const Modis& modis) {
    std::vector<std::string> keys;
    for (const auto& modi : modis)
        keys.push_back(modi->Key);
    return keys;
}
}  // namespace

TEST(KeyedCollections, KeysIgnoreCaseButItemNoErrorLooksAtTheKeyPropertyExactly) {
    Modis modis;
    auto abc = modis.SneakyAdd(Keyed("ABC"), "ABC");
    EXPECT_EQ(modis.Item("abc"), abc);
    EXPECT_EQ(modis.ItemNoError("abc"), nullptr);
    EXPECT_EQ(modis.ItemNoError("ABC"), abc);
    EXPECT_THROW(modis.SneakyAdd(Keyed("abc"), "abc"), QuillonError);
    EXPECT_EQ(modis.Count(), 1);

    // Stored without a key: found by position and by its Key property only.
    auto unkeyed = modis.SneakyAdd(Keyed("free"), "");
    EXPECT_EQ(modis.Item(2), unkeyed);
    EXPECT_EQ(modis.ItemNoError("free"), unkeyed);
    EXPECT_THROW(modis.Item("free"), QuillonError);
    EXPECT_THROW(modis.Item(3), QuillonError);
    EXPECT_THROW(modis.Item(0L), QuillonError);

    // Add makes an empty mod whose Key stays empty.
    auto added = modis.Add("added");
    EXPECT_EQ(added->Key, "");
    EXPECT_EQ(modis.Item("ADDED"), added);
}

TEST(KeyedCollections, SneakyAddInsertsBeforeAKeyAndRemoveShiftsTheRest) {
    Modis modis;
    modis.SneakyAdd(Keyed("b"), "b");
    modis.SneakyAdd(Keyed("c"), "c");
    modis.SneakyAdd(Keyed("a"), "a", "B");
    EXPECT_EQ(Keys(modis), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_THROW(modis.SneakyAdd(Keyed("x"), "x", "missing"), QuillonError);
    EXPECT_EQ(modis.Count(), 3);

    modis.Remove(1);
    EXPECT_EQ(Keys(modis), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(modis.Item(1)->Key, "b");
    modis.Remove("C");
    EXPECT_EQ(Keys(modis), (std::vector<std::string>{"b"}));
    EXPECT_THROW(modis.Remove("c"), QuillonError);
}

TEST(KeyedCollections, OneModSharedByTwoCollectionsIsOneObject) {
    Modis all;
    Modis setup;
    auto modi = all.SneakyAdd(Keyed("m"), "m");
    setup.SneakyAdd(modi, "m");
    setup.Item("m")->SetInitialized(true);
    EXPECT_TRUE(all.Item("m")->Initialized());
    setup.Remove("m");
    EXPECT_EQ(all.Item(1), modi);
}

TEST(KeyedCollections, AddFillsInTransfersAndProfileEntries) {
    Transfers transfers;
    auto valid = transfers.Add("%d\\a.txt", "%d\\b.txt");
    auto rejected = transfers.Add("%d\\a.txt", "%d\\orig_b.txt");
    EXPECT_FALSE(valid->Invalid());
    EXPECT_TRUE(rejected->Invalid());
    EXPECT_EQ(transfers.Count(), 2);

    // A definition's lines become transfers when the list is looked at, in their order
    // and before any added later; one that could harm the game folder is left out.
    Transfers lines;
    lines.AddLine("%d\\a.txt", "%d\\one.txt");
    lines.AddLine("%d\\a.txt", "..\\outside.txt");
    lines.AddLine("%d\\a.txt", "%d\\two.txt");
    lines.Add("%d\\a.txt", "%d\\three.txt");
    std::vector<std::string> targets;
    FileInterface files("");
    for (const auto& transfer : lines)
        targets.push_back(transfer->ToFileRef(&files, "english", "\\")->FileName());
    EXPECT_EQ(targets, (std::vector<std::string>{"one.txt", "two.txt", "three.txt"}));
    // Transfers added one by one cannot be made again: the list keeps them.
    lines.Release();
    EXPECT_EQ(lines.Count(), 3);

    UserProfiles profiles;
    auto entry = profiles.Add("MaxPlayers", "8");
    EXPECT_EQ(entry->Field, "MaxPlayers");
    EXPECT_EQ(entry->Value, "8");
    EXPECT_EQ(profiles.Item(1), entry);
}

TEST(KeyedCollections, ReleasedTransfersAreMadeAgainFromTheDefinitionsLines) {
    FileInterface files("");
    Transfers lines;
    auto targets = [&] {
        std::vector<std::string> names;
        for (const auto& transfer : lines)
            names.push_back(transfer->ToFileRef(&files, "english", "\\")->FileName());
        return names;
    };
    lines.AddLine("%d\\a.txt", "%d\\one.txt");
    lines.AddLine("%d\\a.txt", "%d\\orig_one.txt");
    EXPECT_EQ(targets(), (std::vector<std::string>{"one.txt"}));
    // A line read after the list was made comes after the others all the same.
    lines.AddLine("%d\\a.txt", "%d\\two.txt");
    EXPECT_EQ(targets(), (std::vector<std::string>{"one.txt", "two.txt"}));
    lines.Release();
    EXPECT_EQ(targets(), (std::vector<std::string>{"one.txt", "two.txt"}));
    // Once changed by hand, the list is what it holds.
    lines.Remove(1);
    lines.Release();
    EXPECT_EQ(targets(), (std::vector<std::string>{"two.txt"}));
}
