#include "AppliedRecord.h"

#include <algorithm>
#include <ctime>

#include "FileReference.h"
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

constexpr std::uint32_t kNone = 0xFFFFFFFFu;
constexpr std::size_t kPathPiece = std::size_t{1} << 16;

// XXH3 over bytes handed in piece by piece, as a copy or a read passes them.
class Hashing : public NativeFs::CopyWatch {
  public:
    Hashing() {
        XXH3_INITSTATE(&state_);
        XXH3_64bits_reset(&state_);
    }
    void Piece(const char* Bytes, std::size_t Size) override {
        XXH3_64bits_update(&state_, Bytes, Size);
    }
    std::uint64_t Digest() const { return XXH3_64bits_digest(&state_); }

  private:
    XXH3_state_t state_;
};

const char* const kFirstLine = "Quillon record";
const char* const kLastLine = "End";

constexpr std::size_t kHashDigits = 16;

// The hash as the file holds it: 16 lower-case hexadecimal digits.
void AppendHash(std::string& Text, std::uint64_t Hash) {
    static const char digits[] = "0123456789abcdef";
    char text[kHashDigits];
    for (std::size_t i = kHashDigits; i-- > 0; Hash >>= 4)
        text[i] = digits[Hash & 0xF];
    Text.append(text, kHashDigits);
}

// A backup whose bytes have not passed yet has "-" for its hash.
const char kNoHash = '-';

bool ParseHash(std::string_view Text, AppliedRecord::Entry& E) {
    if (Text.size() == 1 && Text[0] == kNoHash) {
        E.Unhashed = 1;
        return true;
    }
    if (Text.size() != kHashDigits)
        return false;
    std::uint64_t& Hash = E.Hash;
    Hash = 0;
    for (char c : Text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return false;
        Hash = Hash << 4 | static_cast<std::uint64_t>(digit);
    }
    return true;
}

// Splits a line at its tabs into Count fields; false when it has more or fewer.
bool SplitFields(std::string_view Line, std::string_view* Fields, std::size_t Count) {
    for (std::size_t i = 0; i < Count; ++i) {
        const std::size_t tab = Line.find('\t');
        if ((tab == std::string_view::npos) != (i + 1 == Count))
            return false;
        Fields[i] = Line.substr(0, tab);
        Line = tab == std::string_view::npos ? std::string_view() : Line.substr(tab + 1);
    }
    return true;
}

bool Number(std::string_view Text, std::int64_t& Value) {
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

bool StartsIgnoringCase(const std::string& Text, const std::string& Start) {
    if (Text.size() < Start.size())
        return false;
    for (std::size_t i = 0; i < Start.size(); ++i)
        if (TextCase::LowerChar(Text[i]) != TextCase::LowerChar(Start[i]))
            return false;
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

AppliedRecord::AppliedRecord() = default;

AppliedRecord::~AppliedRecord() {
    if (active == this)
        active = nullptr;
}

AppliedRecord::Entry* AppliedRecord::FindRelative(std::string_view Relative) {
    if (index_.empty())
        return nullptr;
    const std::uint32_t at = index_[Slot(Relative)];
    return at == kNone ? nullptr : &entries_[at];
}

namespace {

// Orders relative paths without regard to letter case, as the game's folder does.
bool PathLess(std::string_view A, std::string_view B) {
    const std::size_t common = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < common; ++i) {
        // Paths share long beginnings: equal bytes need no folding.
        if (A[i] == B[i])
            continue;
        const auto a = static_cast<unsigned char>(TextCase::LowerChar(A[i]));
        const auto b = static_cast<unsigned char>(TextCase::LowerChar(B[i]));
        if (a != b)
            return a < b;
    }
    return A.size() < B.size();
}

bool SamePath(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (A[i] != B[i] && TextCase::LowerChar(A[i]) != TextCase::LowerChar(B[i]))
            return false;
    return true;
}

// FNV-1a over the path as lower case.
std::size_t PathHash(std::string_view Path) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : Path) {
        hash ^= static_cast<unsigned char>(TextCase::LowerChar(c));
        hash *= 0x100000001b3ull;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

}  // namespace

std::string_view AppliedRecord::PathOf(const Entry& E) const {
    return std::string_view(paths_[E.PathAt / kPathPiece])
        .substr(E.PathAt % kPathPiece, E.PathSize);
}

bool AppliedRecord::KeepPath(std::string_view Path, Entry& E) {
    const std::size_t kept = paths_.empty() ? 0 : paths_.back().size();
    if (Path.empty() || Path.size() > 0xFFFF)
        return false;
    if (paths_.empty() || kept + Path.size() > kPathPiece) {
        if (paths_.size() >= kNone / kPathPiece)
            return false;
        paths_.emplace_back().reserve(kPathPiece);
    }
    E.PathAt = static_cast<std::uint32_t>((paths_.size() - 1) * kPathPiece + paths_.back().size());
    E.PathSize = static_cast<std::uint16_t>(Path.size());
    paths_.back().append(Path);
    return true;
}

std::size_t AppliedRecord::Slot(std::string_view Relative) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = PathHash(Relative) & mask;; i = (i + 1) & mask) {
        const std::uint32_t at = index_[i];
        if (at == kNone)
            return i;
        const Entry& entry = entries_[at];
        if (entry.PathSize != 0 && SamePath(PathOf(entry), Relative))
            return i;
    }
}

