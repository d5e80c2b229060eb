#include "UserProfiles.h"

std::shared_ptr<UserProfile> UserProfiles::Add(const std::string& Field, const std::string& Value,
                                               const std::string& sKey) {
    auto profile = std::make_shared<UserProfile>();
    profile->Field = Field;
    profile->Value = Value;
    return Insert(std::move(profile), sKey);
}
