#include "Transfer.h"

#include <string_view>

#include "FileReference.h"
#include "TextCase.h"
#include "Useful.h"

namespace {

// Mods are written on Windows as often as elsewhere: both separators mean the same.
void UseBackslashes(std::string& Path) {
    for (char& c : Path)
        if (c == '/')
            c = '\\';
}

bool Contains(std::string_view Text, std::string_view Find) {
    return Text.find(Find) != std::string_view::npos;
}

// Names that Windows opens as devices in every folder, whatever the extension.
bool IsDeviceName(std::string_view Component) {
    std::string_view base = Component.substr(0, Component.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    if (base == "con" || base == "prn" || base == "aux" || base == "nul")
        return true;
    if (base.size() != 4 || (base.substr(0, 3) != "com" && base.substr(0, 3) != "lpt"))
        return false;
    const char digit = base[3];
    // Windows also takes the superscript digits of its code page as port numbers.
    return (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

}  // namespace

bool Transfer::PathForbidden(const std::string& Path) {
    // Start-up checks every path of every mod: the lower-cased copy is made in a buffer
    // kept from one path to the next.
    static thread_local std::string lower;
    lower.assign(Path);
    UseBackslashes(lower);
    for (char& c : lower)
        c = TextCase::LowerChar(c);
    // On a file system that ignores case, ORIG_x is the backup of x and x.EXE a program.
    for (std::string_view part : {"orig_", "..", "subst_", "*", "?"})
        if (Contains(lower, part))
            return true;
    const std::size_t dot = lower.rfind('.');
    const std::string_view extension = dot == std::string::npos
                                           ? std::string_view(lower)
                                           : std::string_view(lower).substr(dot + 1);
    for (std::string_view forbidden : {"dll", "exe", "inf", "def", "qel", "cfg", "zip", "rar"})
        if (extension == forbidden)
            return true;
    // Everything below would let a mod write outside the game folder or onto a name
    // that Windows reads as another file or a device. The system reads a path only up
    // to a NUL byte: "evil.exe<NUL>.txt" would be written as evil.exe.
    for (const char c : lower)
        if (static_cast<unsigned char>(c) < 0x20)
            return true;
    if (!lower.empty() && lower.front() == '\\')
        return true;
    if (Contains(lower, ":"))
        return true;
    std::string_view rest = lower;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('\\');
        const std::string_view component = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (component.empty())
            continue;
        if (component.back() == '.' || component.back() == ' ')
            return true;
        if (IsDeviceName(component))
            return true;
    }
    return false;
}

void Transfer::Split(std::string Path, std::string& Folder, std::string& Name) {
    const std::size_t slash = Path.rfind('\\');
    // A path without a folder names a file of the game folder itself.
    if (slash == std::string::npos) {
        Folder.clear();
        Name = std::move(Path);
        return;
    }
    Name.assign(Path, slash + 1);
    Path.resize(slash);
    Folder = std::move(Path);
}

namespace {
// The path as stored: "%d" expanded and "/" read as "\"; "" when it is forbidden.
std::string PreparedPath(const std::string& Path) {
    std::string path = Path.find("%d") == std::string::npos
                           ? Path
                           : Useful::ReplaceAll(Path, "%d", "qel2_data\\default");
    UseBackslashes(path);
    if (Transfer::PathForbidden(path))
        path.clear();
    return path;
}
}  // namespace

void Transfer::SetFromFile(const std::string& NewFromFile) {
    SplitFromFile(PreparedPath(NewFromFile));
}

void Transfer::SetToFile(const std::string& NewToFile) {
    SplitToFile(PreparedPath(NewToFile));
}

namespace {
std::unique_ptr<FileReference> MakeReference(::FileInterface* Files, const std::string& Language,
                                             const std::string& QELPath, const std::string& Folder,
                                             const std::string& Name) {
    auto reference = std::make_unique<FileReference>();
    reference->Setup(QELPath + Useful::ReplaceAll(Folder, "%l", "qel2_data\\" + Language), Name,
                     Files);
    return reference;
}
}  // namespace

std::unique_ptr<FileReference> Transfer::FromFileRef(::FileInterface* FileInterface,
                                                     const std::string& Language,
                                                     const std::string& QELPath) const {
    return MakeReference(FileInterface, Language, QELPath, fromFolder_, fromName_);
}

std::unique_ptr<FileReference> Transfer::ToFileRef(::FileInterface* FileInterface,
                                                   const std::string& Language,
                                                   const std::string& QELPath) const {
    return MakeReference(FileInterface, Language, QELPath, toFolder_, toName_);
}
