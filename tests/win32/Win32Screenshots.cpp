// quillon-win32-screenshots FOLDER: pictures of the Windows main window and setup
// manager on the demo game, for the documentation (scripts/screenshots.sh runs it in
// a Wine desktop, which draws the title bars).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Win32Program.h"

namespace {

// The window as the screen shows it, title bar and all, as a 24-bit BMP file.
bool SaveWindow(HWND window, const std::string& file) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Win32Program::Pump();
    RECT frame{};
    ::GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    const int lines = ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (lines != height)
        return false;

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon-win32-screenshots FOLDER\n");
        return 3;
    }
    const std::string folder = std::string(argv[1]) + "\\";
    Win32Program program;
    program.Start(std::vector<MsgResult>(10, MsgResult::Yes));

    // A player's main window: a setup applied, another one chosen.
    if (!program.ClickItem("lstSetups", "Night Mode"))
        return 1;
    program.Click("cmdApply");
    program.ClickItem("lstSetups", "Base Rules");
    ::SetFocus(program.Handle("lstSetups"));
    bool saved = SaveWindow(program.Window().Handle(), folder + "windows-main-window.bmp");

    // The manager with a setup of two mods and a mod's description.
    const bool shown = program.WithManager([&](Win32Form& manager) {
        program.Dialogs.InputAnswers.push_back("Big Map");
        program.Click("cmdNew");
        for (const char* key : {"baserules", "bigmap"}) {
            program.ClickItem("lstModis", key);
            program.Click("cmdAdd");
        }
        program.ClickItem("lstModis", "daymode");
        ::SetFocus(program.Handle("lstModis"));
        saved = SaveWindow(manager.Handle(), folder + "windows-setup-manager.bmp") && saved;
    });
    if (!shown || !saved) {
        std::fprintf(stderr, "quillon-win32-screenshots: the pictures could not be made\n");
        return 1;
    }
    return 0;
}
