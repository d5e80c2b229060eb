#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

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
