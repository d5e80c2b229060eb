#pragma once

#include <string>

// One entry of the game's userprofile.txt that a mod sets.
struct UserProfile {
    std::string Field;
    std::string Value;
    std::string Key;  // never set: the collection is not keyed
};
