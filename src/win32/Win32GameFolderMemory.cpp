#include "Win32GameFolderMemory.h"

// The system header first.
#include "Win32Support.h"

#include <cstdlib>
#include <vector>

namespace {
const wchar_t* const kSection = L"Quillon";
const wchar_t* const kKey = L"GameFolder";

// The settings file's folder; empty when the user has no application data folder.
std::wstring SettingsFolder() {
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    if (!appData || !*appData)
        return L"";
    return std::wstring(appData) + L"\\Quillon";
}
}  // namespace

std::string Win32GameFolderMemory::Recall() const {
    const std::wstring folder = SettingsFolder();
    if (folder.empty())
        return "";
    std::vector<wchar_t> value(32768, L'\0');
    ::GetPrivateProfileStringW(kSection, kKey, L"", value.data(), static_cast<DWORD>(value.size()),
                               (folder + L"\\Quillon.ini").c_str());
    return Win32::Narrow(value.data());
}

void Win32GameFolderMemory::Remember(const std::string& folder) {
    const std::wstring settings = SettingsFolder();
    if (settings.empty())
        return;
    std::wstring value = Win32::Wide(folder);
    while (value.size() > 3 && value.back() == L'\\')
        value.pop_back();
    // Not remembering is no reason to stop the program: the next start asks again.
    ::CreateDirectoryW(settings.c_str(), nullptr);
    ::WritePrivateProfileStringW(kSection, kKey, value.c_str(),
                                 (settings + L"\\Quillon.ini").c_str());
}
