// A stand-in for the game program on Windows, as the demo game's shell script is
// elsewhere: it only notes each start in qel2_started.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring stamp(self, length);
    stamp = stamp.substr(0, stamp.find_last_of(L'\\') + 1) + L"qel2_started.txt";
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char line[64];
    const int size =
        std::snprintf(line, sizeof line, "QEL2 started %04u-%02u-%02u %02u:%02u:%02u\r\n",
                      now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    HANDLE file = ::CreateFileW(stamp.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    ::CloseHandle(file);
    return ok ? 0 : 1;
}
