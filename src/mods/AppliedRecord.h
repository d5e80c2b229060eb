#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "NativeFileSystem.h"

class FileAccess;
class FileReference;

// quill.record in the game folder: what Quillon left in the game, so that it can tell
// a file it placed from one that changed behind its back. For every file it wrote and
// still answers for, and every "orig_" and "subst_" backup it made, it keeps the path
// relative to the game folder, the size, the time stamp, an XXH3 content hash, the
// mod that wrote it and the kind of transfer. A game file put back from its backup is
// kept as the game's own ("Game", no mod).
//
// The record is a help, never a condition: when it is missing, unreadable or written
// for another game folder, Quillon knows nothing and behaves as it did without it.
//
// The file is text after the line "Quillon record": a line "Folder<tab>game folder",
// then one line "File<tab>path<tab>size<tab>time<tab>hash<tab>kind<tab>mod" each (the
// hash "-" for a backup whose bytes have not passed yet), and the line "End".
class AppliedRecord {
  public:
    static constexpr const char* kFileName = "quill.record";
    // The kind of a game file put back from its backup (a transfer's kind otherwise).
    static constexpr const char* kGame = "Game";
    // Where a player's edit of a mod's file is kept before it is overwritten.
    static constexpr const char* kKeptFolder = "quill-kept";

    // Entries are many (one per file of every applied mod) and their mods and kinds
    // few: an entry holds numbers only, its path is a piece of one text of paths, and
    // the names of mods and kinds are shared.
    struct Entry {
        NativeFs::FileStamp Stamp;
        std::uint64_t Hash = 0;
        std::uint32_t Kind = 0;  // index of a shared name
        std::uint32_t Mod = 0;   // index of a shared name ("" for none)
        std::uint32_t PathAt = 0;
        std::uint16_t PathSize = 0;  // 0 once forgotten
        // A backup made by a link, whose bytes have not passed since: its hash is not
        // known, and its size and time stamp stand for it.
        std::uint16_t Unhashed = 0;
    };

    AppliedRecord();
    ~AppliedRecord();
    AppliedRecord(const AppliedRecord&) = delete;
    AppliedRecord& operator=(const AppliedRecord&) = delete;

    // Binds to the record of a game folder (ending in "\") and reads it; the mod
    // operations on that folder then find it through Of. With the test seam
    // QUILLON_TEST_NO_RECORD it stays unbound and does nothing at all.
    void Setup(const std::string& GamePath);
    // Writes the record when it changed (crash-safe). A record that cannot be written
    // costs the knowledge, never the operation: it is removed if it can be.
    void Save();
    // Forgets everything (an operation was cut short: files may belong to either setup).
    void Discard();

    // The record bound to the game folder QELPath, or null.
    static AppliedRecord* Of(const std::string& QELPath);

    std::size_t Count() const { return count_; }
    // Every entry, in the order of their paths without regard to letter case. Noting or
    // forgetting a file makes pointers to entries invalid.
    std::vector<const Entry*> Sorted();
    const Entry* Find(const std::string& FullName);
    // The path relative to the game folder.
    std::string_view PathOf(const Entry& E) const;
    std::string FullName(const Entry& E) const { return gamePath_ + std::string(PathOf(E)); }
    const std::string& KindOf(const Entry& E) const { return names_[E.Kind]; }
    const std::string& ModOf(const Entry& E) const { return names_[E.Mod]; }

    // A mod's transfer wrote File with the content whose hash is Hash.
    void NoteWritten(const std::string& File, std::uint64_t Hash, const std::string& Mod,
                     const std::string& Kind);
    // The same, where File's stamp is known (a link to a file just hashed).
    void NoteWritten(const std::string& File, std::uint64_t Hash, const NativeFs::FileStamp& Stamp,
                     const std::string& Mod, const std::string& Kind);
    // A mod's transfer has just written File: its hash and stamp come from one read of
    // it, while it is still in the system's cache. A file that cannot be read is no
    // longer answered for.
    void NoteCopied(const std::string& File, const std::string& Mod, const std::string& Kind);
    // The file as it is now, under the entry it has (or as the game's own).
    void NoteAsItIs(const std::string& File);
    // Copies From over To as FileReference::CopyIntoReference does and notes To as
    // written by Mod with Kind (a file put back from its backup: no mod, kGame), hashed
    // as the bytes pass, so nothing is read twice; a backup without a hash takes it
    // from them. Without a record it only copies.
    static void Copy(AppliedRecord* Record, const FileReference& From, const FileReference& To,
                     bool Force, const std::string& Mod, const std::string& Kind);
    // Backs From up into Into as FileReference::BackupIntoReference does and notes
    // Into as Mod's backup, with the hash the record knows of From when From is
    // unchanged since, else the one its copy passes; a link is noted without a hash
    // (see Entry::Unhashed). True when it linked.
    static bool Backup(AppliedRecord* Record, const FileReference& From, const FileReference& Into,
                       const std::string& Mod, const std::string& Kind);
    void Forget(const std::string& File);

    // Whether File is not what its entry says: the size and time stamp answer when
    // they match, the content hash otherwise (a file without one that was written
    // since differs). A missing file differs.
    bool Differs(const Entry& E) const;
    // The game's own file should be in File's place (and File is there).
    bool GameFileInPlace(const std::string& File);
    // The game's own file should be in File's place and has changed since.
    bool GameFileChanged(const std::string& File);
    // When File should be a mod's and has changed since it was written, copies it under
    // quill-kept, says so in the log and gives that copy's path (else "").
    std::string KeepIfEdited(const std::string& File, bool Log, FileAccess& LogFile);
    static std::uint64_t HashOfFile(const std::string& File, NativeFs::FileStamp* Stamp = nullptr);

  private:
    std::string Relative(const std::string& File) const;
    // Whether File is there (There, when given, says) and holds other content than E
    // says.
    static bool ThereAndChanged(const std::string& File, const Entry& E, bool* There = nullptr);
    void Read();
    void Clear();
    std::uint32_t NameIndex(std::string_view Name);
    // Keeps a copy of Path among the paths; false when it is too long to.
    bool KeepPath(std::string_view Path, Entry& E);
    // Notes Relative with E's numbers, in Relative's spelling.
    void Put(std::string_view Relative, const Entry& E);
    // Where Relative's entry is in the index, or the empty place it would take.
    std::size_t Slot(std::string_view Relative) const;
    // Makes the index fit the entries again, dropping forgotten ones.
    void Rebuild();
    Entry* FindRelative(std::string_view Relative);
    // File's bytes have passed, with the hash Hash: a backup noted without one and
    // unchanged since takes it.
    void NotePassed(const std::string& File, std::uint64_t Hash);

    std::string gamePath_;
    // Deques, not vectors: they grow without a copy of twice their size.
    std::deque<Entry> entries_;
    // The paths, end to end, in pieces of a fixed size that none straddles.
    std::deque<std::string> paths_;
    // Open addressing over entries_ by the path's hash without regard to case; a
    // forgotten entry keeps its place, so what was placed after it is still found.
    std::vector<std::uint32_t> index_;
    std::size_t count_ = 0;
    // The names of mods and kinds the entries share, and where each one is; the deque
    // keeps the names in place for the views that index them.
    std::deque<std::string> names_;
    std::unordered_map<std::string_view, std::uint32_t> nameIndex_;
    bool changed_ = false;
};
