#include "ModDiscovery.h"

#include "FileAccess.h"
#include "FileInterface.h"
#include "FileListBox.h"
#include "Modis.h"
#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "Shared.h"
#include "Useful.h"

void DiscoverMods(::FileInterface* FileInterface, const std::string& ModsPath, ::Modis& Modis) {
    if (FileInterface->PathInvalid(ModsPath))
        NativeFs::CreateFolder(ModsPath);
    FileListBox list;
    list.SetPath(ModsPath);
    list.SetPattern("*_moddef.txt");
    const std::vector<std::string> names = list.Names();
    FileAccess file;
    file.Setup("//", "\t", "", "", 0);
    for (const std::string& name : names) {
        auto modi = std::make_shared<Modi>();
        file.SetFileByName(name, ModsPath, FileInterface);
        bool ignored = false;
        try {
            ignored = modi->Import(file);
        } catch (const QuillonError& error) {
            // One unreadable definition must not keep the other mods from the user.
            file.CloseFile();
            Shared::WarnModIgnored(
                name, "The file could not be read:" + Useful::CrLf + error.Description);
            continue;
        }
        if (ignored)
            continue;
        if (Modis.HasKey(modi->Key)) {
            Shared::WarnModIgnored(name, "The key '" + modi->Key +
                                             "' is already used by the mod '" +
                                             Modis.Item(modi->Key)->Name() + "'.");
            continue;
        }
        Modis.SneakyAdd(modi, modi->Key);
    }
}
