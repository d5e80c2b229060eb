#include "TestSeam.h"

#include <cstdlib>
#include <optional>

#include "TextCase.h"

#ifdef _WIN32
#include "Win32Support.h"
#else
#include <unistd.h>

#include <csignal>
#endif

namespace TestSeam {
namespace {

#ifdef QUILLON_TEST_SEAMS
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

struct KillAt {
    std::string point;
    long count = 0;
    std::string file;  // lower case; empty for any
};

std::optional<KillAt> ParseKillAt() {
    const std::string text = Environment("QUILLON_TEST_KILL");
    const std::size_t first = text.find(':');
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t second = text.find(':', first + 1);
    KillAt at;
    at.point = text.substr(0, first);
    at.count = std::atol(text.substr(first + 1, second - first - 1).c_str());
    if (second != std::string::npos)
        at.file = TextCase::Lower(text.substr(second + 1));
    if (at.count <= 0)
        return std::nullopt;
    return at;
}

const char* NameOf(Point point) {
    switch (point) {
        case Point::Backup:
            return "backup";
        case Point::Copy:
            return "copy";
        case Point::Write:
            return "write";
    }
    return "";
}

std::string BaseName(const std::string& file) {
    const std::size_t separator = file.find_last_of("\\/");
    return separator == std::string::npos ? file : file.substr(separator + 1);
}

[[noreturn]] void KillSelf() {
#ifdef _WIN32
    ::TerminateProcess(::GetCurrentProcess(), 137);
#else
    ::kill(::getpid(), SIGKILL);
#endif
    std::abort();
}
#endif

bool& LinksRefused() {
#ifdef QUILLON_TEST_SEAMS
    static bool refused = Environment("QUILLON_TEST_NO_HARDLINKS") == "1";
#else
    static bool refused = false;
#endif
    return refused;
}

}  // namespace

void Reached([[maybe_unused]] Point point, [[maybe_unused]] const std::string& file) {
#ifdef QUILLON_TEST_SEAMS
    static const std::optional<KillAt> at = ParseKillAt();
    static long seen = 0;
    if (!at || at->point != NameOf(point))
        return;
    if (!at->file.empty() && TextCase::Lower(BaseName(file)) != at->file)
        return;
    if (++seen == at->count)
        KillSelf();
#endif
}

bool HardLinksRefused() {
    return LinksRefused();
}

void RefuseHardLinks(bool refused) {
    LinksRefused() = refused;
}

bool RecordIgnored() {
#ifdef QUILLON_TEST_SEAMS
    static const bool ignored = Environment("QUILLON_TEST_NO_RECORD") == "1";
    return ignored;
#else
    return false;
#endif
}

}  // namespace TestSeam
