#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "RecordingDialogs.h"
#include "TempFolder.h"
#include "Win32Form.h"
#include "Win32FormFactory.h"

class frmMain;

// The Windows desktop program in-process on a fresh copy of the demo game: the real
// windows and window logic, driven by window messages as a user's mouse and keys
// would, with the message boxes, file dialogs and game launches answered through the
// same seams the program uses.
class Win32Program {
  public:
    // launcher: the one the program starts the game with (null: a recording one).
    explicit Win32Program(Launcher* launcher = nullptr);
    ~Win32Program();

    // Starts the program with these answers for start-up's questions and shows the
    // main window; answers left over are dropped.
    void Start(std::vector<MsgResult> answers);
    Win32Form& Window();
    // The window the user is in: the setup manager while it is shown, else the main window.
    Win32Form& Front() const;
    HWND Handle(const std::string& name) const;

    // A click on a button or check box, as the mouse gives it.
    void Click(const std::string& name);
    // A click (or double click) on the item with this key; false when the list has none.
    bool ClickItem(const std::string& list, const std::string& key, bool twice = false);
    // A key pressed and released on a control, through the program's message handling.
    void Key(const std::string& name, WPARAM key);
    std::vector<std::string> Keys(const std::string& list);
    // The text a control shows, as the system holds it.
    static std::wstring Shown(HWND window);

    // Runs work once the current window's message loop runs next (a modal window's
    // own loop included).
    static void Later(std::function<void()> work);
    // Handles the messages waiting for the program's windows.
    static void Pump();
    // Presses the button of the window in front and runs drive on the window it shows
    // modally, which must be the one named Window; that window is hidden afterwards.
    // False when it was never shown.
    bool WithWindow(const std::string& Button, const std::string& Window,
                    const std::function<void(Win32Form&)>& drive);
    // The same for "Manage..." and the setup manager.
    bool WithManager(const std::function<void(Win32Form&)>& drive);

    TempFolder Game;
    RecordingDialogs Dialogs;
    QueuedFileDialog FileDialog;
    RecordingLauncher GameLauncher;
    Win32FormFactory Factory;
    std::unique_ptr<frmMain> Main;

  private:
    Launcher* launcher_;
};
