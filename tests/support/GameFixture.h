#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FileAccess.h"
#include "FileInterface.h"
#include "Modi.h"
#include "Progress.h"
#include "RecordingDialogs.h"
#include "TempFolder.h"
#include "Useful.h"

// A game folder in a temporary directory with what the mod operations are handed:
// the file interface, Quill.log, userprofile.txt and a progress source that records
// its events. Header-only, for the test programs that link the mods layer.
class GameFixture {
  public:
    GameFixture() : Files(Folder.Path()) {
        LogFile.SetFileByName("Quill.log", Folder.Path(), &Files);
        ProfileFile.SetFileByName("userprofile.txt", Folder.Path() + "qel2_program\\qel\\", &Files);
        Events.OnProgress = [this](std::int32_t Step, std::int32_t OutOf) {
            Recorded.push_back(std::to_string(Step) + "/" + std::to_string(OutOf));
        };
        Events.OnStatus = [this](const std::string& Status) {
            Recorded.push_back("status:" + Status);
        };
    }

    // Lines joined as a definition file joins them; "\t" separates tokens.
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        return text;
    }

    // Writes mods\<file> and reads it as discovery does; Ignored tells Import's answer.
    std::shared_ptr<Modi> Import(const std::string& file, const std::string& text,
                                 bool* Ignored = nullptr) {
        Folder.Write("mods\\" + file, text);
        FileAccess definition;
        definition.Setup("//", "\t", "", "", 0);
        definition.SetFileByName(file, Folder.Path() + "mods\\", &Files);
        auto modi = std::make_shared<Modi>();
        const bool ignored = modi->Import(definition);
        if (Ignored)
            *Ignored = ignored;
        else
            EXPECT_FALSE(ignored) << file;
        return modi;
    }

    // A mod named and keyed Key with the given sections.
    std::shared_ptr<Modi> Mod(const std::string& Key, const std::vector<std::string>& sections) {
        std::vector<std::string> lines = {"Key\t" + Key, "Name\t" + Key};
        lines.insert(lines.end(), sections.begin(), sections.end());
        return Import(Key + "_moddef.txt", Lines(lines));
    }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines = Useful::SplitLines(Folder.Read("Quill.log"));
        // The last line ends with CR LF like the others.
        if (lines.back().empty())
            lines.pop_back();
        return lines;
    }

    // Every file under the game folder (relative path with "/") and its content.
    std::map<std::string, std::string> Tree(const std::string& relative = "") const {
        std::map<std::string, std::string> tree;
        const std::filesystem::path root = Folder.Native();
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(Folder.NativeOf(relative))) {
            if (!entry.is_regular_file())
                continue;
            const std::string name = entry.path().lexically_relative(root).generic_string();
            tree[name] = Folder.Read(name);
        }
        return tree;
    }

    // Names of the files of one folder, sorted.
    std::vector<std::string> Names(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder.NativeOf(relative)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder Folder;
    FileInterface Files;
    FileAccess LogFile;
    FileAccess ProfileFile;
    Progress Events;
    std::vector<std::string> Recorded;
    RecordingDialogs Dialogs;
};
