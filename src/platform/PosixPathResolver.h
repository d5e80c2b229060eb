#pragma once

// The POSIX side of the native file system's paths: the program's "\" paths mapped
// to the system's, each component that does not exist with its exact spelling
// matched without regard to letter case.
#include <sys/stat.h>

#include <string>

namespace NativeFs::PosixPaths {

std::string Slashed(const std::string& path);
bool Exists(const std::string& native, struct stat* st = nullptr);
void NoteCreated(const std::string& nativeFolder, const std::string& name);
void NoteDeleted(const std::string& nativeFolder, const std::string& name);
std::string JoinNative(const std::string& folder, const std::string& name);
std::string ResolveFolder(const std::string& slashed);

struct Split {
    std::string folder;  // native, resolved; "" for the current folder
    std::string name;
    std::string full;
};

Split Resolve(const std::string& path);
std::string ResolveFull(const std::string& path);

void ForgetCache();

}  // namespace NativeFs::PosixPaths
