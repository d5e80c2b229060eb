#include "NativeFileSystem.h"
#include "NativeLauncher.h"
#include "QuillonError.h"
#include "Win32Support.h"

std::vector<std::string> NativeLauncher::CommandFor(const std::string& program) {
    if (!NativeFs::FileExists(program))
        throw QuillonError(PlatformError::FileNotFound, "Platform",
                           "Could not start " + program + ": the file does not exist.");
    return {NativeFs::NativePath(program)};
}

void NativeLauncher::Launch(const std::string& program) {
    const std::wstring file = Win32::Wide(CommandFor(program).front());
    // The program itself names the file to run, so no search along the PATH and no
    // shell; its command line is just its quoted name, as a shortcut would give it.
    std::wstring commandLine = L"\"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION process{};
    // Started by the program in front, the game's window is allowed to take the focus.
    if (!::CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        const DWORD error = ::GetLastError();
        long number = Win32::ErrorNumber(error);
        if (number == PlatformError::PathFileAccess)
            number = PlatformError::CannotStart;
        throw QuillonError(number, "Platform",
                           "Could not start " + program + ": " + Win32::SystemMessage(error));
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

bool NativeLauncher::StartsWindowMaximized() {
    return true;
}
