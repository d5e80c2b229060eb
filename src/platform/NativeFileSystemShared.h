#pragma once

// What the native file systems of every operating system share besides the rules of
// NativeFileSystem.h: the checks on paths and names, and how a write that links lead
// out of the game folder is refused.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace NativeFs::Shared {

// Raises the error for a path that holds a NUL byte.
void RefuseNul(const std::string& path);

// Whether a name from a folder listing can be used as a file name; an unusable one is
// reported to the OnNameSkipped handler. Folder is the listed folder as given.
bool ListedNameUsable(const std::string& folder, const std::string& name);

// The link that leads a folder out of the confinement: walking up from the folder,
// the last folder whose real path lies outside while its parent's lies inside.
struct LinkOut {
    std::string link;     // "" when no parent lies inside
    std::string leadsTo;  // the real path of the link, or of the folder
};
// RealOf answers the real path of a folder ("" when it cannot), Inside whether a
// real path lies inside the confinement.
LinkOut FindLinkOut(const std::string& folder, char separator,
                    const std::function<std::string(const std::string&)>& RealOf,
                    const std::function<bool(const std::string&)>& Inside);

// Raises the refusal of a write into target (a file or folder) that out leads away.
[[noreturn]] void RaiseOutside(const std::string& target, const LinkOut& out);

// The text an OutputFile holds before handing it to the system: a file is written in
// a few large pieces, while the log (appended to) is written through, so that its
// lines outlive a process that dies. After a failed write nothing more is written.
class PendingText {
  public:
    using Writer = std::function<void(const char* data, std::size_t size)>;

    // Holds text; answers whether what is held is due to go out (written through,
    // or a large piece).
    bool Add(const std::string& text, bool writeThrough);
    // The size of the file the text is to replace: text up to that size (a few
    // megabytes at most) is held whole, so that a file that would come out the same is
    // recognised and not written at all.
    void HoldUpTo(std::uint64_t size);
    void Flush(const Writer& write);

    const std::string& Held() const { return held_; }
    bool Flushed() const { return flushed_; }  // some of the text already went out
    bool Failed() const { return failed_; }

  private:
    static constexpr std::size_t kPiece = 1 << 16;
    static constexpr std::size_t kMostHeld = std::size_t{4} << 20;
    std::string held_;
    std::size_t holdUpTo_ = 0;
    bool flushed_ = false;
    bool failed_ = false;
};

}  // namespace NativeFs::Shared
