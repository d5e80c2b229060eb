#include "AppliedRecord.h"

#include <ctime>
#include <vector>

#include "QuillonError.h"
#include "Shared.h"
#include "TestSeam.h"
#include "TextCase.h"
#include "Useful.h"

// The hash is compiled into this file alone: the library is used as a header only, so
// no build needs it linked.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

AppliedRecord* active = nullptr;

const char* const kFirstLine = "Quillon record";
const char* const kLastLine = "End";

std::string Key(const std::string& Relative) {
    return TextCase::Lower(Relative);
}

std::string HashText(const std::string& Bytes) {
    static const char digits[] = "0123456789abcdef";
    XXH64_hash_t hash = XXH3_64bits(Bytes.data(), Bytes.size());
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<std::size_t>(i)] = digits[hash & 0xF];
    return text;
}

std::vector<std::string> Fields(const std::string& Line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = Line.find('\t', start);
        fields.push_back(Line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool Number(const std::string& Text, std::int64_t& Value) {
    if (Text.empty() || Text.size() > 19)
        return false;
    Value = 0;
    for (char c : Text) {
        if (c < '0' || c > '9')
            return false;
        Value = Value * 10 + (c - '0');
    }
    return true;
}

// "x.txt" kept on 7 December 2026 at 10:15:00 is "x 2026-12-07 10-15-00.txt".
std::string StampedName(const std::string& Name, int Attempt) {
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    std::strftime(when, sizeof when, "%Y-%m-%d %H-%M-%S", &local);
    std::string stamp = std::string(" ") + when;
    if (Attempt > 1)
        stamp += " (" + std::to_string(Attempt) + ")";
    const std::size_t dot = Name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return Name + stamp;
    return Name.substr(0, dot) + stamp + Name.substr(dot);
}

}  // namespace

AppliedRecord::~AppliedRecord() {
    if (active == this)
        active = nullptr;
}

void AppliedRecord::Setup(const std::string& GamePath) {
    entries_.clear();
    changed_ = false;
    if (active == this)
        active = nullptr;
    // Unbound, the record is neither read, written nor consulted, and no file is
    // hashed for it: what a switch costs without it.
    gamePath_.clear();
    if (TestSeam::RecordIgnored())
        return;
    gamePath_ = GamePath;
    active = this;
    Read();
}

AppliedRecord* AppliedRecord::Of(const std::string& QELPath) {
    if (active && TextCase::Lower(active->gamePath_) == TextCase::Lower(QELPath))
        return active;
    return nullptr;
}

void AppliedRecord::Read() {
    const std::string file = gamePath_ + kFileName;
    if (!NativeFs::FileExists(file))
        return;
    std::map<std::string, Entry> read;
    try {
        NativeFs::InputFile input(file);
        if (input.ReadLine() != kFirstLine)
            return;
        const std::vector<std::string> folder = Fields(input.ReadLine());
        // A record copied from another game folder speaks of other files.
        if (folder.size() != 2 || folder[0] != "Folder" ||
            TextCase::Lower(folder[1]) != TextCase::Lower(gamePath_))
            return;
        bool ended = false;
        while (!input.AtEnd()) {
            const std::vector<std::string> fields = Fields(input.ReadLine());
            if (ended)
                return;  // nothing follows the end
            if (fields.size() == 1 && fields[0] == kLastLine) {
                ended = true;
                continue;
            }
            Entry entry;
            std::int64_t size = 0;
            if (fields.size() != 7 || fields[0] != "File" || fields[1].empty() ||
                !Number(fields[2], size) || !Number(fields[3], entry.Stamp.Time) ||
                fields[4].size() != 16)
                return;  // garbled: none of it is to be trusted
            entry.Path = fields[1];
            entry.Stamp.Size = static_cast<std::uint64_t>(size);
            entry.Hash = fields[4];
            entry.Kind = fields[5];
            entry.Mod = fields[6];
            read[Key(entry.Path)] = entry;
        }
        // A record cut short is garbled all the same.
        if (!ended)
            return;
    } catch (const QuillonError&) {
        return;
    }
    entries_ = std::move(read);
}

void AppliedRecord::Save() {
    if (!changed_ || gamePath_.empty())
        return;
    const std::string file = gamePath_ + kFileName;
    try {
        NativeFs::OutputFile output(file, NativeFs::OutputFile::Mode::Replace);
        std::string text = std::string(kFirstLine) + "\n" + "Folder\t" + gamePath_ + "\n";
        for (const auto& [key, entry] : entries_)
            text += "File\t" + entry.Path + "\t" + std::to_string(entry.Stamp.Size) + "\t" +
                    std::to_string(entry.Stamp.Time) + "\t" + entry.Hash + "\t" + entry.Kind +
                    "\t" + entry.Mod + "\n";
        output.Write(text + kLastLine + "\n");
        output.Close();
        changed_ = false;
    } catch (const QuillonError&) {
        // An old record would be trusted where it is wrong; none is merely less known.
        try {
            if (NativeFs::FileExists(file))
                NativeFs::DeleteFile(file);
        } catch (const QuillonError&) {
        }
    }
}

void AppliedRecord::Discard() {
    // The file stays until there is something to write: while the journal stays, every
    // start distrusts it again.
    entries_.clear();
    changed_ = false;
}

std::string AppliedRecord::Relative(const std::string& File) const {
    if (!gamePath_.empty() && File.size() > gamePath_.size() &&
        TextCase::Lower(File.substr(0, gamePath_.size())) == TextCase::Lower(gamePath_))
        return File.substr(gamePath_.size());
    return std::string();
}

const AppliedRecord::Entry* AppliedRecord::Find(const std::string& FullName) const {
    const std::string relative = Relative(FullName);
    if (relative.empty())
        return nullptr;
    const auto found = entries_.find(Key(relative));
    return found == entries_.end() ? nullptr : &found->second;
}

void AppliedRecord::NoteWritten(const std::string& File, const std::string& Hash,
                                const std::string& Mod, const std::string& Kind) {
    if (gamePath_.empty())
        return;
    const std::string relative = Relative(File);
    Entry entry{relative, {}, Hash, Kind, Mod};
    if (relative.empty() || !NativeFs::StampOf(File, entry.Stamp)) {
        Forget(File);
        return;
    }
    entries_[Key(relative)] = entry;
    changed_ = true;
}

void AppliedRecord::NoteAsItIs(const std::string& File) {
    if (gamePath_.empty())
        return;
    const Entry* known = Find(File);
    const std::string kind = known ? known->Kind : kGame;
    const std::string mod = known ? known->Mod : std::string();
    NoteWritten(File, HashOfFile(File), mod, kind);
}

void AppliedRecord::NoteRestored(const std::string& File, const std::string& Backup) {
    if (gamePath_.empty())
        return;
    NoteWritten(File, HashOf(Backup), std::string(), kGame);
}

void AppliedRecord::Forget(const std::string& File) {
    const std::string relative = Relative(File);
    if (!relative.empty() && entries_.erase(Key(relative)))
        changed_ = true;
}

bool AppliedRecord::Differs(const Entry& E) const {
    NativeFs::FileStamp stamp;
    if (!NativeFs::StampOf(FullName(E), stamp))
        return true;
    if (stamp == E.Stamp)
        return false;
    return stamp.Size != E.Stamp.Size || HashOfFile(FullName(E)) != E.Hash;
}

bool AppliedRecord::GameFileChanged(const std::string& File) const {
    const Entry* entry = Find(File);
    return entry && entry->Kind == kGame && NativeFs::FileExists(File) && Differs(*entry);
}

std::string AppliedRecord::KeepIfEdited(const std::string& File, bool Log,
                                        FileAccess& LogFile) const {
    const Entry* entry = Find(File);
    if (!entry || entry->Kind == kGame || !NativeFs::FileExists(File) || !Differs(*entry))
        return std::string();
    const std::string relative = entry->Path;
    const std::size_t slash = relative.rfind('\\');
    const std::string name = slash == std::string::npos ? relative : relative.substr(slash + 1);
    const std::string subfolders = slash == std::string::npos ? "" : relative.substr(0, slash + 1);
    std::string built = gamePath_;
    std::string rest = std::string(kKeptFolder) + "\\" + subfolders;
    while (!rest.empty()) {
        built += Useful::PopFirst(rest, "\\") + "\\";
        if (!NativeFs::FolderExists(built))
            NativeFs::CreateFolder(built);
    }
    std::string kept;
    for (int attempt = 1;; ++attempt) {
        kept = built + StampedName(name, attempt);
        if (!NativeFs::FileExists(kept))
            break;
    }
    NativeFs::CopyFile(File, kept, true);
    Shared::LogLine(Log, LogFile, "Kept " + File + " (changed since it was applied) as " + kept);
    return kept;
}

std::string AppliedRecord::HashOf(const std::string& File) const {
    if (const Entry* entry = Find(File)) {
        NativeFs::FileStamp stamp;
        if (NativeFs::StampOf(File, stamp) && stamp == entry->Stamp)
            return entry->Hash;
    }
    return HashOfFile(File);
}

std::string AppliedRecord::HashOfFile(const std::string& File) {
    return HashText(NativeFs::ReadWholeFile(File));
}
