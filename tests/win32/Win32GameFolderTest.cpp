// The game folder the Windows program remembers, in the user's application data.
#include <gtest/gtest.h>

#include "Win32Support.h"

#include <cstdlib>

#include "TempFolder.h"
#include "Win32GameFolderMemory.h"

TEST(Win32GameFolderMemory, RemembersTheGameFolderInTheApplicationData) {
    TempFolder appData;
    const wchar_t* previous = ::_wgetenv(L"APPDATA");
    const std::wstring kept = previous ? previous : L"";
    ::_wputenv_s(L"APPDATA", Win32::Wide(appData.Native()).c_str());

    Win32GameFolderMemory memory;
    const std::string nothing = memory.Recall();
    memory.Remember("C:\\Games\\QEL2 Gold\\");
    const std::string remembered = Win32GameFolderMemory().Recall();
    const bool written = appData.Exists("Quillon\\Quillon.ini");

    ::_wputenv_s(L"APPDATA", kept.c_str());
    EXPECT_EQ(nothing, "");
    EXPECT_EQ(remembered, "C:\\Games\\QEL2 Gold");
    EXPECT_TRUE(written);
}
