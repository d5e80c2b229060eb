#pragma once

#include <string>

class FileAccess;
class FileInterface;

// Entries of the game's userprofile.txt: lines "name=value", names compared exactly.
namespace Shared {
// The value of the first entry named Field, or "".
std::string ReadProfileValue(FileAccess& File, const std::string& Field);
// That value read as a flag (so true for an absent entry).
bool ReadProfileBool(FileAccess& File, const std::string& Field);
// Sets every entry named Field to Value (adds none); the file is rewritten through
// the scratch file "temp.tmp", which then replaces it. Nothing happens when the file
// does not exist.
void WriteProfileValue(FileAccess& File, FileInterface* FileInterface, const std::string& Field,
                       const std::string& Value);
}  // namespace Shared
