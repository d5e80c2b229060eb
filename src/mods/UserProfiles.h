#pragma once

#include "KeyedCollection.h"
#include "UserProfile.h"

class UserProfiles : public KeyedCollection<UserProfile> {
  public:
    std::shared_ptr<UserProfile> Add(const std::string& Field, const std::string& Value,
                                     const std::string& sKey = "");
};
