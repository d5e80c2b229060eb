// A setup's block in quill.ini: its name, the keys of its mods in order, and an end line.
#include "Dialogs.h"
#include "FileAccess.h"
#include "Setup.h"
#include "Useful.h"

bool Setup::ReadFromFile(FileAccess& File, const ::Modis& AllModis, const std::string& NewName) {
    bool ignore = false;
    const std::string& endOfFile = File.CommentChar();
    std::string token = File.Read();
    while (token != endOfFile && token != "@") {
        const std::shared_ptr<Modi> modi = AllModis.ItemNoError(token);
        if (!modi) {
            // Every missing key is reported, so the block is read to its end.
            MsgBox("The setup " + NewName + Useful::CrLf + "refers to a mod with key " + token +
                       Useful::CrLf + "but no such mod exists.  This setup will be ignored.",
                   MsgIcon::None, MsgButtons::OK);
            ignore = true;
        } else if (!modis_->HasKey(modi->Key)) {
            // A key listed twice (a hand-edited file) keeps the mod once rather than
            // ending the program with the collection's duplicate-key error.
            modis_->SneakyAdd(modi, modi->Key);
        }
        token = File.Read();
    }
    return ignore;
}

void Setup::WriteToFile(FileAccess& File) const {
    File.WriteLine(Name);
    for (const std::shared_ptr<Modi>& modi : *modis_)
        File.WriteLine(modi->Key);
    File.WriteLine("@ // End of " + Name);
}
