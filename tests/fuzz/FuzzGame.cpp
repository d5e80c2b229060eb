#include "FuzzGame.h"

#include <stdlib.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "NativeFileSystem.h"
#include "QuillonError.h"
#include "TextCase.h"

namespace fs = std::filesystem;

namespace Fuzz {

void Broken(const std::string& What) {
    std::string shown;
    for (char c : What) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n' || (byte >= 0x20 && byte < 0x7f)) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    std::fprintf(stderr, "\n*** Property broken: %s\n", shown.c_str());
    std::fflush(stderr);
    std::abort();
}

Dialogs::Dialogs() {
    SetDialogService(this);
}

Dialogs::~Dialogs() {
    SetDialogService(nullptr);
}

MsgResult Dialogs::MsgBox(const std::string& text, MsgIcon, MsgButtons buttons,
                          const std::string&) {
    ++Boxes;
    LastText = text;
    return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::No;
}

std::string Dialogs::InputBox(const std::string&, const std::string&, const std::string&) {
    return "";
}

namespace {
std::string NativeRelative(const std::string& Relative) {
    std::string native = Relative;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::string TemporaryDirectory() {
    // In memory where the system offers it: the program syncs every file it writes,
    // which on a disk would take the most of each input's time.
    std::error_code ignored;
    const fs::path base =
        fs::is_directory("/dev/shm", ignored) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "quillon-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        Broken("cannot make a temporary directory");
    return pattern;
}

// The games made, removed when the run ends: a target keeps its game for the whole
// run and never destroys it.
std::vector<std::string>& Made() {
    static std::vector<std::string> made;
    return made;
}

void RemoveMade() {
    for (const std::string& folder : Made()) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
}

// The program's paths keep "\" as separator on every system.
std::string ProgramForm(std::string Native) {
    std::replace(Native.begin(), Native.end(), '/', '\\');
    return Native;
}
}  // namespace

Game::Game()
    : native_(TemporaryDirectory()), path_(ProgramForm(native_ + "/game/")), Interface(path_) {
    for (const char* folder : {"game/qel2_program/qel", "game/qel2_data/default/gamedata",
                               "game/qel2_data/english/gamedata", "game/mods", "outside"})
        fs::create_directories(fs::path(native_) / folder);
    Write("qel2_program\\qel\\userprofile.txt", "DebugVesk=No\r\nNumPlayers=8\r\n");
    Write("qel2_program\\qel\\qel2.exe", "the game");
    Write("qel2_data\\default\\gamedata\\gamefile.txt", "the game's data");
    std::ofstream(fs::path(native_) / "outside" / "sentinel.txt") << "untouched";
    NativeFs::ForgetCachedFolders();
    if (Made().empty())
        std::atexit(RemoveMade);
    Made().push_back(native_);
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0)
        Broken("cannot watch the game folder");
    WatchFolders("");
}

Game::~Game() {
    ::close(watch_);
    std::error_code ignored;
    fs::remove_all(native_, ignored);
}

void Game::Write(const std::string& Relative, const std::string& Content) {
    const fs::path file = fs::path(native_) / "game" / NativeRelative(Relative);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(Content.data(), static_cast<std::streamsize>(Content.size()));
    out.close();
    if (!out)
        Broken("cannot write " + file.string());
    ForgetWrites();
}

std::string Game::Read(const std::string& Relative) const {
    std::ifstream in(fs::path(native_) / "game" / NativeRelative(Relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool Game::Exists(const std::string& Relative) const {
    return fs::exists(fs::path(native_) / "game" / NativeRelative(Relative));
}

void Game::Remove(const std::string& Relative) {
    std::error_code ignored;
    fs::remove(fs::path(native_) / "game" / NativeRelative(Relative), ignored);
    ForgetWrites();
}

void Game::WatchFolders(const std::string& Relative) {
    const std::string folder = native_ + "/" + Relative;
    const int number = ::inotify_add_watch(watch_, folder.c_str(),
                                           IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB |
                                               IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE);
    if (number < 0)
        Broken("cannot watch " + folder);
    watched_[number] = Relative;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_directory() && !entry.is_symlink())
            WatchFolders(Relative + entry.path().filename().string() + "/");
}

std::map<std::string, bool> Game::ReadWrites() {
    std::map<std::string, bool> written;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t size = ::read(watch_, buffer, sizeof buffer);
        if (size <= 0)
            return written;
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
                Broken("too many writes to follow");
            const std::string name = watched_[event->wd] + (event->len ? event->name : "");
            // A name is new when the first thing that happened to it made it.
            written.emplace(name, (event->mask & (IN_CREATE | IN_MOVED_TO)) != 0);
        }
    }
}

void Game::ForgetWrites() {
    ReadWrites();
}

void Game::CheckWrittenOnly(const std::set<std::string>& MayChange) {
    std::set<std::string> allowed;
    for (const std::string& relative : MayChange)
        allowed.insert("game/" + NativeRelative(relative));
    for (const auto& [name, made] : ReadWrites()) {
        Check(name.rfind("game/", 0) == 0, "written beside the game folder: " + name);
        if (allowed.count(name))
            continue;
        Check(made, "changed: " + name);
        Check(!fs::exists(fs::symlink_status(native_ + "/" + name)), "written: " + name);
    }
}

bool Game::Inside(const std::string& FullName) const {
    // The program spells the game folder as it was given, or in lower case on systems
    // whose names ignore case.
    if (FullName.size() <= path_.size() ||
        !TextCase::EqualIgnoringCase(FullName.substr(0, path_.size()), path_))
        return false;
    const std::string rest = FullName.substr(path_.size());
    if (rest.front() == '\\' || rest.front() == '/' || rest.find(':') != std::string::npos)
        return false;
    for (char c : rest)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = rest.find_first_of("\\/", start);
        const std::string component = rest.substr(start, end - start);
        if (component == "..")
            return false;
        if (end == std::string::npos)
            return !component.empty() && component != ".";
        start = end + 1;
    }
}

