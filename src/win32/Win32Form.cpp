#include "Win32Form.h"

// The system header first: the controls' and dialogs' headers need it.
#include "Win32Support.h"

#include <commctrl.h>

#include <algorithm>

#include "EventGuard.h"
#include "QuillonError.h"
#include "Win32Events.h"
#include "Win32Text.h"

using Win32Text::ToWide;

namespace {
constexpr wchar_t kClass[] = L"QuillonForm";

void RegisterClassOnce() {
    static bool registered = false;
    if (registered)
        return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    // The program's icon is its first icon resource; test programs have none.
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!windowClass.hIcon)
        windowClass.hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClass;
    if (!::RegisterClassExW(&windowClass))
        Win32::Raise(::GetLastError(), "Could not register the window class", "QuillonForm");
    registered = true;
}

bool IsForm(HWND window) {
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    return std::wstring(name) == kClass;
}

// The system's calls for a monitor's own DPI, where the system has them.
UINT DpiOf(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow && window)
        if (const UINT dpi = forWindow(window))
            return dpi;
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

// The system's message font (the one its own dialogs use) at a DPI.
LOGFONTW MessageFont(UINT dpi) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return metrics.lfMessageFont;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const UINT system = DpiOf(nullptr);
    metrics.lfMessageFont.lfHeight =
        ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
    return metrics.lfMessageFont;
}

// A caption as drawn: "&&" is an ampersand, a single "&" marks the accelerator.
std::wstring Drawn(const std::wstring& caption) {
    std::wstring drawn;
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] == L'&' && at + 1 < caption.size())
            ++at;
        drawn += caption[at];
    }
    return drawn;
}

}  // namespace

Win32Form::Win32Form(const WindowDescription& Description, bool resizable)
    : Form(Description), resizable_(resizable) {
    RegisterClassOnce();
    // Not WS_CLIPCHILDREN: the frames (group boxes) leave their inside to the window.
    DWORD style = WS_CAPTION | WS_SYSMENU;
    if (!Description.Dialog)
        style |= WS_OVERLAPPEDWINDOW;
    else if (resizable)
        style |= WS_POPUP | WS_THICKFRAME;
    else
        style |= WS_POPUP | DS_MODALFRAME;
    const DWORD exStyle = WS_EX_CONTROLPARENT | (Description.Dialog ? WS_EX_DLGMODALFRAME : 0);
    handle_ = ::CreateWindowExW(exStyle, kClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!handle_)
        Win32::Raise(::GetLastError(), "Could not create the window", Description.Name);
    ::SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    UseFont(DpiOf(handle_));
}

Win32Form::~Win32Form() {
    destroying_ = true;
    if (modal_ && owner_)
        ::EnableWindow(owner_, TRUE);
    ::DestroyWindow(handle_);
    if (font_)
        ::DeleteObject(font_);
}

void Win32Form::Adopt(const std::string& name, std::unique_ptr<Win32Widget> widget) {
    ::SendMessageW(widget->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    order_.push_back(widget.get());
    widgets_[name] = std::move(widget);
}

Win32Widget* Win32Form::Widget(const std::string& name) const {
    auto found = widgets_.find(name);
    return found == widgets_.end() ? nullptr : found->second.get();
}

Control* Win32Form::FindControl(const std::string& name) {
    return dynamic_cast<Control*>(Widget(name));
}

void Win32Form::UseFont(UINT dpi) {
    LOGFONTW described = MessageFont(dpi);
    HFONT font = ::CreateFontIndirectW(&described);
    if (!font)
        return;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    SIZE letters{};
    const wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    ::GetTextExtentPoint32W(dc, alphabet, 52, &letters);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    charWidth_ = (letters.cx / 26 + 1) / 2;
    charHeight_ = metrics.tmHeight;
    lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
    for (Win32Widget* widget : order_)
        ::SendMessageW(widget->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_)
        ::DeleteObject(font_);
    font_ = font;
}

int Win32Form::DluX(int units) const {
    return ::MulDiv(units, charWidth_, 4);
}

int Win32Form::DluY(int units) const {
    return ::MulDiv(units, charHeight_, 8);
}

int Win32Form::TextWidth(const std::string& name) const {
    const Win32Widget* widget = Widget(name);
    const std::wstring text = widget ? Drawn(WindowText(widget->Handle())) : ToWide(name);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font_);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return size.cx;
}