void AppliedRecord::Rebuild() {
    std::deque<Entry> entries;
    std::deque<std::string> paths;
    entries.swap(entries_);
    paths.swap(paths_);
    std::size_t places = 1024;
    // Half full at most: probes stay short, and the next rebuild is far.
    while (places < count_ * 2 + 2)
        places *= 2;
    index_.assign(places, kNone);
    count_ = 0;
    for (Entry entry : entries) {
        if (entry.PathSize == 0)
            continue;
        const std::string_view path = std::string_view(paths[entry.PathAt / kPathPiece])
                                          .substr(entry.PathAt % kPathPiece, entry.PathSize);
        KeepPath(path, entry);
        index_[Slot(path)] = static_cast<std::uint32_t>(entries_.size());
        entries_.push_back(entry);
        ++count_;
    }
}

void AppliedRecord::Put(std::string_view Relative, const Entry& E) {
    // Forgotten entries hold places too: 70% of the places in use at most.
    if ((entries_.size() + 1) * 10 > index_.size() * 7)
        Rebuild();
    const std::size_t slot = Slot(Relative);
    Entry entry = E;
    changed_ = true;
    if (index_[slot] != kNone) {
        Entry& found = entries_[index_[slot]];
        entry.PathAt = found.PathAt;
        entry.PathSize = found.PathSize;
        // The path as it was last written is the one the record gives.
        if (PathOf(found) != Relative && !KeepPath(Relative, entry)) {
            found.PathSize = 0;
            --count_;
            return;
        }
        found = entry;
        return;
    }
    // A path the record cannot keep is not known: the record knows less, nothing worse.
    if (entries_.size() >= kNone - 1 || !KeepPath(Relative, entry))
        return;
    index_[slot] = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(entry);
    ++count_;
}

void AppliedRecord::Clear() {
    entries_.clear();
    paths_.clear();
    index_.clear();
    count_ = 0;
    names_.clear();
    nameIndex_.clear();
    changed_ = false;
}

std::vector<const AppliedRecord::Entry*> AppliedRecord::Sorted() {
    std::vector<const Entry*> sorted;
    sorted.reserve(count_);
    for (const Entry& entry : entries_)
        if (entry.PathSize != 0)
            sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(),
              [this](const Entry* A, const Entry* B) { return PathLess(PathOf(*A), PathOf(*B)); });
    return sorted;
}

std::uint32_t AppliedRecord::NameIndex(std::string_view Name) {
    const auto found = nameIndex_.find(Name);
    if (found != nameIndex_.end())
        return found->second;
    const auto index = static_cast<std::uint32_t>(names_.size());
    names_.emplace_back(Name);
    nameIndex_.emplace(names_.back(), index);
    return index;
}

void AppliedRecord::Setup(const std::string& GamePath) {
    Clear();
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
    // The line that comes next: the first, the folder's, an entry or the end, none.
    enum class Next { First, Folder, Files, None } next = Next::First;
    bool garbled = false;
    const auto take = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        switch (next) {
            case Next::First:
                garbled = line != kFirstLine;
                next = Next::Folder;
                return;
            case Next::Folder: {
                // A record copied from another game folder speaks of other files.
                std::string_view folder[2];
                garbled = !SplitFields(line, folder, 2) || folder[0] != "Folder" ||
                          !TextCase::EqualIgnoringCase(std::string(folder[1]), gamePath_);
                next = Next::Files;
                return;
            }
            case Next::None:
                garbled = true;  // nothing follows the end
                return;
            case Next::Files:
                break;
        }
        if (line == kLastLine) {
            next = Next::None;
            return;
        }
        Entry entry;
        std::int64_t size = 0;
        // File, path, size, time, hash, kind, mod.
        std::string_view fields[7];
        if (!SplitFields(line, fields, 7) || fields[0] != "File" || fields[1].empty() ||
            !Number(fields[2], size) || !Number(fields[3], entry.Stamp.Time) ||
            !ParseHash(fields[4], entry)) {
            garbled = true;  // none of it is to be trusted
            return;
        }
        entry.Stamp.Size = static_cast<std::uint64_t>(size);
        entry.Kind = NameIndex(fields[5]);
        entry.Mod = NameIndex(fields[6]);
        // The last line of a path read twice holds, in its spelling.
        Put(fields[1], entry);
    };
    // Read in pieces: a record of many entries is never whole in memory.
    std::string carry;
    try {
        NativeFs::ReadPieces(file, [&](const char* Bytes, std::size_t Size) {
            if (garbled)
                return;
            carry.append(Bytes, Size);
            std::size_t start = 0;
            for (std::size_t end = 0;
                 !garbled && (end = carry.find('\n', start)) != std::string::npos; start = end + 1)
                take(std::string_view(carry).substr(start, end - start));
            carry.erase(0, start);
        });
    } catch (const QuillonError&) {
        garbled = true;
    }
    if (!carry.empty() && !garbled)
        take(carry);
    // A record cut short is garbled all the same: none of it is to be trusted.
    if (garbled || next != Next::None)
        Clear();
    // What was read is what the file holds.
    changed_ = false;
}

