// The project's benchmark: synthetic game folders, C++ baselines doing the same file
// work as the program, and a runner that times both over several rounds.
//
//   quillon-bench generate SCALE FOLDER
//   quillon-bench run --headless PROGRAM --work FOLDER [--rounds N] [--quick] [SCALE...]
//   quillon-bench baseline SCENARIO FOLDER        (the runner starts this itself)
//
// Every folder is made from a fixed seed, so every run and every machine times the
// same files. The baselines read the plan the generator wrote beside the game folder
// and use the names exactly as they are on disk: they are plain copying, no more.
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Scale {
    const char* name;
    int gameFiles;
    int setupMods;
    int transfersPerMod;
    int definitions;
};

// The big setup of each scale; every definition beyond it is a small mod that only
// start-up reads.
const Scale kScales[] = {
    {"small", 2000, 4, 50, 50},
    {"medium", 50000, 20, 500, 1000},
    {"large", 200000, 50, 1000, 5000},
};
const int kFilesPerFolder = 100;
const int kFoldersPerGroup = 20;
const std::uint64_t kSeed = 0x51E11A5EEDull;
// Changes whenever the generator makes other folders, so a stale one is made again.
const char* const kGeneratorVersion = "quillon-bench folders 2";

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + (errno ? std::string(": ") + std::strerror(errno) : ""));
}

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

  private:
    std::uint64_t state_;
};

const Scale& ScaleNamed(const std::string& name) {
    for (const Scale& scale : kScales)
        if (name == scale.name)
            return scale;
    throw std::runtime_error("unknown scale " + name + " (small, medium or large)");
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        Fail("cannot create " + path);
}

void WriteFile(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail("cannot create " + path);
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0)
            Fail("cannot write " + path);
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    ::close(fd);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Text that looks like the game's data files: lines of words and numbers.
std::string GameText(Random& random, int size) {
    static const char* const words[] = {"Settler", "Spearman", "Archer", "Knight", "Catapult",
                                        "River",   "Forest",   "Hills",  "Gold",   "Library"};
    std::string text;
    text.reserve(static_cast<std::size_t>(size) + 32);
    while (static_cast<int>(text.size()) < size) {
        text += words[random.Below(10)];
        text += ',';
        text += std::to_string(random.Below(1000));
        text += random.Below(6) == 0 ? "\r\n" : ",";
    }
    return text;
}

// Game files as the game ships them: mixed-case folders and names.
std::string GameFolder(int file) {
    const int folder = file / kFilesPerFolder;
    return "Group" + std::to_string(folder / kFoldersPerGroup) + "/Set" + std::to_string(folder);
}
std::string GameName(int file) {
    return "Data_" + std::to_string(file) + ".txt";
}

struct PlannedTransfer {
    bool substitution;
    std::string from;  // relative to the game folder, as on disk
    std::string to;
};

