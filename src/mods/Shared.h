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

// Opens the log for appending, creating an empty Quill.log first when there is none
// (appending needs an existing file).
void OpenLogForAppend(FileAccess& LogFile);

// The log of one operation: it opens the log itself (as above) only when logging is
// on and its caller does not hold the log open already, and then closes it at its end.
void OpenLog(bool Log, FileAccess& LogFile, bool LogFileOpen);
void CloseLog(bool Log, FileAccess& LogFile, bool LogFileOpen);
// Writes one line when logging is on.
void LogLine(bool Log, FileAccess& LogFile, const std::string& Line);

// Tells the user that the mod definition FileName is ignored, and why.
void WarnModIgnored(const std::string& FileName, const std::string& Problem);
}  // namespace Shared