void AppliedRecord::Save() {
    if (!changed_ || gamePath_.empty())
        return;
    const std::string file = gamePath_ + kFileName;
    try {
        NativeFs::OutputFile output(file, NativeFs::OutputFile::Mode::Replace);
        std::string text = std::string(kFirstLine) + "\n" + "Folder\t" + gamePath_ + "\n";
        // Handed on in pieces: a record of many entries is never whole in memory.
        constexpr std::size_t kPiece = std::size_t{1} << 18;
        text.reserve(kPiece + 1024);
        // In the order the entries came: sorting a large record costs a switch more
        // than writing it.
        for (const Entry& kept : entries_) {
            if (kept.PathSize == 0)
                continue;
            const Entry* entry = &kept;
            if (text.size() >= kPiece) {
                output.Write(text);
                text.clear();
            }
            text += "File\t";
            text += PathOf(*entry);
            text += '\t';
            text += std::to_string(entry->Stamp.Size);
            text += '\t';
            text += std::to_string(entry->Stamp.Time);
            text += '\t';
            if (entry->Unhashed)
                text += kNoHash;
            else
                AppendHash(text, entry->Hash);
            text += '\t';
            text += KindOf(*entry);
            text += '\t';
            text += ModOf(*entry);
            text += '\n';
        }
        text += kLastLine;
        text += '\n';
        output.Write(text);
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
    Clear();
}

std::string AppliedRecord::Relative(const std::string& File) const {
    if (!gamePath_.empty() && File.size() > gamePath_.size() && StartsIgnoringCase(File, gamePath_))
        return File.substr(gamePath_.size());
    return std::string();
}

const AppliedRecord::Entry* AppliedRecord::Find(const std::string& FullName) {
    const std::string relative = Relative(FullName);
    if (relative.empty())
        return nullptr;
    return FindRelative(relative);
}

void AppliedRecord::NoteWritten(const std::string& File, std::uint64_t Hash, const std::string& Mod,
                                const std::string& Kind) {
    if (gamePath_.empty())
        return;
    NativeFs::FileStamp stamp;
    if (!NativeFs::StampOf(File, stamp)) {
        Forget(File);
        return;
    }
    NoteWritten(File, Hash, stamp, Mod, Kind);
}

void AppliedRecord::NoteCopied(const std::string& File, const std::string& Mod,
                               const std::string& Kind) {
    if (gamePath_.empty())
        return;
    NativeFs::FileStamp stamp;
    std::uint64_t hash = 0;
    try {
        hash = HashOfFile(File, &stamp);
    } catch (const QuillonError&) {
        Forget(File);
        return;
    }
    NoteWritten(File, hash, stamp, Mod, Kind);
}

void AppliedRecord::NoteWritten(const std::string& File, std::uint64_t Hash,
                                const NativeFs::FileStamp& Stamp, const std::string& Mod,
                                const std::string& Kind) {
    if (gamePath_.empty())
        return;
    const std::string relative = Relative(File);
    if (relative.empty())
        return;
    Put(relative, Entry{Stamp, Hash, NameIndex(Kind), NameIndex(Mod)});
}

void AppliedRecord::NoteAsItIs(const std::string& File) {
    if (gamePath_.empty())
        return;
    const Entry* known = Find(File);
    const std::string kind = known ? KindOf(*known) : kGame;
    const std::string mod = known ? ModOf(*known) : std::string();
    NoteCopied(File, mod, kind);
}

void AppliedRecord::Copy(AppliedRecord* Record, const FileReference& From, const FileReference& To,
                         bool Force, const std::string& Mod, const std::string& Kind) {
    if (!Record || Record->gamePath_.empty()) {
        From.CopyIntoReference(To, Force);
        return;
    }
    Hashing hashing;
    From.CopyIntoReference(To, Force, &hashing);
    if (hashing.Done) {
        Record->NoteWritten(To.FullName(), hashing.Digest(), hashing.Written, Mod, Kind);
        Record->NotePassed(From.FullName(), hashing.Digest());
    } else {
        Record->NoteCopied(To.FullName(), Mod, Kind);  // a read-only file left as it was
    }
}

void AppliedRecord::NotePassed(const std::string& File, std::uint64_t Hash) {
    const std::string relative = Relative(File);
    Entry* entry = relative.empty() ? nullptr : FindRelative(relative);
    NativeFs::FileStamp stamp;
    // Only bytes of the file as it was noted: a file written since has no hash to learn.
    if (entry && entry->Unhashed && NativeFs::StampOf(File, stamp) && stamp == entry->Stamp) {
        entry->Hash = Hash;
        entry->Unhashed = 0;
        changed_ = true;
    }
}

void AppliedRecord::Forget(const std::string& File) {
    const std::string relative = Relative(File);
    if (relative.empty() || index_.empty())
        return;
    const std::uint32_t at = index_[Slot(relative)];
    if (at == kNone)
        return;
    // Its place in the index stays taken until the next rebuild.
    entries_[at].PathSize = 0;
    --count_;
    changed_ = true;
}

bool AppliedRecord::Backup(AppliedRecord* Record, const FileReference& From,
                           const FileReference& Into, const std::string& Mod,
                           const std::string& Kind) {
    if (!Record || Record->gamePath_.empty())
        return From.BackupIntoReference(Into);
    NativeFs::FileStamp stamp;
    const Entry* known = Record->Find(From.FullName());
    if (known && !known->Unhashed && NativeFs::StampOf(From.FullName(), stamp) &&
        stamp == known->Stamp) {
        const std::uint64_t hash = known->Hash;
        // A link is the file the record knows, stamp and all; a copy has a stamp of its own.
        if (From.BackupIntoReference(Into)) {
            Record->NoteWritten(Into.FullName(), hash, stamp, Mod, Kind);
            return true;
        }
        Record->NoteWritten(Into.FullName(), hash, Mod, Kind);
        return false;
    }
    Hashing hashing;
    const bool linked = From.BackupIntoReference(Into, &hashing);
    if (!hashing.Done) {
        Record->NoteCopied(Into.FullName(), Mod, Kind);
    } else if (!linked) {
        Record->NoteWritten(Into.FullName(), hashing.Digest(), hashing.Written, Mod, Kind);
    } else {
        // A link passes no bytes, and reading the game's file only for its hash would
        // cost a switch as much again as the record may: its size and time stamp stand
        // for it until its bytes pass (it is put back) or Verify accepts it.
        Record->NoteWritten(Into.FullName(), 0, hashing.Written, Mod, Kind);
        const std::string relative = Record->Relative(Into.FullName());
        if (Entry* entry = relative.empty() ? nullptr : Record->FindRelative(relative))
            entry->Unhashed = 1;
    }
    return linked;
}

bool AppliedRecord::Differs(const Entry& E) const {
    bool there = false;
    return ThereAndChanged(FullName(E), E, &there) || !there;
}

bool AppliedRecord::ThereAndChanged(const std::string& File, const Entry& E, bool* There) {
    // One look at the file answers most of the time.
    NativeFs::FileStamp stamp;
    const bool there = NativeFs::StampOf(File, stamp);
    if (There)
        *There = there;
    if (!there || stamp == E.Stamp)
        return false;
    // Without a hash, a file written since is taken as changed: nothing says otherwise.
    return stamp.Size != E.Stamp.Size || E.Unhashed || HashOfFile(File) != E.Hash;
}

bool AppliedRecord::GameFileInPlace(const std::string& File) {
    const Entry* entry = Find(File);
    return entry && KindOf(*entry) == kGame && NativeFs::FileExists(File);
}

bool AppliedRecord::GameFileChanged(const std::string& File) {
    // A missing file is not in place, so has not changed.
    const Entry* entry = Find(File);
    return entry && KindOf(*entry) == kGame && ThereAndChanged(File, *entry);
}

std::string AppliedRecord::KeepIfEdited(const std::string& File, bool Log, FileAccess& LogFile) {
    // A missing file has nothing to keep.
    const Entry* entry = Find(File);
    if (!entry || KindOf(*entry) == kGame || !ThereAndChanged(File, *entry))
        return std::string();
    const std::string relative(PathOf(*entry));
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

std::uint64_t AppliedRecord::HashOfFile(const std::string& File, NativeFs::FileStamp* Stamp) {
    // Hashed as it is read, through the reader's one buffer: a large file costs no
    // allocation of its size.
    Hashing hashing;
    const NativeFs::FileStamp stamp = NativeFs::ReadPieces(
        File, [&hashing](const char* Bytes, std::size_t Size) { hashing.Piece(Bytes, Size); });
    if (Stamp)
        *Stamp = stamp;
    return hashing.Digest();
}
