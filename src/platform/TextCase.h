#pragma once

#include <string>

// Letter case of the program's 8-bit text: only the ASCII letters fold.
namespace TextCase {
inline char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string Lower(std::string text);
std::string Upper(std::string text);
bool EqualIgnoringCase(const std::string& a, const std::string& b);
}  // namespace TextCase
