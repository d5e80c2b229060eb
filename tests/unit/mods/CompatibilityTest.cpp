#include <gtest/gtest.h>

#include "GameFixture.h"
#include "Modis.h"

namespace {
class Compatibility : public ::testing::Test {
  protected:
    std::shared_ptr<Modi> Mod(const std::string& key, const std::vector<std::string>& sections) {
        return game.Mod(key, sections);
    }
    Modis Of(const std::vector<std::shared_ptr<Modi>>& mods) {
        Modis modis;
        for (const auto& modi : mods)
            modis.SneakyAdd(modi, modi->Key);
        return modis;
    }
    static std::pair<int, std::string> Judge(const Modi& modi, const Modis& modis) {
        ModCompatibility result = modi.CompatibleWith(modis);
        return {static_cast<int>(result.Compatibility), result.ModiKey};
    }

    GameFixture game;
    using R = std::pair<int, std::string>;
};
}  // namespace

TEST_F(Compatibility, AgainstAnEmptySetupOnlyPrerequisitesCount) {
    auto loner = Mod("loner", {});
    auto needy = Mod("needy", {"Prerequisites\tfirst\tsecond\t@"});
    EXPECT_EQ(Judge(*loner, Of({})), R(0, ""));
    EXPECT_EQ(Judge(*needy, Of({})), R(2, "first"));
}

TEST_F(Compatibility, OnlyTheJudgedModsDeclarationsCount) {
    auto open = Mod("open", {"CompatibleByDefault\tYes"});
    auto closed = Mod("closed", {});
    EXPECT_EQ(Judge(*open, Of({closed})), R(0, ""));
    EXPECT_EQ(Judge(*closed, Of({open})), R(1, "open"));
    // Judged against a setup that holds it, a closed mod meets itself.
    EXPECT_EQ(Judge(*closed, Of({closed})), R(1, "closed"));
}

TEST_F(Compatibility, IncompatibleOutweighsCompatibleAndPrerequisites) {
    auto a = Mod("a", {});
    auto b = Mod("b", {});
    auto torn = Mod("torn", {"Compatible\ta\t@", "Prerequisites\ta\t@", "Incompatible\ta\t@"});
    EXPECT_EQ(Judge(*torn, Of({a})), R(1, "a"));
    // The first offender in collection order is named, before any missing prerequisite.
    auto picky = Mod("picky", {"Compatible\ta\t@", "Incompatible\tb\t@", "Prerequisites\tz\t@"});
    EXPECT_EQ(Judge(*picky, Of({a, b})), R(1, "b"));
    EXPECT_EQ(Judge(*picky, Of({a})), R(2, "z"));
}

TEST_F(Compatibility, PrerequisitesArePresentOrMissingByExactKey) {
    auto first = Mod("first", {});
    auto lower = Mod("moda", {});
    auto needy = Mod("needy", {"Prerequisites\tfirst\tModA\t@"});
    // A prerequisite present is compatible although needy is not open to all.
    EXPECT_EQ(Judge(*needy, Of({first})), R(2, "ModA"));
    EXPECT_EQ(Judge(*needy, Of({first, lower})), R(1, "moda"));
    EXPECT_TRUE(needy->IsPrerequisite(*first));
    EXPECT_FALSE(needy->IsPrerequisite(*lower));
    EXPECT_FALSE(first->IsPrerequisite(*needy));
}
