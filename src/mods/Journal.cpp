#include "Journal.h"

#include <utility>

#include "Clock.h"
#include "FileInterface.h"
#include "NativeFileSystem.h"

namespace {

const char* const kHeader = "Quillon journal";
const char* const kDone = "Done";

std::string Field(const char* Name, const std::string& Value) {
    return std::string(Name) + "\t" + Value;
}

std::vector<std::string> RecordLines(const Journal::Record& What) {
    std::vector<std::string> lines = {Field("Operation", What.Operation), Field("From", What.From),
                                      Field("To", What.To)};
    if (!What.Mod.empty())
        lines.push_back(Field("Mod", What.Mod));
    lines.push_back(Field("Started", Clock::DateText() + " " + Clock::TimeText()));
    return lines;
}

// Appended in place: a line cut short by a kill is skipped when read.
void Append(FileAccess& File, const std::string& Line) {
    File.OpenFileForAppend();
    File.WriteLine(Line);
    File.CloseFile();
}

}  // namespace

void Journal::Setup(const std::string& GamePath, FileInterface* Files) {
    file_.SetFileByName(kFileName, GamePath, Files);
}

bool Journal::Present() const {
    return !file_.FileAbsent();
}

std::vector<std::string> Journal::Lines() {
    std::vector<std::string> lines;
    file_.OpenFileForInput();
    while (!file_.EOfF())
        lines.push_back(file_.ReadLine());
    file_.CloseFile();
    return lines;
}

bool Journal::Read(std::vector<Record>& Records) {
    Records.clear();
    const std::vector<std::string> lines = Lines();
    if (lines.empty() || lines.front() != kHeader)
        return false;
    // A line cut short by the kill, or one this version does not know, says nothing.
    for (const std::string& line : lines) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        const std::string name = line.substr(0, tab);
        const std::string value = line.substr(tab + 1);
        if (name == "Operation")
            Records.push_back(Record{value});
        else if (Records.empty())
            continue;
        else if (name == "From")
            Records.back().From = value;
        else if (name == "To")
            Records.back().To = value;
        else if (name == "Mod")
            Records.back().Mod = value;
    }
    return true;
}

void Journal::Remove() {
    if (Present())
        file_.Delete();
}

void Journal::Begin(const Record& What) {
    // Counted only once written: an operation whose journal could not be written
    // never began.
    if (depth_ > 0) {
        Append(file_, Field("Then", What.Operation + " from " + What.From + " to " + What.To));
        ++depth_;
        return;
    }
    std::vector<std::string> kept = Present() ? Lines() : std::vector<std::string>();
    std::vector<std::string> lines = kept;
    if (lines.empty() || lines.front() != kHeader)
        lines.insert(lines.begin(), kHeader);
    const std::vector<std::string> record = RecordLines(What);
    lines.insert(lines.end(), record.begin(), record.end());
    Write(lines);
    kept_ = std::move(kept);
    depth_ = 1;
}

void Journal::End() {
    if (depth_ == 0 || --depth_ > 0)
        return;
    // A power cut just after the journal goes must not find a game file in place but
    // still empty, its bytes never written.
    NativeFs::FlushFileSystem(file_.Path());
    if (kept_.empty())
        Remove();
    else
        Write(kept_);
    kept_.clear();
}

void Journal::Abandon() {
    if (depth_ > 0 && --depth_ == 0)
        kept_.clear();
}

void Journal::Write(const std::vector<std::string>& Lines) {
    // Through a temporary sibling, flushed before it takes the old journal's place.
    file_.OpenFileForOutput();
    for (const std::string& line : Lines)
        file_.WriteLine(line);
    file_.CloseFile();
    // The journal's name too is on disk before the first game file changes.
    NativeFs::FlushFolder(file_.Path());
}

void Journal::NoteModOperation(FileInterface* Files, const std::string& QELPath,
                               const std::string& Line) {
    if (!Files || Files->FileAbsent(QELPath, kFileName))
        return;
    FileAccess journal;
    journal.SetFileByName(kFileName, QELPath, Files);
    Append(journal, Field(kDone, Line));
}

JournalOperation::JournalOperation(Journal& Into, const Journal::Record& What) : journal_(Into) {
    // What the file layer learnt of the game's folders (their spelling, their real
    // paths) holds for one operation: the user may have changed them since the last.
    NativeFs::ForgetCachedFolders();
    journal_.Begin(What);
}

JournalOperation::~JournalOperation() {
    if (!ended_)
        journal_.Abandon();
}

void JournalOperation::End() {
    ended_ = true;
    journal_.End();
}
