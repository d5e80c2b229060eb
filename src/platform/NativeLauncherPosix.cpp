#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "NativeFileSystem.h"
#include "NativeLauncher.h"
#include "QuillonError.h"
#include "TextCase.h"

extern char** environ;

namespace {
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path)
        return "";
    std::string folders = path;
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.empty())
            folder = ".";
        std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

bool EndsWithExe(const std::string& name) {
    return name.size() >= 4 && TextCase::Lower(name.substr(name.size() - 4)) == ".exe";
}
}  // namespace

std::vector<std::string> NativeLauncher::CommandFor(const std::string& program) {
    const std::string native = NativeFs::NativePath(program);
    struct stat st;
    if (::stat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        throw QuillonError(PlatformError::FileNotFound, "Platform",
                           "Could not start " + program + ": the file does not exist.");
    if (::access(native.c_str(), X_OK) == 0)
        return {native};
    std::string wine = EndsWithExe(native) ? FindOnPath("wine") : "";
    if (wine.empty())
        throw QuillonError(PlatformError::PermissionDenied, "Platform",
                           "Could not start " + program + ": the file is not a program.");
    return {wine, native};
}

void NativeLauncher::Launch(const std::string& program) {
    std::vector<std::string> words = CommandFor(program);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    int err = ::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (err != 0)
        throw QuillonError(PlatformError::CannotStart, "Platform",
                           "Could not start " + program + ": " + std::strerror(err));
    // The game runs on its own while the program goes on: a thread of its own waits for
    // it, so that it does not stay behind as a zombie once it has ended.
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

bool NativeLauncher::StartsWindowMaximized() {
    return false;
}
