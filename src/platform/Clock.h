#pragma once

#include <string>

// The current date and time as text in the system's short-date and time formats.
namespace Clock {
std::string DateText();
std::string TimeText();
}  // namespace Clock
