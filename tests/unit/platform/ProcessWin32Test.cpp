// The process on Windows: its raw command line, starting the game, the clock.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Clock.h"
#include "CommandLine.h"
#include "NativeFileSystem.h"
#include "NativeLauncher.h"
#include "QuillonError.h"
#include "TempFolder.h"
#include "Win32Support.h"

namespace {

std::wstring W(const std::string& text) {
    return Win32::Wide(text);
}

std::string ThisProgram() {
    wchar_t name[MAX_PATH * 4];
    const DWORD size = ::GetModuleFileNameW(nullptr, name, MAX_PATH * 4);
    return Win32::Narrow(std::wstring(name, size));
}

const wchar_t* const kReportVariable = L"QUILLON_CHILD_REPORT";

// Runs start() with the environment that makes this test program, started again,
// run only Win32Child.DISABLED_Report; returns the lines of its report.
template <typename Start>
std::vector<std::string> ChildReport(const TempFolder& tmp, Start start) {
    const std::string report = tmp.Path() + "report.txt";
    const std::vector<std::pair<const wchar_t*, std::wstring>> variables = {
        {kReportVariable, W(report)},
        {L"GTEST_FILTER", L"Win32Child.DISABLED_Report"},
        {L"GTEST_ALSO_RUN_DISABLED_TESTS", L"1"},
        {L"GTEST_BRIEF", L"1"}};
    for (const auto& [name, value] : variables)
        ::SetEnvironmentVariableW(name, value.c_str());
    start();
    for (const auto& [name, value] : variables)
        ::SetEnvironmentVariableW(name, nullptr);
    // The report appears whole: the child writes it through the crash-safe output.
    for (int waited = 0; waited < 600 && !NativeFs::FileExists(report); ++waited)
        ::Sleep(50);
    std::vector<std::string> lines;
    if (!NativeFs::FileExists(report))
        return lines;
    NativeFs::InputFile in(report);
    while (!in.AtEnd())
        lines.emplace_back(in.ReadLine());
    return lines;
}

}  // namespace

// Not a test: the program started by the tests below, reporting what it was given.
TEST(Win32Child, DISABLED_Report) {
    const char* report = std::getenv("QUILLON_CHILD_REPORT");
    if (!report)
        GTEST_SKIP();
    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    NativeFs::OutputFile out(report, NativeFs::OutputFile::Mode::Replace);
    out.Write(ProcessCommandLine(0, nullptr) + "\r\n");
    out.Write((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : "-");
    out.Write("\r\n" + NativeFs::CurrentFolder() + "\r\n");
    out.Close();
}

TEST(CommandLineWin32, TheTailFollowsTheProgramsNameAsTyped) {
    struct Case {
        const wchar_t* line;
        const wchar_t* tail;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Quillon\\quillon.exe\" -path \"D:\\Games\\QEL2\" -launch",
         L"-path \"D:\\Games\\QEL2\" -launch"},
        {L"quillon.exe \t -setup \"My Setup\"  ", L"-setup \"My Setup\"  "},
        {L"C:\\Quillon\\quillon.exe -path D:\\Games\\QEL2", L"-path D:\\Games\\QEL2"},
        {L"\"C:\\Quillon\\quillon.exe\"-launch", L"-launch"},
        {L"quillon.exe", L""},
        {L"\"C:\\Quillon\\quillon.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandLineTail(c.line), c.tail) << Win32::Narrow(c.line);
}

TEST(CommandLineWin32, TheProcessReadsItsOwnCommandLineInTheCodePage) {
    TempFolder tmp;
    std::wstring words = L"-path \"C:\\My Games\\QEL2\" -launch";
    std::string expected = "-path \"C:\\My Games\\QEL2\" -launch";
    if (::GetACP() == 1252) {
        words += L" -setup \"\u00c4pfel\"";
        expected += " -setup \"\xC4pfel\"";
    }
    const std::wstring program = W(ThisProgram());
    const std::vector<std::string> report = ChildReport(tmp, [&] {
        std::wstring line = L"\"" + program + L"\"  " + words;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &process));
        ::WaitForSingleObject(process.hProcess, 60000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    });
    ASSERT_FALSE(report.empty()) << "the program started gave no report";
    EXPECT_EQ(report[0], expected);
}

TEST(NativeLauncherWin32, TheGameStartsMaximizedInTheCurrentFolder) {
    TempFolder tmp;
    const std::vector<std::string> report =
        ChildReport(tmp, [] { NativeLauncher().Launch(ThisProgram()); });
    ASSERT_EQ(report.size(), 3u) << "the program started gave no report";
    EXPECT_EQ(report[0], "");
    EXPECT_EQ(report[1], std::to_string(SW_SHOWMAXIMIZED));
    EXPECT_EQ(report[2], NativeFs::CurrentFolder());
}

TEST(NativeLauncherWin32, AGameThatCannotStartIsAnErrorNotTheEnd) {
    TempFolder tmp;
    try {
        NativeLauncher().Launch(tmp.Path() + "qel2.exe");
        ADD_FAILURE() << "a missing program started";
    } catch (const QuillonError& error) {
        EXPECT_EQ(error.Number, PlatformError::FileNotFound);
        EXPECT_NE(error.Description.find("qel2.exe"), std::string::npos);
    }
    tmp.Write("qel2.exe", "not a program\r\n");
    EXPECT_THROW(NativeLauncher().Launch(tmp.Path() + "qel2.exe"), QuillonError);
}

TEST(ClockWin32, DateAndTimeAreText) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char year[8];
    std::snprintf(year, sizeof year, "%02d", now.wYear % 100);
    EXPECT_NE(Clock::DateText().find(year), std::string::npos) << Clock::DateText();
    EXPECT_FALSE(Clock::TimeText().empty());
}

#endif  // _WIN32
