#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "NativeLauncher.h"
#include "TempFolder.h"

namespace {
// How many processes have this one as their parent, ended ones (zombies) included.
int Children() {
    int children = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, its ")" ends it.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
            parent == ::getpid())
            ++children;
    }
    return children;
}
}  // namespace

// The game ends on its own; it must not stay behind as a zombie while Quillon runs.
TEST(NativeLauncher, AGameThatHasEndedLeavesNoProcessBehind) {
    TempFolder tmp;
    tmp.Write("qel2.exe", "#!/bin/sh\nexit 0\n");
    ::chmod(tmp.NativeOf("qel2.exe").c_str(), 0755);
    ASSERT_EQ(Children(), 0);
    NativeLauncher().Launch(tmp.Path() + "qel2.exe");
    for (int wait = 0; wait < 100 && Children() > 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Children(), 0);
}
#endif
