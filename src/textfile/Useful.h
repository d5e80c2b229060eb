#pragma once

#include <string>
#include <vector>

// Small text helpers shared by the file formats, the command line and the transfer
// paths. Positions are 1-based; every search is an exact match of the whole
// separator.
namespace Useful {

inline const std::string CrLf = "\r\n";

// Text becomes Line when empty, else Text + CR LF + Line.
void AppendLine(std::string& Text, const std::string& Line);
std::string YesNo(bool Flag);
// False exactly when the first character, lower-cased, is "n", "f" or "0".
bool ParseBool(const std::string& Text);
std::string TrimValue(const std::string& Value);
std::string TrimValue(long Value);
inline bool IsWhiteSpace(char C) {
    return C == ' ' || C == '\r' || C == '\n';
}
std::string TrimWhiteSpace(const std::string& Text);
long MinOf(long A, long B);
long MinOf(long A, long B, long C);
long MaxOf(long A, long B);
long MaxOf(long A, long B, long C);
// Position of the last occurrence (occurrences may overlap), 0 when absent.
long LastPosition(const std::string& Text, const std::string& Find);
std::string TextBefore(const std::string& Text, const std::string& Separator);
std::string TextAfter(const std::string& Text, const std::string& Separator);
std::string TextBeforeLast(const std::string& Text, const std::string& Separator);
std::string TextAfterLast(const std::string& Text, const std::string& Separator);
std::string PopFirst(std::string& Text, const std::string& Separator);
// The separator must occur; otherwise an invalid-argument error leaves Text as it was.
std::string PopLast(std::string& Text, const std::string& Separator);
// The lines of a text joined with CR LF: what follows the last CR LF is a line too, so
// "a" CR LF gives "a" and "".
std::vector<std::string> SplitLines(const std::string& Text);
std::string ReplaceAll(const std::string& Text, const std::string& Find,
                       const std::string& Replacement);

}  // namespace Useful