int Win32Form::TextHeight(const std::string& name, int width) const {
    const Win32Widget* widget = Widget(name);
    std::wstring text = widget ? WindowText(widget->Handle()) : ToWide(name);
    if (text.empty())
        return lineHeight_;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font_);
    RECT rect{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return rect.bottom - rect.top;
}

void Win32Form::Place(const std::string& name, int x, int y, int width, int height) {
    if (measuring_)
        return;
    if (Win32Widget* widget = Widget(name))
        ::MoveWindow(widget->Handle(), x, y, width < 0 ? 0 : width, height < 0 ? 0 : height, TRUE);
}

SIZE Win32Form::MinimumClient() {
    if (!layout_)
        return SIZE{0, 0};
    measuring_ = true;
    const SIZE size = layout_(*this, SIZE{0, 0});
    measuring_ = false;
    return size;
}

void Win32Form::LayOut() {
    if (!layout_ || destroying_)
        return;
    // The status bar places itself along the bottom.
    for (Win32Widget* widget : order_)
        if (auto* bar = dynamic_cast<Win32StatusBar*>(widget))
            ::SendMessageW(bar->Handle(), WM_SIZE, 0, 0);
    RECT client{};
    ::GetClientRect(handle_, &client);
    layout_(*this, SIZE{client.right, client.bottom});
    for (Win32Widget* widget : order_) {
        if (auto* list = dynamic_cast<Win32ListView*>(widget))
            list->FitColumns();
        else if (auto* bar = dynamic_cast<Win32StatusBar*>(widget))
            bar->FitPanels();
        else if (auto* upDown = dynamic_cast<Win32UpDown*>(widget))
            upDown->Reattach();
    }
}

void Win32Form::SetCaption(const std::string& caption) {
    ::SetWindowTextW(handle_, ToWide(caption).c_str());
}

