#include "Win32Program.h"

#include <commctrl.h>

#include <deque>
#include <filesystem>

#include "NativeFileSystem.h"
#include "Win32Text.h"
#include "frmMain.h"
#include "frmManageSetups.h"

namespace {
std::deque<std::function<void()>> gLater;

LRESULT CALLBACK LaterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP)
        return ::DefWindowProcW(window, message, wParam, lParam);
    while (!gLater.empty()) {
        std::function<void()> work = std::move(gLater.front());
        gLater.pop_front();
        work();
    }
    return 0;
}

HWND LaterWindow() {
    static HWND window = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = LaterProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillonTestLater";
        ::RegisterClassW(&windowClass);
        return ::CreateWindowW(L"QuillonTestLater", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}
}  // namespace

Win32Program::Win32Program(Launcher* launcher) : launcher_(launcher) {
    static const bool initialized = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)initialized;
    std::filesystem::copy(QUILLON_DEMO_GAME, Game.Native(),
                          std::filesystem::copy_options::recursive);
    NativeFs::ForgetCachedFolders();
}

Win32Program::~Win32Program() {
    Main.reset();
    Pump();
}

void Win32Program::Start(std::vector<MsgResult> answers) {
    Dialogs.Answers.assign(answers.begin(), answers.end());
    Main = std::make_unique<frmMain>(Factory, FileDialog, launcher_ ? *launcher_ : GameLauncher,
                                     "-path \"" + Game.Path() + "\"");
    Main->Load();
    Dialogs.Answers.clear();
    if (!Main->Ended())
        Main->Window().Show();
    Pump();
}

Win32Form& Win32Program::Window() {
    return dynamic_cast<Win32Form&>(Main->Window());
}

Win32Form& Win32Program::Front() const {
    auto& main = dynamic_cast<Win32Form&>(Main->Window());
    HWND active = ::GetActiveWindow();
    if (active && active != main.Handle()) {
        auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(active, GWLP_USERDATA));
        if (form && form->Handle() == active)
            return *form;
    }
    return main;
}

HWND Win32Program::Handle(const std::string& name) const {
    Win32Widget* widget = Front().Widget(name);
    return widget ? widget->Handle() : nullptr;
}

void Win32Program::Click(const std::string& name) {
    ::SendMessageW(Handle(name), BM_CLICK, 0, 0);
}

bool Win32Program::ClickItem(const std::string& list, const std::string& key, bool twice) {
    auto* view = dynamic_cast<Win32ListView*>(Front().Widget(list));
    const int index = view ? view->FindKey(key) : 0;
    if (index == 0)
        return false;
    // The list selects the item under the mouse and tells its window of the click.
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(view->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index - 1),
                   reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = view->Handle();
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(view->Handle()));
    click.hdr.code = NM_CLICK;
    click.iItem = index - 1;
    HWND parent = ::GetParent(view->Handle());
    ::SendMessageW(parent, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    // The double click may change the list (the manager adds the mod it names).
    const bool chosen = view->SelectedIndex() == index;
    if (twice) {
        click.hdr.code = NM_DBLCLK;
        ::SendMessageW(parent, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }
    return chosen;
}

void Win32Program::Key(const std::string& name, WPARAM key) {
    HWND target = Handle(name);
    ::SetFocus(target);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG event{target, message, key, message == WM_KEYUP ? LPARAM(0xC0000001) : 1, 0, {}};
        Win32Form::Dispatch(event);
    }
}

std::vector<std::string> Win32Program::Keys(const std::string& list) {
    std::vector<std::string> keys;
    auto* view = dynamic_cast<Win32ListView*>(Front().Widget(list));
    for (int index = 1; view && index <= view->Count(); ++index)
        keys.push_back(view->Key(index));
    return keys;
}

std::wstring Win32Program::Shown(HWND window) {
    return WindowText(window);
}

void Win32Program::Later(std::function<void()> work) {
    gLater.push_back(std::move(work));
    ::PostMessageW(LaterWindow(), WM_APP, 0, 0);
}

void Win32Program::Pump() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        Win32Form::Dispatch(message);
}

bool Win32Program::WithWindow(const std::string& Button, const std::string& Window,
                              const std::function<void(Win32Form&)>& drive) {
    bool shown = false;
    Later([&] {
        Win32Form& window = Front();
        if (window.Description().Name != Window || !window.Visible())
            return;
        shown = true;
        drive(window);
        if (window.Visible())
            window.Hide();
    });
    Click(Button);
    return shown;
}

bool Win32Program::WithManager(const std::function<void(Win32Form&)>& drive) {
    return WithWindow("cmdManageSetups", "frmManageSetups", drive);
}
