#pragma once

#include <string>

// The windows' text: UTF-8 inside the program, UTF-16 at the system's calls.
namespace Win32Text {

// Mods written on older Windows carry that system's 8-bit letters, which are no valid
// UTF-8; those texts are read as Windows-1252, as their authors meant them.
std::wstring ToWide(const std::string& text);
std::string FromWide(const std::wstring& text);

}  // namespace Win32Text