std::string Repeated(const std::string& Prefix, const std::string& Unit, std::size_t Size) {
    std::string text = Prefix;
    text.reserve(Size + Unit.size());
    while (text.size() < Size)
        text += Unit;
    return text;
}

void CheckLinearTime(const std::string& What, const std::function<std::string(std::size_t)>& Make,
                     const std::function<void(const std::string&)>& Read) {
    // The best of three runs: other programs on the machine only ever add time.
    auto seconds = [&](std::size_t size) {
        const std::string input = Make(size);
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            Read(input);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            best = std::min(best, took.count());
        }
        return best;
    };
    const double small = seconds(100 * 1024);
    const double large = seconds(1024 * 1024);
    // Ten times the size may take ten times as long, and a few times that for caches
    // and allocation (past some size, every copy of a line is memory fresh from the
    // system). A busy machine adds to both: below 5 ms time says little, and a reader
    // that goes over the text again per token takes seconds at 1 MB, not a fraction.
    const double limit = std::max(30 * std::max(small, 0.005), 0.5);
    if (large > limit) {
        std::ostringstream what;
        what << What << ": 100 KB took " << small << " s, 1 MB " << large
             << " s; reading is not linear in the size";
        Broken(what.str());
    }
}

std::vector<std::string> NonBlankLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = Text.size();
        const std::string line = Text.substr(start, end - start);
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos)
            lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
        start = end + 1;
    }
    return lines;
}

void Run(const std::function<void()>& Body) {
    try {
        Body();
    } catch (const QuillonError& error) {
        Broken("error " + std::to_string(error.Number) + " (" + error.Source +
               ") escaped: " + error.Description);
    } catch (const std::exception& error) {
        Broken(std::string("exception escaped: ") + error.what());
    } catch (...) {
        Broken("unknown exception escaped");
    }
}

}  // namespace Fuzz
