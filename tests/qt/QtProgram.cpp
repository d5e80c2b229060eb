#include "QtProgram.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "NativeFileSystem.h"
#include "QtControls.h"
#include "QtForm.h"
#include "frmMain.h"

QtProgram::QtProgram() {
    std::filesystem::copy(QUILLON_DEMO_GAME, Game.Native(),
                          std::filesystem::copy_options::recursive);
    NativeFs::ForgetCachedFolders();
}

QtProgram::~QtProgram() {
    Main.reset();
}

void QtProgram::Start(std::vector<MsgResult> answers) {
    Dialogs.Answers.assign(answers.begin(), answers.end());
    Main = std::make_unique<frmMain>(Factory, FileDialog, GameLauncher,
                                     "-path \"" + Game.Path() + "\"");
    Main->Load();
    Dialogs.Answers.clear();
    if (!Main->Ended())
        Main->Window().Show();
}

QtForm& QtProgram::Window() {
    return dynamic_cast<QtForm&>(Main->Window());
}

QWidget* QtProgram::Front() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return Main ? dynamic_cast<QtForm*>(&Main->Window()) : nullptr;
}

bool QtProgram::ClickKey(QtListView* list, const std::string& key) {
    if (!list)
        return false;
    const int index = list->FindKey(key);
    if (index == 0)
        return false;
    list->scrollToItem(list->topLevelItem(index - 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->ItemRect(index).center());
    return list->SelectedIndex() == index;
}

void QtProgram::ClickBox(QWidget* box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
}

std::vector<std::string> QtProgram::Keys(QtListView* list) {
    std::vector<std::string> keys;
    for (int index = 1; list && index <= list->Count(); ++index)
        keys.push_back(list->Key(index));
    return keys;
}

bool QtProgram::WithWindow(const char* Button, const char* Window,
                           const std::function<void(QtForm&)>& drive) {
    auto* button = Control<QtButton>(Button);
    if (!button)
        return false;
    bool shown = false;
    // A button that shows no window leaves the timer pending: it must not outlive this.
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        auto* window = dynamic_cast<QtForm*>(QApplication::activeModalWidget());
        if (!window || window->Description().Name != Window)
            return;
        shown = true;
        drive(*window);
        if (window->isVisible())
            window->Hide();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return shown;
}

bool QtProgram::WithManager(const std::function<void(QtForm&)>& drive) {
    return WithWindow("cmdManageSetups", "frmManageSetups", drive);
}

std::vector<std::string> QtProgram::Messages() const {
    std::vector<std::string> texts;
    for (const RecordingDialogs::Box& box : Dialogs.Boxes)
        texts.push_back(box.Text);
    return texts;
}
