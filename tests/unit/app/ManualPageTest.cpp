#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "HeadlessDriver.h"

// The manual page quillon-headless(1) describes the script's commands as the driver
// knows them, in the same order.
TEST(ManualPage, TheScriptDriverPageListsEveryCommand) {
#ifdef _WIN32
    GTEST_SKIP() << "the manual pages are checked on the build machine";
#else
    std::ifstream page(QUILLON_HEADLESS_MANUAL);
    ASSERT_TRUE(page);
    std::vector<std::string> listed;
    bool inScript = false;
    bool term = false;
    for (std::string line; std::getline(page, line);) {
        if (line.rfind(".SH", 0) == 0)
            inScript = line == ".SH SCRIPT";
        else if (inScript && line == ".TP")
            term = true;
        else if (term) {
            // The term of each entry: a font request, then the command's name.
            std::istringstream words(line);
            std::string request, name;
            words >> request >> name;
            listed.push_back(name);
            term = false;
        }
    }
    EXPECT_EQ(listed, ScriptDriver::CommandNames());
#endif
}
