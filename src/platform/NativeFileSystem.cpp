// The rules of the native file system that every operating system shares: wildcard
// matching, the order of listings, the splitting of text files into lines, the
// read-only bit kept across a write, the names a listing skips and the refusal of
// writes that links lead out of the game folder.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "NativeFileSystem.h"
#include "NativeFileSystemShared.h"
#include "QuillonError.h"
#include "TextCase.h"

namespace NativeFs {

namespace {
std::function<void(const std::string& path)>& SkippedNameHandler() {
    static std::function<void(const std::string& path)> handler;
    return handler;
}

// A name as it may stand in a message or a log line: control characters (a line end
// among them) would break the line.
std::string Printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    return text;
}
}  // namespace

void OnNameSkipped(std::function<void(const std::string& path)> handler) {
    SkippedNameHandler() = std::move(handler);
}

namespace Shared {

void RefuseNul(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        throw QuillonError(PlatformError::BadFileName, "Platform",
                           "Bad file name " + Printable(path) + ": it holds a NUL byte");
}

bool ListedNameUsable(const std::string& folder, const std::string& name) {
    const bool usable = std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    });
    if (!usable && SkippedNameHandler()) {
        const bool separated = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
        SkippedNameHandler()(folder + (separated || folder.empty() ? "" : "\\") + Printable(name));
    }
    return usable;
}

LinkOut FindLinkOut(const std::string& folder, char separator,
                    const std::function<std::string(const std::string&)>& RealOf,
                    const std::function<bool(const std::string&)>& Inside) {
    // A root keeps its separator: "/" and "C:\" are folders, "C:" is not.
    auto trimmed = [separator](std::string path) {
        while (path.size() > 1 && path.back() == separator && !(path.size() == 3 && path[1] == ':'))
            path.pop_back();
        return path;
    };
    std::string current = trimmed(folder);
    std::string currentReal = RealOf(current);
    const LinkOut none{"", currentReal};
    for (;;) {
        const std::size_t at = current.find_last_of(separator);
        if (at == std::string::npos)
            return none;
        const std::string parent = trimmed(current.substr(0, at + 1));
        if (parent == current)
            return none;
        const std::string parentReal = RealOf(parent);
        if (parentReal.empty())
            return none;
        if (Inside(parentReal))
            return {current, currentReal};
        current = parent;
        currentReal = parentReal;
    }
}

void RaiseOutside(const std::string& target, const LinkOut& out) {
    std::string why = out.link.empty()
                          ? "it lies in " + out.leadsTo + ", outside the game folder"
                          : out.link + " is a link to " + out.leadsTo + ", outside the game folder";
    throw QuillonError(PlatformError::PermissionDenied, "Platform",
                       "Cannot write into " + target + ": " + why);
}

bool PendingText::Add(const std::string& text, bool writeThrough) {
    held_ += text;
    return writeThrough || (held_.size() >= kPiece && (flushed_ || held_.size() > holdUpTo_));
}

void PendingText::HoldUpTo(std::uint64_t size) {
    // A text that cannot be held whole could never be found the same: none of it waits.
    holdUpTo_ = size <= kMostHeld ? static_cast<std::size_t>(size) : 0;
}

void PendingText::Flush(const Writer& write) {
    if (held_.empty())
        return;
    try {
        write(held_.data(), held_.size());
    } catch (...) {
        failed_ = true;
        held_.clear();
        throw;
    }
    held_.clear();
    flushed_ = true;
}

}  // namespace Shared

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
    // Compared letter by letter, lower-cased as they go: a folder of thousands of mods
    // is sorted without a lower-cased copy of two names at every comparison.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::size_t common = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < common; ++i) {
            const auto la = static_cast<unsigned char>(TextCase::LowerChar(a[i]));
            const auto lb = static_cast<unsigned char>(TextCase::LowerChar(b[i]));
            if (la != lb)
                return la < lb;
        }
        if (a.size() != b.size())
            return a.size() < b.size();
        return a < b;
    });
}

InputFile::InputFile(const std::string& file) : text_(ReadWholeFile(file)) {}

std::string_view InputFile::ReadLine() {
    if (AtEnd())
        return {};
    // The next LF is sought with memchr and kept until the reader passes it (a file of
    // CR line ends is not searched to its end for every line); the line ends there or
    // at a CR before it.
    const std::string_view text = text_;
    if (nextLf_ < next_ || nextLf_ == kNotSought) {
        const void* lf = std::memchr(text.data() + next_, '\n', text.size() - next_);
        nextLf_ =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) : text.size();
    }
    const void* cr = std::memchr(text.data() + next_, '\r', nextLf_ - next_);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - text.data()) : nextLf_;
    const std::string_view line = text.substr(next_, end - next_);
    next_ = end + 1;
    if (end < text.size() && text[end] == '\r' && next_ < text.size() && text[next_] == '\n')
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
