#pragma once

#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "QtFormFactory.h"
#include "RecordingDialogs.h"
#include "TempFolder.h"

class frmMain;
class QtForm;
class QtListView;

// The desktop program on a fresh copy of the demo game: the real windows and
// window logic, with the message boxes, file dialogs and game launches answered
// through the same seams the program uses.
class QtProgram {
  public:
    QtProgram();
    ~QtProgram();

    // Starts the program with these answers for start-up's questions and shows the
    // main window; answers left over are dropped.
    void Start(std::vector<MsgResult> answers);
    QtForm& Window();

    // A control of the main window, or of the setup manager while it is shown.
    template <typename Widget>
    Widget* Control(const char* name) const;

    // Clicks the item with this key; false when the list has none.
    static bool ClickKey(QtListView* list, const std::string& key);
    // Clicks a check box on its box (its caption may end left of the widget's middle).
    static void ClickBox(QWidget* box);
    // Keys of a list's items in order.
    static std::vector<std::string> Keys(QtListView* list);

    // Presses the button of the window in front and runs drive on the window it shows
    // modally, which must be the one named Window. That window is hidden afterwards
    // whatever drive did; false when it was never shown.
    bool WithWindow(const char* Button, const char* Window,
                    const std::function<void(QtForm&)>& drive);
    // The same for "Manage..." and the setup manager.
    bool WithManager(const std::function<void(QtForm&)>& drive);

    // The messages shown so far, as text.
    std::vector<std::string> Messages() const;

    TempFolder Game;
    RecordingDialogs Dialogs;
    QueuedFileDialog FileDialog;
    RecordingLauncher GameLauncher;
    QtFormFactory Factory;
    std::unique_ptr<frmMain> Main;

  private:
    QWidget* Front() const;
};

template <typename Widget>
Widget* QtProgram::Control(const char* name) const {
    QWidget* front = Front();
    return front ? front->findChild<Widget*>(QString::fromLatin1(name)) : nullptr;
}
