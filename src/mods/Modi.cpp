#include "Modi.h"

#include "FileAccess.h"
#include "Modis.h"
#include "Shared.h"
#include "Useful.h"

namespace {
// A mod's lists, made in one allocation: start-up makes thousands of mods.
struct Lists {
    ::Transfers initialization;
    ::Transfers application;
    ::Transfers substitution;
    ::UserProfiles userProfiles;
};
}  // namespace

Modi::Modi() {
    const auto lists = std::make_shared<Lists>();
    initialization_ = std::shared_ptr<::Transfers>(lists, &lists->initialization);
    application_ = std::shared_ptr<::Transfers>(lists, &lists->application);
    substitution_ = std::shared_ptr<::Transfers>(lists, &lists->substitution);
    userProfiles_ = std::shared_ptr<::UserProfiles>(lists, &lists->userProfiles);
}

bool Modi::IsPrerequisite(const Modi& OtherModi) const {
    for (const std::string& key : prerequisites_)
        if (key == OtherModi.Key)
            return true;
    return false;
}

ModCompatibility Modi::CompatibleWith(const ::Modis& Modis) const {
    ModCompatibility result;
    auto listed = [](const std::vector<std::string>& keys, const std::string& key) {
        for (const std::string& entry : keys)
            if (entry == key)
                return true;
        return false;
    };
    for (const std::shared_ptr<Modi>& other : Modis) {
        result.Compatibility =
            compatibleByDefault_ ? CompatibilityKind::Compatible : CompatibilityKind::Incompatible;
        if (listed(compatible_, other->Key))
            result.Compatibility = CompatibilityKind::Compatible;
        if (listed(prerequisites_, other->Key))
            result.Compatibility = CompatibilityKind::Compatible;
        // An incompatibility outweighs everything else the mod says about the other.
        if (listed(incompatible_, other->Key))
            result.Compatibility = CompatibilityKind::Incompatible;
        if (result.Compatibility == CompatibilityKind::Incompatible) {
            result.ModiKey = other->Key;
            return result;
        }
    }
    for (const std::string& prerequisite : prerequisites_) {
        if (!Modis.ItemNoError(prerequisite)) {
            result.Compatibility = CompatibilityKind::NeedsPrerequisite;
            result.ModiKey = prerequisite;
            return result;
        }
    }
    result.Compatibility = CompatibilityKind::Compatible;
    return result;
}

namespace {

// Appends the tokens up to "@" or the end of the file.
void ReadKeys(FileAccess& File, std::vector<std::string>& Keys) {
    const std::string& endOfFile = File.CommentChar();
    for (std::string token = File.Read(); token != endOfFile && token != "@"; token = File.Read())
        Keys.push_back(token);
}
}  // namespace

bool Modi::Import(FileAccess& File) {
    version_ = "0";
    compatibleByDefault_ = false;
    createSetup_ = true;
    File.OpenFileForInput();
    const std::string endOfFile = File.CommentChar();
    for (std::string token = File.Read(); token != endOfFile; token = File.Read()) {
        if (token == "Key") {
            Key = File.Read();
        } else if (token == "Name") {
            name_ = File.Read();
        } else if (token == "Description") {
            for (std::string_view line = File.ReadToken(); line != endOfFile && line != "@";
                 line = File.ReadToken()) {
                if (!description_.empty())
                    description_ += Useful::CrLf;
                description_ += line;
            }
        } else if (token == "Version") {
            version_ = File.Read();
        } else if (token == "CompatibleByDefault") {
            compatibleByDefault_ = File.ReadBool();
        } else if (token == "CreateSetup") {
            createSetup_ = File.ReadBool();
        } else if (token == "Prerequisites") {
            ReadKeys(File, prerequisites_);
        } else if (token == "Compatible") {
            ReadKeys(File, compatible_);
        } else if (token == "Incompatible") {
            ReadKeys(File, incompatible_);
        } else if (token == "Initialization") {
            ReadTransfersFromFile(File, *initialization_);
        } else if (token == "Application") {
            ReadTransfersFromFile(File, *application_);
        } else if (token == "Substitution") {
            ReadTransfersFromFile(File, *substitution_);
        } else if (token == "UserProfile") {
            ReadUserProfilesFromFile(File, *userProfiles_);
        } else {
            File.CloseFile();
            Shared::WarnModIgnored(File.FileName(), "Expected: Section keyword" + Useful::CrLf +
                                                        "Found: '" + token + "'");
            return true;
        }
    }
    File.CloseFile();
    if (name_.empty() || Key.empty()) {
        Shared::WarnModIgnored(File.FileName(), "Failed to provide both a name and a key.");
        return true;
    }
    return false;
}

void Modi::ReadTransfersFromFile(FileAccess& File, ::Transfers& Transfers) {
    const std::string& endOfFile = File.CommentChar();
    for (std::string_view source = File.ReadToken(); source != endOfFile && source != "@";
         source = File.ReadToken()) {
        // A path that could harm the game folder drops its line, silently, once the
        // list is used.
        Transfers.AddLine(source, File.ReadToken());
    }
}

void Modi::ReadUserProfilesFromFile(FileAccess& File, ::UserProfiles& Profiles) {
    const std::string endOfFile = File.CommentChar();
    for (std::string field = File.Read(); field != endOfFile && field != "@"; field = File.Read()) {
        const std::string value = File.Read();
        Profiles.Add(field, value, "");
    }
}

void Modi::WriteToFile(FileAccess& File) const {
    File.WriteLine(Key + "\t" + Useful::YesNo(initialized_) + "\t" + version_);
}
