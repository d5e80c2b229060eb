#pragma once

#include <cstdint>
#include <string>

// How a mod stands with a collection of mods. The numbers are those the program has
// always given them.
enum class CompatibilityKind : std::int32_t {
    Compatible = 0,
    Incompatible = 1,      // with ModiKey
    NeedsPrerequisite = 2  // ModiKey, which is missing
};

// The result of judging a mod against a collection of mods.
struct ModCompatibility {
    CompatibilityKind Compatibility = CompatibilityKind::Compatible;
    std::string ModiKey;
};
