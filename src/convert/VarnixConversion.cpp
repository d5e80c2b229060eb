#include "VarnixConversion.h"

#include "FileAccess.h"
#include "FileInterface.h"
#include "FileListBox.h"
#include "Modis.h"
#include "TextCase.h"
#include "Useful.h"

namespace {

// The backups of the game's own gamefile.txt are no mods.
bool IsBackupOfGameFile(const std::string& name) {
    const std::string lower = TextCase::Lower(name);
    return lower == "orig_gamefile.txt" || lower == "subst_gamefile.txt";
}

// Whether a value of the legacy file can stand in a definition's line and be read
// back as it is: a tab would split it into tokens of their own (a file name holding
// one could add transfers the Varnix mod never had), and "//" would cut it short.
bool DefinitionCanHold(const std::string& value) {
    return value.find('\t') == std::string::npos && value.find("//") == std::string::npos;
}

}  // namespace

void ConvertVarnixMods(FileInterface* FileInterface, const std::string& GamePath,
                       const std::string& ModsPath, const Modis& Modis) {
    const std::string folder = GamePath + "qel2_data\\default\\gamedata";
    if (FileInterface->PathInvalid(folder))
        return;
    FileListBox list;
    list.SetPath(folder);
    list.SetPattern("*_gamefile.txt");
    FileAccess reader;
    FileAccess writer;
    for (const std::string& name : list.Names()) {
        if (IsBackupOfGameFile(name))
            continue;
        reader.SetFileByName(name, folder, FileInterface);
        reader.OpenFileForInput();
        for (int skipped = 0; skipped < 65; ++skipped)
            reader.Read();
        const std::string modName = reader.Read();
        const std::string newsSprite = reader.Read();
        const std::string library = reader.Read();
        const std::string key = Useful::TextBeforeLast(reader.FileName(), "_");
        reader.CloseFile();
        // Mods are kept under their keys without regard to case: a key spelled otherwise is
        // the same mod and must not get a second definition.
        if (key.empty() || Modis.HasKey(key))
            continue;
        if (!DefinitionCanHold(key) || !DefinitionCanHold(modName) ||
            !DefinitionCanHold(newsSprite) || !DefinitionCanHold(library))
            continue;
        writer.SetFileByName(key + "_ModDef.txt", ModsPath, FileInterface);
        if (!writer.FileAbsent())
            continue;
        writer.OpenFileForOutput();
        writer.WriteLine("// This mod definition file was auto-generated");
        writer.WriteLine("// by Quillon based on " + name);
        writer.WriteLine("");
        writer.WriteLine("Key\t" + key);
        writer.WriteLine("Name\t" + modName);
        writer.WriteLine("");
        writer.WriteLine("Application");
        writer.WriteLine("%d\\gamedata\\" + name + "\t%d\\gamedata\\gamefile.txt");
        writer.WriteLine("%d\\gamedata\\" + newsSprite + "\t%d\\gamedata\\newsprite.txt");
        writer.WriteLine("%l\\gamedata\\" + library + "\t%l\\gamedata\\Great_Library.txt");
        writer.WriteLine("@");
        writer.CloseFile();
    }
}
