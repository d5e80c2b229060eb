#include "Shared.h"

#include <vector>

#include "Dialogs.h"
#include "FileAccess.h"
#include "NativeFileSystem.h"
#include "Useful.h"

namespace {
// An entry's name is the text before its first "=", the whole line when it has none.
std::string EntryName(const std::string& Line) {
    return Useful::TextBefore(Line, "=");
}
}  // namespace

namespace Shared {

std::string ReadProfileValue(FileAccess& File, const std::string& Field) {
    File.OpenFileForInput();
    while (!File.EOfF()) {
        const std::string line = File.Read();
        if (EntryName(line) != Field)
            continue;
        File.CloseFile();
        const std::size_t equals = line.find('=');
        return equals == std::string::npos ? std::string() : line.substr(equals + 1);
    }
    File.CloseFile();
    return "";
}

bool ReadProfileBool(FileAccess& File, const std::string& Field) {
    return Useful::ParseBool(ReadProfileValue(File, Field));
}

void WriteProfileValue(FileAccess& File, ::FileInterface* FileInterface, const std::string& Field,
                       const std::string& Value) {
    if (!File.Reference() || File.FileAbsent())
        return;
    File.OpenFileForInput();
    std::vector<std::string> lines;
    std::string text;
    while (!File.EOfF()) {
        const std::string line = File.Read();
        lines.push_back(EntryName(line) == Field ? Field + "=" + Value : line);
        text += lines.back() + Useful::CrLf;
    }
    File.CloseFile();
    // A profile that would come out as it is stays untouched: nothing is written,
    // flushed to disk or renamed for a value the player did not change.
    if (text == NativeFs::ReadWholeFile(File.Reference()->FullName()))
        return;
    FileAccess scratch;
    scratch.SetFileToTemp(FileInterface);
    scratch.OpenFileForOutput();
    for (const std::string& line : lines)
        scratch.WriteLine(line);
    scratch.CloseFile();
    // The finished scratch file takes the profile's place in one step, so the game
    // never finds half a profile. A read-only profile is replaced all the same (the
    // user asked for the change) and stays read-only.
    const std::string profile = File.Reference()->FullName();
    const std::string temp = scratch.Reference()->FullName();
    try {
        NativeFs::WriteKeepingReadOnly(profile, NativeFs::IsReadOnly(profile),
                                       [&] { NativeFs::ReplaceFile(temp, profile); });
    } catch (...) {
        try {
            NativeFs::DeleteFile(temp);
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
}

void OpenLog(bool Log, FileAccess& LogFile, bool LogFileOpen) {
    if (Log && !LogFileOpen)
        OpenLogForAppend(LogFile);
}

void CloseLog(bool Log, FileAccess& LogFile, bool LogFileOpen) {
    if (Log && !LogFileOpen)
        LogFile.CloseFile();
}

void LogLine(bool Log, FileAccess& LogFile, const std::string& Line) {
    if (Log)
        LogFile.WriteLine(Line);
}

void WarnModIgnored(const std::string& FileName, const std::string& Problem) {
    MsgBox("Error in " + FileName + ":" + Useful::CrLf + Problem + Useful::CrLf +
               "This mod will be ignored.",
           MsgIcon::Warning, MsgButtons::OK);
}

}  // namespace Shared