// Writes FOLDER/game (the game folder, with quill.ini naming the big setup "Bench")
// and FOLDER/plan.txt (the big setup's transfers, one a line, for the baselines).
void Generate(const Scale& scale, const std::string& folder) {
    Random random(kSeed ^ static_cast<std::uint64_t>(scale.gameFiles));
    const std::string game = folder + "/game";
    MakeFolder(folder);
    MakeFolder(game);
    for (const char* sub : {"/qel2_program", "/qel2_program/qel", "/qel2_data",
                            "/qel2_data/default", "/qel2_data/default/gamedata", "/mods"})
        MakeFolder(game + sub);
    WriteFile(game + "/qel2_program/qel/userprofile.txt",
              "PlayerName=Bench\r\nNumPlayers=8\r\nMaxPlayers=16\r\nDebugVesk=No\r\n");
    const std::string data = game + "/qel2_data/default/gamedata/";
    for (int file = 0; file < scale.gameFiles; ++file) {
        if (file % kFilesPerFolder == 0) {
            const int set = file / kFilesPerFolder;
            if (set % kFoldersPerGroup == 0)
                MakeFolder(data + "Group" + std::to_string(set / kFoldersPerGroup));
            MakeFolder(data + GameFolder(file));
        }
        WriteFile(data + GameFolder(file) + "/" + GameName(file),
                  GameText(random, 512 + random.Below(6 * 1024)));
    }

    std::string plan;
    std::vector<std::string> mods;
    std::string setup = "Bench\r\n";
    for (int mod = 0; mod < scale.definitions; ++mod) {
        const std::string key = "mod" + std::to_string(mod);
        const bool big = mod < scale.setupMods;
        const int transfers = big ? scale.transfersPerMod : 4;
        std::string application;
        std::string substitution;
        std::string planned[2];
        MakeFolder(game + "/mods/" + key);
        for (int t = 0; t < transfers; ++t) {
            const std::string name = key + "_" + std::to_string(t) + ".txt";
            // One file in twenty is new to the game; the others replace game files,
            // and different mods may replace the same one.
            const int target = random.Below(scale.gameFiles);
            const std::string folderOnDisk = GameFolder(target);
            const std::string to = random.Below(20) == 0 ? "New_" + name : GameName(target);
            std::string folderWritten = folderOnDisk;
            // Definitions written on Windows often spell folders otherwise.
            if (random.Below(5) == 0)
                std::transform(folderWritten.begin(), folderWritten.end(), folderWritten.begin(),
                               [](char c) { return static_cast<char>(std::tolower(c)); });
            std::replace(folderWritten.begin(), folderWritten.end(), '/', '\\');
            const bool subst = random.Below(10) == 0;
            const std::string line = "mods\\" + key + "\\" + name + "\t%d\\gamedata\\" +
                                     folderWritten + "\\" + to + "\r\n";
            (subst ? substitution : application) += line;
            if (big) {
                WriteFile(game + "/mods/" + key + "/" + name,
                          GameText(random, 512 + random.Below(6 * 1024)));
                planned[subst ? 1 : 0] += std::string(subst ? "S" : "A") + "\tmods/" + key + "/" +
                                          name + "\tqel2_data/default/gamedata/" + folderOnDisk +
                                          "/" + to + "\n";
            }
        }
        // The program applies a mod's applications first, then its substitutions.
        plan += planned[0] + planned[1];
        WriteFile(game + "/mods/" + key + "_moddef.txt",
                  "// Generated for the benchmark\r\nKey\t" + key + "\r\nName\tBench Mod " +
                      std::to_string(mod) +
                      "\r\nVersion\t1.0\r\nDescription\r\nA mod made up for "
                      "timing switches.\r\nIt replaces game data files.\r\n@\r\n"
                      "CompatibleByDefault\tYes\r\nCreateSetup\tNo\r\nApplication\r\n" +
                      application + "@\r\nSubstitution\r\n" + substitution + "@\r\n");
        mods.push_back(key);
        if (big)
            setup += key + "\r\n";
    }
    // The program lists mods in the order of their definitions' names.
    std::sort(mods.begin(), mods.end(),
              [](const std::string& a, const std::string& b) { return a + "_" < b + "_"; });
    std::string modsSection;
    for (const std::string& key : mods)
        modsSection += key + "\tYes\t1.0\r\n";
    // quill.ini as the program writes it, and a log it has begun: a game folder in use,
    // whose start-up has nothing to set up for the first time.
    WriteFile(game + "/Quill.log", "");
    WriteFile(game + "/quill.ini",
              "Language\tenglish\r\nUserProfileOverride\tYes\r\nReinitialize\tNo\r\n"
              "RestoreOriginal\tNo\r\nLog\tYes\r\n\r\nMods\r\n" +
                  modsSection +
                  "@ // End of Mods\r\n\r\nSetups\r\nOriginal Game\r\n"
                  "@ // End of Original Game\r\n" +
                  setup +
                  "@ // End of Bench\r\n@ // End of Setups\r\n\r\nCurrentSetup\r\n"
                  "Original Game\r\n");
    WriteFile(folder + "/plan.txt", plan);
    WriteFile(folder + "/stamp.txt", std::string(kGeneratorVersion) + " " + scale.name + "\n");
}

