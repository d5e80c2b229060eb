// The rules of the native file system that every operating system shares: wildcard
// matching, the order of listings, the splitting of text files into lines, and the
// read-only bit kept across a write.
#include <algorithm>

#include "NativeFileSystem.h"
#include "TextCase.h"

namespace NativeFs {

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    // Iterative match with back-tracking to the last "*".
    std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b) { return TextCase::LowerChar(a) == TextCase::LowerChar(b); };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    if (p == pattern.size())
        return true;
    // As on Windows, a final ".*" also matches a name without an extension.
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0)
        return WildcardMatch(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string la = TextCase::Lower(a);
        std::string lb = TextCase::Lower(b);
        if (la != lb)
            return la < lb;
        return a < b;
    });
}

InputFile::InputFile(const std::string& file) : text_(ReadWholeFile(file)) {}

std::string InputFile::ReadLine() {
    if (AtEnd())
        return "";
    // Lines are cut as they are read, so the file is held once, whatever its lines.
    // One pass over the characters (find_first_of searches its set at every one).
    std::size_t end = next_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n')
        ++end;
    if (end == text_.size()) {
        std::string line = text_.substr(next_);
        next_ = text_.size();
        return line;
    }
    std::string line = text_.substr(next_, end - next_);
    next_ = end + 1;
    if (text_[end] == '\r' && next_ < text_.size() && text_[next_] == '\n')
        ++next_;
    return line;
}

void WriteKeepingReadOnly(const std::string& file, bool readOnly,
                          const std::function<void()>& write) {
    if (readOnly)
        SetReadOnly(file, false);
    try {
        write();
    } catch (...) {
        // What failed must not leave the file writable behind the user's back; if even
        // that fails, the first error is still the one to report.
        try {
            if (readOnly)
                SetReadOnly(file, true);
        } catch (...) {
        }
        throw;
    }
    SetReadOnly(file, readOnly);
}

}  // namespace NativeFs
