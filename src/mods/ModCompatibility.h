#pragma once

#include <cstdint>
#include <string>

// The result of judging a mod against a collection of mods: 0 compatible; 1
// incompatible with ModiKey; 2 needs the missing prerequisite ModiKey.
struct ModCompatibility {
    std::int32_t Compatibility = 0;
    std::string ModiKey;
};
