#pragma once

#include <string>
#include <vector>

#include "FileAccess.h"
#include "NativeFileSystem.h"

class FileInterface;

// quill.journal in the game folder: the record of an operation on the game's files
// while it is under way. It is on disk (flushed) before the operation changes its
// first file, says when each mod operation has ended, and is removed when the whole
// operation has ended as it should. Found at start-up, it means the program was
// stopped half way: some game files may belong to either setup.
//
// The file is text, one "name<tab>value" line each, after the line "Quillon journal":
// "Operation" (one of the words below) opens a record, followed by "From", "To",
// "Mod" and "Started" (when); each "Done" line is a mod or setup operation that ended,
// a "Then" line an operation begun inside the recorded one.
class Journal {
  public:
    static constexpr const char* kFileName = "quill.journal";
    // The operations' own words.
    static constexpr const char* kSwitch = "switch";
    static constexpr const char* kRestoration = "restoration";
    static constexpr const char* kInitialization = "initialization";

    struct Record {
        std::string Operation;
        std::string From{};  // the setup the game held
        std::string To{};    // the setup the game was to hold
        std::string Mod{};   // the mod being initialized, for an initialization
    };

    // Binds to the journal of a game folder (ending in "\").
    void Setup(const std::string& GamePath, FileInterface* Files);

    bool Present() const;
    // The records of the journal, oldest first; false when it is no journal Quillon
    // wrote (its records are then not to be trusted, and none are given).
    bool Read(std::vector<Record>& Records);
    void Remove();

    // Opens an operation. The outermost writes the journal (crash-safe: the old one
    // stays whole until the new one is on disk); one inside it (the switch inside a
    // restoration) is noted in the same record. A journal already there, of an
    // interruption the player chose not to repair yet, is kept in the new one.
    void Begin(const Record& What);
    // The operation opened last has ended as it should: at the outermost the journal
    // is removed, or put back as it was before Begin when it held an interruption.
    void End();
    // The operation opened last was cut short by an error: the journal stays, so the
    // next start offers the repair.
    void Abandon();

    // Tells the journal of the game folder QELPath, when there is one, that a mod
    // operation has ended (Line says which). The mod operations call it; nothing
    // else is needed of them.
    static void NoteModOperation(FileInterface* Files, const std::string& QELPath,
                                 const std::string& Line);

  private:
    std::vector<std::string> Lines();
    void Write(const std::vector<std::string>& Lines);

    FileAccess file_;
    int depth_ = 0;
    // The journal's lines from before the outermost Begin (an unrepaired interruption).
    std::vector<std::string> kept_;
};

// An operation of the journal as a scope: begun at construction, abandoned (the journal
// kept) when an error leaves the scope before End.
class JournalOperation {
  public:
    JournalOperation(Journal& Into, const Journal::Record& What);
    ~JournalOperation();
    JournalOperation(const JournalOperation&) = delete;
    JournalOperation& operator=(const JournalOperation&) = delete;
    void End();

  private:
    // The copies of the operation leave their old files to a thread of their own.
    NativeFs::BackgroundRemovals removals_;
    Journal& journal_;
    bool ended_ = false;
};