// ---- The baselines: the same file work as the program, done plainly.

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

void CopyContents(int from, int to, const std::string& target) {
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0)
            return;
        if (copied < 0)
            break;
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return;
        if (got < 0 || ::write(to, buffer.data(), static_cast<std::size_t>(got)) != got)
            Fail("cannot copy to " + target);
    }
}

// A copy through a temporary sibling renamed over the target (crash-safe), or written
// straight into the target (what an unsafe tool does).
void Copy(const std::string& from, const std::string& to, bool inPlace) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        Fail("cannot open " + from);
    const std::string written = inPlace ? to : to + ".bench-part";
    const int out = ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0)
        Fail("cannot create " + written);
    CopyContents(in, out, to);
    ::close(in);
    if (::close(out) != 0)
        Fail("cannot write " + to);
    if (!inPlace && ::rename(written.c_str(), to.c_str()) != 0)
        Fail("cannot replace " + to);
}

std::string Sibling(const std::string& path, const char* prefix) {
    const std::size_t slash = path.rfind('/');
    return path.substr(0, slash + 1) + prefix + path.substr(slash + 1);
}

std::vector<PlannedTransfer> ReadPlan(const std::string& folder) {
    std::vector<PlannedTransfer> plan;
    std::istringstream lines(ReadFile(folder + "/plan.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        plan.push_back({line[0] == 'S', folder + "/game/" + line.substr(tab1 + 1, tab2 - tab1 - 1),
                        folder + "/game/" + line.substr(tab2 + 1)});
    }
    return plan;
}

// Applies the big setup: each replaced game file backed up once, then the mod's file.
void BaselineSwitch(const std::string& folder, bool inPlace) {
    for (const PlannedTransfer& transfer : ReadPlan(folder)) {
        const std::string orig = Sibling(transfer.to, "orig_");
        const std::string subst = Sibling(transfer.to, "subst_");
        const std::string& backup = transfer.substitution ? subst : orig;
        if (!Exists(backup)) {
            if (!transfer.substitution && Exists(subst))
                Copy(subst, backup, inPlace);
            else if (Exists(transfer.to))
                Copy(transfer.to, backup, inPlace);
        }
        Copy(transfer.from, transfer.to, inPlace);
    }
}

void RestoreTree(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> subFolders;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            subFolders.push_back(folder + "/" + name);
        else if (name.size() > 5 && strncasecmp(name.c_str(), "orig_", 5) == 0)
            Copy(folder + "/" + name, folder + "/" + name.substr(5), false);
    }
    ::closedir(dir);
    for (const std::string& sub : subFolders)
        RestoreTree(sub);
}

// Takes the big setup off, last transfer first, then copies every "orig_" back.
void BaselineRestore(const std::string& folder) {
    const std::vector<PlannedTransfer> plan = ReadPlan(folder);
    for (auto transfer = plan.rbegin(); transfer != plan.rend(); ++transfer) {
        const std::string orig = Sibling(transfer->to, "orig_");
        const std::string subst = Sibling(transfer->to, "subst_");
        const bool hasSubst = Exists(subst);
        if (Exists(orig))
            Copy(orig, transfer->to, false);
        else if (hasSubst)
            Copy(subst, transfer->to, false);
        if (hasSubst)
            ::unlink(subst.c_str());
    }
    RestoreTree(folder + "/game");
}

// Reads every definition once.
void BaselineStartup(const std::string& folder) {
    const std::string mods = folder + "/game/mods/";
    DIR* dir = ::opendir(mods.c_str());
    if (!dir)
        Fail("cannot list " + mods);
    std::size_t total = 0;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 11 && name.compare(name.size() - 11, 11, "_moddef.txt") == 0)
            total += ReadFile(mods + name).size();
    }
    ::closedir(dir);
    if (total == 0)
        Fail("no definitions in " + mods);
}

