#include "TextCase.h"

namespace TextCase {

std::string Lower(std::string text) {
    for (char& c : text)
        c = LowerChar(c);
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = UpperChar(c);
    return text;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    return true;
}

}  // namespace TextCase
