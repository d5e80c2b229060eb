#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "FileInterface.h"

// What the fuzz targets share: a scratch game folder that every input is read in, the
// properties they assert, and the check that reading takes time linear in the size.
namespace Fuzz {

// Ends the run as a finding: libFuzzer keeps the input that got here.
[[noreturn]] void Broken(const std::string& What);
inline void Check(bool Holds, const std::string& What) {
    if (!Holds)
        Broken(What);
}

// Answers every message box as a player would who wants to go on (OK, or No to a
// question) and counts the boxes.
class Dialogs : public DialogService {
  public:
    Dialogs();
    ~Dialogs() override;
    MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                     const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    int Boxes = 0;
    std::string LastText;
};

// A game folder in a fresh temporary directory, with a sentinel folder beside it that
// nothing may touch: root/game (qel2_program\qel, qel2_data\default\gamedata,
// qel2_data\english\gamedata, mods) and root/outside.
class Game {
    std::string native_;  // the temporary directory
    std::string path_;
    // An inotify instance that watches every folder under native_, by watch number.
    int watch_ = -1;
    std::map<int, std::string> watched_;
    void WatchFolders(const std::string& Relative);
    // Each name written since the last ForgetWrites (relative to native_, with "/"),
    // and whether it was made new.
    std::map<std::string, bool> ReadWrites();

  public:
    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The game folder in the program's form, ending in "\".
    const std::string& Path() const { return path_; }
    // Writes a file of the game folder (relative, with "\"), replacing it.
    void Write(const std::string& Relative, const std::string& Content);
    std::string Read(const std::string& Relative) const;
    bool Exists(const std::string& Relative) const;
    void Remove(const std::string& Relative);

    // Forgets what was written so far (Write does it: the input is the target's own).
    void ForgetWrites();
    // Asserts that since then nothing was written beside the game folder, and in it
    // nothing but the files named in MayChange (relative to it, with "\") and files
    // made and removed again (the program's scratch and temporary files).
    void CheckWrittenOnly(const std::set<std::string>& MayChange);

    // Whether a full path of the program stays inside the game folder and could be
    // written by the operating system as it reads: no "..", no drive, no device
    // path, no control character (NUL included) that would cut or bend it.
    bool Inside(const std::string& FullName) const;

    FileInterface Interface;
};

// Runs Read over inputs that Make builds for a size (100 KB, then 1 MB) and fails when
// the larger takes much more than ten times as long: a reader that goes over a line
// again for every token, or over a list for every entry, is found before any input is.
void CheckLinearTime(const std::string& What, const std::function<std::string(std::size_t)>& Make,
                     const std::function<void(const std::string&)>& Read);
// Prefix followed by Unit repeated until the text is Size bytes long.
std::string Repeated(const std::string& Prefix, const std::string& Unit, std::size_t Size);

// The text's lines (ended by CR LF, CR or LF) that hold more than spaces, stripped of
// spaces at both ends: the tokens of a reader that is never set up.
std::vector<std::string> NonBlankLines(const std::string& Text);

// Runs one input; an exception that escapes it is a finding (a garbled file must
// end in a message of the program, never in an abort).
void Run(const std::function<void()>& Body);

}  // namespace Fuzz