// ---- The runner.

struct Measure {
    double seconds;
    double peakMegabytes;
    double userSeconds;  // the processor's time in the program itself, not the system
};

// Runs a program in a folder with its output to a file, with the environment variables
// `environment` ("NAME=value") added; its time from start to end and its peak
// resident memory.
Measure RunChild(const std::vector<std::string>& arguments, const std::string& folder,
                 const std::string& input, const std::string& output,
                 const std::vector<std::string>& environment = {}) {
    // What the run before left for the disk to write is written first, not while this
    // one is timed.
    ::sync();
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        Fail("cannot start " + arguments[0]);
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        const int in = ::open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0)
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        for (const std::string& variable : environment)
            ::putenv(const_cast<char*>(variable.c_str()));
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) < 0)
        Fail("cannot wait for " + arguments[0]);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(arguments[0] + " failed in " + folder + " (see " + output + ")");
    return {took.count(), static_cast<double>(usage.ru_maxrss) / 1024.0,
            static_cast<double>(usage.ru_utime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec) / 1e6};
}

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void FreshCopy(const std::string& source, const std::string& copy) {
    Shell("rm -rf " + Quoted(copy) + " && cp -a " + Quoted(source) + " " + Quoted(copy));
}

// A transcript that shows a message box or an error means the program did not do the
// work it was timed for.
void CheckTranscript(const std::string& transcript) {
    const std::string text = ReadFile(transcript);
    if (text.find("MSGBOX") != std::string::npos || text.find("ERROR") != std::string::npos ||
        text.find("END") == std::string::npos)
        throw std::runtime_error("the program did not run cleanly: see " + transcript);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

constexpr int kStartupRuns = 5;

struct Scenario {
    const char* title;
    std::vector<double> program, baseline;
    double peak = 0;
    long work = 0;  // transfers or definitions
    const char* unit;
};

void RunScale(const Scale& scale, const std::string& headless, const std::string& self,
              const std::string& work, int rounds) {
    const std::string source = work + "/" + scale.name;
    const std::string stamp = std::string(kGeneratorVersion) + " " + scale.name + "\n";
    if (!Exists(source + "/stamp.txt") || ReadFile(source + "/stamp.txt") != stamp) {
        std::cerr << "generating the " << scale.name << " game folder...\n";
        Shell("rm -rf " + Quoted(source));
        MakeFolder(work);
        Generate(scale, source);
    }
    // Each scale has its own scripts and output files, so two runs can share a folder.
    const std::string scripts = source + "/scripts";
    MakeFolder(scripts);
    WriteFile(scripts + "/startup.txt", "start\n");
    WriteFile(scripts + "/switch.txt", "start\nselect lstSetups Bench\nclick cmdApply\n");
    WriteFile(scripts + "/restore.txt",
              "start\nclick chkRestoreOriginal\nselect lstSetups Original Game\nclick cmdApply\n");
    const long transfers = static_cast<long>(scale.setupMods) * scale.transfersPerMod;
    Scenario scenarios[] = {
        {"switch (safe copies)", {}, {}, 0, transfers, "transfers"},
        {"switch (in-place copies)", {}, {}, 0, transfers, "transfers"},
        {"careful restoration", {}, {}, 0, transfers, "transfers"},
        {"start-up", {}, {}, 0, scale.definitions, "definitions"},
        {"switch without the record (safe copies)", {}, {}, 0, transfers, "transfers"},
    };
    std::vector<std::string> copies;
    std::vector<double> recordShares;
    std::vector<double> recordUserSeconds;
    double lastUser = 0;
    const std::string transcript = source + "/transcript.txt";
    auto program = [&](const std::string& folder, const char* script, Scenario& into,
                       const std::vector<std::string>& environment = {}) {
        const Measure m = RunChild({headless, scripts + "/" + script}, folder + "/game", "",
                                   transcript, environment);
        CheckTranscript(transcript);
        into.program.push_back(m.seconds);
        into.peak = std::max(into.peak, m.peakMegabytes);
        lastUser = m.userSeconds;
        return m.seconds;
    };
    auto baseline = [&](const std::string& folder, const char* which, Scenario& into) {
        const Measure m =
            RunChild({self, "baseline", which, folder}, folder, "", source + "/baseline.txt");
        into.baseline.push_back(m.seconds);
        return m.seconds;
    };
    for (int round = 0; round < rounds; ++round) {
        std::cerr << scale.name << ": round " << round + 1 << " of " << rounds << "\n";
        // Removing a copied game folder takes as long as making it: the copies go when
        // the table is out.
        const std::string prefix = work + "/" + scale.name + "-round" + std::to_string(round + 1);
        const std::string a = prefix + "-a";
        const std::string b = prefix + "-b";
        const std::string c = prefix + "-c";
        const std::string d = prefix + "-d";
        for (const std::string& copy : {a, b, c, d}) {
            FreshCopy(source, copy);
            copies.push_back(copy);
        }
        Shell("sync");
        // Who goes first alternates, so neither always finds the caches the other left.
        const bool programFirst = round % 2 == 0;
        // Start-up leaves a settings file behind, so it runs on the copy that only the
        // in-place baseline uses after it.
        // A start-up takes a few hundredths of a second, where one late wake-up of the
        // system counts: each round starts both several times in turn and keeps their
        // medians.
        Scenario startups{};
        for (int run = 0; run < kStartupRuns; ++run) {
            if (programFirst == (run % 2 == 0)) {
                program(c, "startup.txt", startups);
                baseline(c, "startup", startups);
            } else {
                baseline(c, "startup", startups);
                program(c, "startup.txt", startups);
            }
        }
        scenarios[3].program.push_back(Median(startups.program));
        scenarios[3].baseline.push_back(Median(startups.baseline));
        scenarios[3].peak = std::max(scenarios[3].peak, startups.peak);
        // What the record of applied files costs: the same switch on a copy of its own
        // with the record turned off (a test hook, honoured by the bench build). A
        // switch on a folder that files were just removed from is slower (the file
        // system passes over the freed entries), so each switch has a fresh folder, and
        // the two copies change sides every round, so that neither one's place on the
        // disk counts for one side only.
        const std::string& recorded = programFirst ? a : d;
        const std::string& unrecorded = programFirst ? d : a;
        double switched = 0;
        auto switches = [&](bool recordFirst) {
            double user = 0;
            if (recordFirst) {
                switched = program(recorded, "switch.txt", scenarios[0]);
                user = lastUser;
            }
            program(unrecorded, "switch.txt", scenarios[4], {"QUILLON_TEST_NO_RECORD=1"});
            const double userWithout = lastUser;
            if (!recordFirst) {
                switched = program(recorded, "switch.txt", scenarios[0]);
                user = lastUser;
            }
            recordShares.push_back(100.0 * (switched - scenarios[4].program.back()) / switched);
            recordUserSeconds.push_back(user - userWithout);
        };
        if (programFirst) {
            switches(true);
            baseline(b, "switch-safe", scenarios[0]);
            baseline(c, "switch-in-place", scenarios[1]);
        } else {
            baseline(b, "switch-safe", scenarios[0]);
            baseline(c, "switch-in-place", scenarios[1]);
            switches(false);
        }
        scenarios[4].baseline.push_back(scenarios[0].baseline.back());
        scenarios[1].program.push_back(switched);
        scenarios[1].peak = scenarios[0].peak;
        // The baseline restores the folder its own safe switch left: the same backups.
        if (programFirst) {
            program(recorded, "restore.txt", scenarios[2]);
            baseline(b, "restore", scenarios[2]);
        } else {
            baseline(b, "restore", scenarios[2]);
            program(recorded, "restore.txt", scenarios[2]);
        }
    }
    std::printf(
        "\n%s: %d game files, %d mods x %d transfers, %d definitions; median of %d round%s\n",
        scale.name, scale.gameFiles, scale.setupMods, scale.transfersPerMod, scale.definitions,
        rounds, rounds == 1 ? "" : "s");
    std::printf(
        "| scenario | Quillon | baseline | ratio | Quillon rate | per item | peak memory |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Scenario& s : scenarios) {
        const double mine = Median(s.program);
        const double theirs = Median(s.baseline);
        std::printf("| %s | %.3f s | %.3f s | %.2fx | %.0f %s/s | %.1f us | %.1f MB |\n", s.title,
                    mine, theirs, mine / theirs, static_cast<double>(s.work) / mine, s.unit,
                    mine * 1e6 / static_cast<double>(s.work), s.peak);
    }
    // Each round's two switches ran one after the other on twin copies: their
    // difference is the record's, where the medians of the two rows may come from
    // rounds that the disk made slower or faster as a whole.
    std::string each;
    for (double share : recordShares) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%.1f%%", each.empty() ? "" : ", ", share);
        each += text;
    }
    std::printf("The record of applied files: %.1f%% of a switch (median of the rounds: %s)\n",
                Median(recordShares), each.c_str());
    // The time the program itself spends on the record, which the file system's moods
    // do not move: what the share above would be on a quiet disk, less the system
    // calls the record adds.
    std::printf("The record's own work in the program: %.3f s, %.1f%% of a switch\n",
                Median(recordUserSeconds),
                100.0 * Median(recordUserSeconds) / Median(scenarios[0].program));
    std::fflush(stdout);
    std::string remove = "rm -rf";
    for (const std::string& copy : copies)
        remove += " " + Quoted(copy);
    Shell(remove);
}

