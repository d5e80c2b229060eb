#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "HeadlessDriver.h"
#include "TempFolder.h"

namespace {
// A driver whose game start fails with an error that is not the program's own.
class FailingLaunchDriver : public ScriptDriver {
  public:
    using ScriptDriver::ScriptDriver;
    void Launch(const std::string&) override { throw std::runtime_error("no memory left"); }
};
}  // namespace

// An error of any kind that ends the program is reported as the contract says, with
// exit status 1, instead of aborting the driver.
TEST(ScriptDriver, AnyErrorThatEndsTheProgramIsReported) {
    TempFolder game;
    game.Write("qel2_program\\qel\\userprofile.txt", "NumPlayers=8\r\n");
    std::istringstream script("commandline -path \"" + game.Path() +
                              "\"\nanswer No\nstart\nclick cmdApplyLaunch\n");
    std::ostringstream out, err;
    FailingLaunchDriver driver(script, out, err);
    EXPECT_EQ(driver.Run(), 1);
    const std::string transcript = out.str();
    EXPECT_NE(transcript.find("\nERROR 0 Quillon\n| no memory left\nEND\n"), std::string::npos)
        << transcript;
}

// The README lists the script's commands as the driver knows them.
TEST(ScriptDriver, TheReadmeListsEveryCommand) {
#ifdef _WIN32
    GTEST_SKIP() << "the README is checked on the build machine";
#else
    std::ifstream readme(QUILLON_README);
    const std::string text((std::istreambuf_iterator<char>(readme)),
                           std::istreambuf_iterator<char>());
    const std::string lead = "one command a line: ";
    const std::size_t start = text.find(lead);
    ASSERT_NE(start, std::string::npos);
    const std::string list =
        text.substr(start + lead.size(), text.find(')', start) - start - lead.size());
    std::vector<std::string> listed;
    for (std::size_t at = list.find('`'); at != std::string::npos;
         at = list.find('`', list.find('`', at + 1) + 1))
        listed.push_back(list.substr(at + 1, list.find('`', at + 1) - at - 1));
    EXPECT_EQ(listed, ScriptDriver::CommandNames());
#endif
}