void Win32Form::Centre(HWND over) {
    if (placed_)
        return;
    placed_ = true;
    const SIZE client = MinimumClient();
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(handle_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(handle_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT area{};
    if (over && ::IsWindowVisible(over)) {
        ::GetWindowRect(over, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(over ? over : handle_, MONITOR_DEFAULTTOPRIMARY),
                          &monitor);
        area = monitor.rcWork;
    }
    int x = (area.left + area.right - width) / 2;
    int y = (area.top + area.bottom - height) / 2;
    // A dialog over a small window stays on its screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY), &monitor);
    x = std::max<int>(monitor.rcWork.left, std::min<int>(x, monitor.rcWork.right - width));
    y = std::max<int>(monitor.rcWork.top, std::min<int>(y, monitor.rcWork.bottom - height));
    ::SetWindowPos(handle_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}

void Win32Form::Show() {
    Centre(nullptr);
    ::ShowWindow(handle_, SW_SHOW);
    ::SetForegroundWindow(handle_);
    if (!focus_ || !::IsChild(handle_, ::GetFocus()))
        ::SetFocus(::GetNextDlgTabItem(handle_, nullptr, FALSE));
    Win32Events::Raise(Activate);
}

void Win32Form::ShowModal() {
    HWND owner = ::GetActiveWindow();
    if (owner == handle_)
        owner = nullptr;
    // Owned, the dialog stays in front of the window it was opened over.
    ::SetWindowLongPtrW(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    owner_ = owner;
    modal_ = true;
    if (owner_)
        ::EnableWindow(owner_, FALSE);
    Centre(owner_);
    ::ShowWindow(handle_, SW_SHOW);
    ::SetForegroundWindow(handle_);
    if (!::IsChild(handle_, ::GetFocus()))
        ::SetFocus(::GetNextDlgTabItem(handle_, nullptr, FALSE));
    Win32Events::Raise(Activate);
    MSG message{};
    while (::IsWindowVisible(handle_) && !EventGuard::Ending()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is quitting: the loop outside must see it too.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0)
            break;
        Dispatch(message);
    }
    Hide();
    modal_ = false;
    owner_ = nullptr;
}

void Win32Form::Hide() {
    // The owner is enabled before the dialog goes, so that it and not some other
    // program's window becomes the active one.
    if (modal_ && owner_) {
        ::EnableWindow(owner_, TRUE);
        if (::IsWindowVisible(handle_))
            ::SetActiveWindow(owner_);
    }
    ::ShowWindow(handle_, SW_HIDE);
}

bool Win32Form::Visible() const {
    return ::IsWindowVisible(handle_) != FALSE;
}

void Win32Form::Close() {
    Hide();
    if (Closed)
        Closed();
}

void Win32Form::Refresh() {
    if (!Visible())
        return;
    for (Win32Widget* widget : order_)
        if (dynamic_cast<Win32ProgressBar*>(widget) || dynamic_cast<Win32StatusBar*>(widget))
            ::UpdateWindow(widget->Handle());
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
        ::DispatchMessageW(&message);
    while (::PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           ::PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void Win32Form::PressEnter() {
    HWND focus = ::GetFocus();
    for (Win32Widget* widget : order_)
        if (widget->Handle() == focus && widget->IsButton()) {
            ::SendMessageW(focus, BM_CLICK, 0, 0);
            return;
        }
    if (Win32Widget* button = Widget(DefaultButton))
        ::SendMessageW(button->Handle(), BM_CLICK, 0, 0);
}

void Win32Form::PressEscape() {
    if (Win32Widget* button = Widget(CancelButton))
        ::SendMessageW(button->Handle(), BM_CLICK, 0, 0);
    else if (Description().Dialog)
        ::SendMessageW(handle_, WM_CLOSE, 0, 0);
}

void Win32Form::Dispatch(MSG& message) {
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && IsForm(root) && ::IsDialogMessageW(root, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

int Win32Form::RunMessageLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        Dispatch(message);
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Win32Form::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form || form->destroying_)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(message, wParam, lParam);
}

LRESULT Win32Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK && lParam == 0) {
                PressEnter();
            } else if (id == IDCANCEL && lParam == 0) {
                PressEscape();
            } else if (id >= kFirstId && id < NextId()) {
                order_[static_cast<std::size_t>(id - kFirstId)]->Command(HIWORD(wParam));
            }
            return 0;
        }
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            const auto id = static_cast<int>(header.idFrom);
            if (id >= kFirstId && id < NextId())
                return order_[static_cast<std::size_t>(id - kFirstId)]->Notify(header);
            return 0;
        }
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED)
                LayOut();
            return 0;
        case WM_GETMINMAXINFO: {
            const SIZE client = MinimumClient();
            RECT frame{0, 0, client.cx, client.cy};
            ::AdjustWindowRectEx(&frame,
                                 static_cast<DWORD>(::GetWindowLongPtrW(handle_, GWL_STYLE)), FALSE,
                                 static_cast<DWORD>(::GetWindowLongPtrW(handle_, GWL_EXSTYLE)));
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = POINT{frame.right - frame.left, frame.bottom - frame.top};
            if (!resizable_)
                limits->ptMaxTrackSize = limits->ptMinTrackSize;
            return 0;
        }
        case WM_CLOSE: {
            if (!EventGuard::Ending() && QueryClose) {
                bool keepOpen = false;
                Win32Events::Raise([this, &keepOpen] { keepOpen = QueryClose(); });
                if (keepOpen)
                    return 0;
            }
            Close();
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        case WM_ACTIVATE:
            // The focus comes back to the control that had it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(handle_, focus))
                    focus_ = focus;
            } else if (focus_ && ::IsWindow(focus_)) {
                ::SetFocus(focus_);
                return 0;
            }
            break;
        case 0x02E0: {  // WM_DPICHANGED: the window moved to a screen of another DPI.
            UseFont(HIWORD(wParam));
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(handle_, nullptr, suggested.left, suggested.top,
                           suggested.right - suggested.left, suggested.bottom - suggested.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut();
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

int Win32Form::HeightOf(const std::string& name) const {
    const Win32Widget* widget = Widget(name);
    if (!widget)
        return 0;
    if (dynamic_cast<const Win32StatusBar*>(widget))
        ::SendMessageW(widget->Handle(), WM_SIZE, 0, 0);
    RECT rect{};
    ::GetWindowRect(widget->Handle(), &rect);
    return rect.bottom - rect.top;
}
