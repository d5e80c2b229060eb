#pragma once

#include <cstdint>

// The kind of a transfer list, which decides how an overwritten game file is backed
// up. Passed as a number: any other value is invalid.
namespace TransferType {
constexpr std::int32_t Initialization = 0;  // no backup; never reversed
constexpr std::int32_t Application = 1;     // backup "orig_" + name
constexpr std::int32_t Substitution = 2;    // backup "subst_" + name
}  // namespace TransferType
