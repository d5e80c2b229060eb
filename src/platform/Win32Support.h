#pragma once

// What the Windows sources of the native layer share: the system's header without the
// macros that would rename the native layer's own functions, the conversion between
// the program's 8-bit text (the system code page) and the wide text of the system's
// calls, and the system's errors as QuillonError.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// NativeFs has functions of these names; the macros would turn them into others.
#undef CopyFile
#undef DeleteFile
#undef ReplaceFile

#include <string>

namespace Win32 {

std::wstring Wide(const std::string& text);
// Sets *lossless to false when a character has no place in the code page (it then
// stands as "?").
std::string Narrow(const std::wstring& text, bool* lossless = nullptr);

// The system's own text for an error number, without its closing line end.
std::string SystemMessage(DWORD error);
// The PlatformError number for an error of the system.
long ErrorNumber(DWORD error);
[[noreturn]] void Raise(DWORD error, const std::string& what, const std::string& path);

}  // namespace Win32
