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
std::string ResolveFolder(std::string folder);
// Whether a folder was found in this operation: the program removes no folders, so
// one found stays found until the caches are forgotten.
bool KnownFolder(const std::string& slashed);

struct Split {
    std::string folder;  // native, resolved; "" for the current folder
    std::string name;
    std::string full;
};

// With st, what the path names is told there too (st_mode 0: nothing).
Split Resolve(const std::string& path, struct stat* st = nullptr);
std::string ResolveFull(const std::string& path);

void ForgetCache();

}  // namespace NativeFs::PosixPaths
