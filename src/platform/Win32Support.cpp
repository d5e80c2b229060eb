#include "Win32Support.h"

#include "QuillonError.h"

namespace Win32 {

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& text, bool* lossless) {
    if (lossless)
        *lossless = true;
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    // With UTF-8 as the system code page every character has its place, and the
    // system refuses to say whether one was replaced.
    BOOL replaced = FALSE;
    BOOL* ask = (lossless && ::GetACP() != CP_UTF8) ? &replaced : nullptr;
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), size, nullptr, ask);
    if (lossless && replaced)
        *lossless = false;
    return narrow;
}

std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD size = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = size > 0 && buffer ? std::wstring(buffer, size) : std::wstring();
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        return "system error " + std::to_string(error);
    return Narrow(text);
}

long ErrorNumber(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return PlatformError::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_BAD_NETPATH:
        case ERROR_DIRECTORY:
        case ERROR_NOT_READY:
            return PlatformError::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return PlatformError::PermissionDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return PlatformError::DiskFull;
        default:
            return PlatformError::PathFileAccess;
    }
}

void Raise(DWORD error, const std::string& what, const std::string& path) {
    throw QuillonError(ErrorNumber(error), "Platform",
                       what + " " + path + ": " + SystemMessage(error));
}

}  // namespace Win32