std::string SelfPath() {
    std::vector<char> buffer(4096);
    const ssize_t size = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (size <= 0)
        Fail("cannot find this program");
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

std::string Absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    std::vector<char> buffer(4096);
    if (!::getcwd(buffer.data(), buffer.size()))
        Fail("cannot read the current folder");
    return std::string(buffer.data()) + "/" + path;
}

int Usage() {
    std::cerr << "usage: quillon-bench run --headless PROGRAM --work FOLDER [--rounds N] [--quick] "
                 "[small|medium|large...]\n"
                 "       quillon-bench generate SCALE FOLDER\n";
    return 2;
}

int Main(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "generate") {
        Generate(ScaleNamed(args[1]), Absolute(args[2]));
        return 0;
    }
    if (args.size() == 3 && args[0] == "baseline") {
        const std::string& which = args[1];
        if (which == "switch-safe")
            BaselineSwitch(args[2], false);
        else if (which == "switch-in-place")
            BaselineSwitch(args[2], true);
        else if (which == "restore")
            BaselineRestore(args[2]);
        else if (which == "startup")
            BaselineStartup(args[2]);
        else
            return Usage();
        return 0;
    }
    if (args.empty() || args[0] != "run")
        return Usage();
    std::string headless;
    std::string work;
    int rounds = 3;
    std::vector<std::string> scales;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--headless" && i + 1 < args.size())
            headless = Absolute(args[++i]);
        else if (args[i] == "--work" && i + 1 < args.size())
            work = Absolute(args[++i]);
        else if (args[i] == "--rounds" && i + 1 < args.size())
            rounds = std::max(1, std::atoi(args[++i].c_str()));
        else if (args[i] == "--quick") {
            rounds = 1;
            scales = {"small"};
        } else if (args[i][0] != '-')
            scales.push_back(args[i]);
        else
            return Usage();
    }
    if (headless.empty() || work.empty())
        return Usage();
    if (scales.empty())
        scales = {"medium", "large"};
    MakeFolder(work);
    for (const std::string& scale : scales)
        RunScale(ScaleNamed(scale), headless, SelfPath(), work, rounds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Main(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "quillon-bench: " << error.what() << "\n";
        return 1;
    }
}
