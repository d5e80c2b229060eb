// The desktop controls and windows on their own: what the window logic reads back
// from them, which user actions raise which events, and the dialogs' make-up.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Dialogs.h"
#include "EventGuard.h"
#include "QtCommonDialog.h"
#include "QtControls.h"
#include "QtDialogService.h"
#include "QtForm.h"
#include "QtFormFactory.h"
#include "QtLauncher.h"
#include "QuillonError.h"
#include "frmMain.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

// Answers message boxes with OK and records them.
class OkDialogs : public DialogService {
  public:
    OkDialogs() : previous_(CurrentDialogService()) { SetDialogService(this); }
    ~OkDialogs() override { SetDialogService(previous_); }
    MsgResult MsgBox(const std::string& text, MsgIcon, MsgButtons, const std::string&) override {
        Texts.push_back(text);
        return MsgResult::OK;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        return "";
    }
    std::vector<std::string> Texts;

  private:
    DialogService* previous_;
};

const WindowDescription& Described(const char* name) {
    for (const WindowDescription* window : frmMain::Windows())
        if (window->Name == name)
            return *window;
    throw std::invalid_argument(name);
}

std::unique_ptr<QtForm> MakeForm(const WindowDescription& description) {
    QtFormFactory factory;
    std::unique_ptr<Form> form = factory.CreateForm(description);
    return std::unique_ptr<QtForm>(dynamic_cast<QtForm*>(form.release()));
}

std::unique_ptr<QtForm> MakeForm(const char* name) {
    return MakeForm(Described(name));
}

// The error a lookup raised, or a number no error has.
QuillonError ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const QuillonError& error) {
        return error;
    }
    return QuillonError(-1, "", "no error");
}

template <typename Widget>
Widget* Child(QWidget* window, const char* name) {
    return window->findChild<Widget*>(QString::fromLatin1(name));
}

void ClickItem(QtListView* list, int index, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->ItemRect(index).center());
}

std::string ProgramPath(const QString& native) {
    std::string path = native.toStdString();
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

}  // namespace

class QtControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void windowsCarryEveryControlByName();
    void lookupsRefuseUnknownNamesAndOtherKinds();
    void checkBoxRaisesClickAfterTheUsersChangeOnly();
    void buttonsAnswerClicksEnterAndTheirAccelerator();
    void listViewKeepsItemsAndReportsClicksAndKeys();
    void listViewKeysStayInTheList();
    void upDownKeepsItsTextBoxInStep();
    void comboBoxTextAndUserChoice();
    void statusBarPanelsAndProgressBar();
    void formClosesThroughQueryCloseAndEndsModalShowing();
    void refreshDrawsProgressAtOnce();
    void messageBoxesCarryTitleIconAndButtons();
    void fileDialogFiltersAndNames();
    void launcherStartsTheProgramFileItself();
    // Ends the program's event handling for good, so it runs last.
    void errorEscapingAHandlerIsShownAndEndsTheProgram();
};

void QtControlsTest::windowsCarryEveryControlByName() {
    for (const WindowDescription* described : frmMain::Windows()) {
        auto window = MakeForm(*described);
        QCOMPARE(window->objectName().toStdString(), described->Name);
        for (const ControlDescription& control : described->Controls) {
            auto* widget = Child<QWidget>(window.get(), control.Name.c_str());
            QVERIFY2(widget && window->Find(control.Name) == dynamic_cast<Control*>(widget),
                     control.Name.c_str());
            QCOMPARE(widget->window(), window.get());
            QCOMPARE(!widget->isHidden(), control.Visible);
            if (control.Kind == ControlKind::TextBox) {
                auto* box = window->Find(control.Name);
                const bool readOnly = control.MultiLine
                                          ? dynamic_cast<QtMultiLineTextBox*>(box)->isReadOnly()
                                          : dynamic_cast<QtTextBox*>(box)->isReadOnly();
                QCOMPARE(readOnly, control.ReadOnly);
            }
        }
    }

    auto main = MakeForm("frmMain");
    // The setups' controls sit in their frame, the options in theirs.
    QCOMPARE(Child<QWidget>(main.get(), "cmdApply")->parentWidget()->objectName(),
             QStringLiteral("fraSetups"));
    QCOMPARE(Child<QWidget>(main.get(), "chkLog")->parentWidget()->objectName(),
             QStringLiteral("fraAdvanced"));
    QCOMPARE(Child<QWidget>(main.get(), "cmbLanguage")->parentWidget()->objectName(),
             QStringLiteral("fraUserProfile"));
    // Each window has its own controls of the same name.
    auto manager = MakeForm("frmManageSetups");
    QVERIFY(&main->ButtonNamed("cmdExit") != &manager->ButtonNamed("cmdExit"));
}

// The same errors as the script driver's (tests/unit/app/HeadlessWindowsTest.cpp).
void QtControlsTest::lookupsRefuseUnknownNamesAndOtherKinds() {
    auto main = MakeForm("frmMain");
    for (const auto& [lookup, message] : std::vector<std::pair<std::function<void()>, std::string>>{
             {[&] { main->ButtonNamed("cmdNoSuchButton"); },
              "The window frmMain has no button named cmdNoSuchButton"},
             {[&] { main->ButtonNamed("chkLog"); },
              "The window frmMain has no button named chkLog"},
             {[&] { main->TextBoxNamed("udNumPlayers"); },
              "The window frmMain has no text box named udNumPlayers"},
             // The up-down's arrows are widgets of the window, but no controls.
             {[&] { main->ButtonNamed("up"); }, "The window frmMain has no button named up"}}) {
        const QuillonError error = ErrorOf(lookup);
        QCOMPARE(error.Number, PlatformError::InvalidArgument);
        QCOMPARE(error.Source, std::string("Form"));
        QCOMPARE(error.Description, message);
    }
    QVERIFY(!main->Find("panel1"));

    WindowDescription unknown = Described("frmMain");
    unknown.Name = "frmNoSuchWindow";
    const QuillonError error = ErrorOf([&] { QtFormFactory().CreateForm(unknown); });
    QCOMPARE(error.Number, PlatformError::InvalidArgument);
    QCOMPARE(error.Source, std::string("FormFactory"));
    QCOMPARE(error.Description, std::string("No window is named frmNoSuchWindow"));
}

void QtControlsTest::checkBoxRaisesClickAfterTheUsersChangeOnly() {
    auto form = MakeForm("frmMain");
    form->show();
    auto* box = Child<QtCheckBox>(form.get(), "chkLog");
    std::vector<CheckState> seen;
    box->Click = [&] { seen.push_back(box->Value()); };

    const QPoint indicator(8, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
    QCOMPARE(seen, (std::vector<CheckState>{CheckState::Ticked, CheckState::Unticked}));

    // The logic's own change raises Click once (as the program expects), and a
    // change to the same value none.
    seen.clear();
    box->SetValue(CheckState::Ticked);
    box->SetValue(CheckState::Ticked);
    QCOMPARE(seen, std::vector<CheckState>{CheckState::Ticked});

    // A greyed box is ticked by the user's click, then toggles as usual.
    box->SetValue(CheckState::Greyed);
    seen.clear();
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(seen, (std::vector<CheckState>{CheckState::Ticked, CheckState::Unticked}));
}

void QtControlsTest::buttonsAnswerClicksEnterAndTheirAccelerator() {
    auto form = MakeForm("frmMain");
    Button& apply = form->ButtonNamed("cmdApply");
    apply.SetCaption("&Apply");
    int clicks = 0;
    apply.Click = [&] { ++clicks; };
    form->Show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    auto* widget = Child<QtButton>(form.get(), "cmdApply");
    QCOMPARE(widget->text(), QStringLiteral("&Apply"));
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    // The accelerator presses the button as a click would, drawn pressed a moment.
    QTest::keyClick(form.get(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(clicks, 2);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
    QCOMPARE(clicks, 3);
    // A hidden button does nothing.
    apply.SetVisible(false);
    QVERIFY(!apply.Visible());
    QTest::keyClick(form.get(), Qt::Key_A, Qt::AltModifier);
    QTest::qWait(300);
    QCOMPARE(clicks, 3);
}

void QtControlsTest::listViewKeepsItemsAndReportsClicksAndKeys() {
    auto form = MakeForm("frmManageSetups");
    ListView& list = form->ListViewNamed("lstModis");
    auto* widget = Child<QtListView>(form.get(), "lstModis");
    list.SetColumns("Name", "Compatibility:");
    QCOMPARE(widget->columnCount(), 2);
    QCOMPARE(widget->headerItem()->text(1), QStringLiteral("Compatibility:"));
    QCOMPARE(list.AddItem("base", "Base Rules"), 1);
    QCOMPARE(list.AddItem("caf\xe9", "Caf\xe9 Mod"), 2);
    QCOMPARE(list.AddItem("night", "Night Mode"), 3);
    list.SetSubItem(3, "Incompatible with Day Mode");
    QCOMPARE(list.Count(), 3);
    // Texts come back byte for byte, letters of a Windows code page included.
    QCOMPARE(list.Key(2), std::string("caf\xe9"));
    QCOMPARE(list.Text(2), std::string("Caf\xe9 Mod"));
    QCOMPARE(widget->topLevelItem(1)->text(0), QStringLiteral("Caf\u00e9 Mod"));
    QCOMPARE(list.SubItem(3), std::string("Incompatible with Day Mode"));
    QCOMPARE(list.SubItem(1), std::string());
    QCOMPARE(list.FindKey("night"), 3);
    try {
        list.Key(4);
        QFAIL("no item 4");
    } catch (const QuillonError& error) {
        QCOMPARE(error.Number, 35600L);
    }

    std::vector<int> clicks;
    int doubleClicks = 0;
    list.ItemClick = [&](int index) { clicks.push_back(index); };
    list.DblClick = [&] { ++doubleClicks; };
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    // The logic's selection raises nothing.
    list.Select(1);
    QCOMPARE(list.SelectedIndex(), 1);
    QVERIFY(clicks.empty());

    ClickItem(widget, 3);
    QCOMPARE(list.SelectedIndex(), 3);
    // A second click on the selected item is a click too.
    ClickItem(widget, 3);
    QCOMPARE(clicks, (std::vector<int>{3, 3}));
    // A ctrl-click leaves nothing selected and is no click on an item.
    ClickItem(widget, 3, Qt::ControlModifier);
    QCOMPARE(list.SelectedIndex(), 0);
    QCOMPARE(clicks.size(), std::size_t(2));

    // Moving with the keys clicks the item arrived at.
    list.Select(1);
    clicks.clear();
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Down);
    QCOMPARE(list.SelectedIndex(), 2);
    QCOMPARE(clicks, std::vector<int>{2});

    QTest::mouseDClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier,
                       widget->ItemRect(1).center());
    QCOMPARE(doubleClicks, 1);
    QCOMPARE(list.SelectedIndex(), 1);

    // Clearing leaves no item and no selection.
    list.Clear();
    QCOMPARE(list.Count(), 0);
    QCOMPARE(list.SelectedIndex(), 0);
}

void QtControlsTest::listViewKeysStayInTheList() {
    auto form = MakeForm("frmManageSetups");
    ListView& list = form->ListViewNamed("lstSetupModis");
    auto* widget = Child<QtListView>(form.get(), "lstSetupModis");
    list.AddItem("a", "A");
    list.Select(1);
    std::vector<ListKey> keys;
    list.KeyUp = [&](ListKey key) { keys.push_back(key); };
    // Enter in a list must not press a button of the window.
    int buttonClicks = 0;
    for (QtButton* button : form->findChildren<QtButton*>())
        button->Click = [&] { ++buttonClicks; };
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Delete);
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClick(widget, Qt::Key_Enter);
    QCOMPARE(keys, (std::vector<ListKey>{ListKey::Delete, ListKey::Enter, ListKey::Enter}));
    QCOMPARE(buttonClicks, 0);
    QVERIFY(form->isVisible());
}

void QtControlsTest::upDownKeepsItsTextBoxInStep() {
    auto form = MakeForm("frmMain");
    UpDown& upDown = form->UpDownNamed("udNumPlayers");
    TextBox& text = form->TextBoxNamed("txtNumPlayers");
    auto* edit = Child<QtTextBox>(form.get(), "txtNumPlayers");
    upDown.SetRange(1, 32);
    upDown.SetValue(40);
    QCOMPARE(upDown.Value(), 32);
    QCOMPARE(text.Text(), std::string("32"));
    upDown.SetValue(3);
    QCOMPARE(text.Text(), std::string("3"));

    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    // What the user types counts at once.
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "12");
    QCOMPARE(upDown.Value(), 12);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(upDown.Value(), 13);
    QCOMPARE(text.Text(), std::string("13"));
    QTest::mouseClick(Child<QToolButton>(form.get(), "down"), Qt::LeftButton);
    QCOMPARE(upDown.Value(), 12);
    // Letters cannot be typed; a number out of range is brought into it on leaving.
    edit->selectAll();
    QTest::keyClicks(edit, "x0");
    QCOMPARE(edit->text(), QStringLiteral("0"));
    QCOMPARE(upDown.Value(), 1);
    Child<QWidget>(form.get(), "txtMaxPlayers")->setFocus();
    QCOMPARE(text.Text(), std::string("1"));
    // The up and down arrows stop at the ends of the range.
    upDown.SetValue(32);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(upDown.Value(), 32);
}

void QtControlsTest::comboBoxTextAndUserChoice() {
    auto form = MakeForm("frmMain");
    ComboBox& combo = form->ComboBoxNamed("cmbLanguage");
    auto* widget = Child<QtComboBox>(form.get(), "cmbLanguage");
    int clicks = 0;
    std::string seen;
    combo.Click = [&] {
        ++clicks;
        seen = combo.Text();
    };
    // Emptied of what the description put in.
    combo.Clear();
    combo.SetText("");
    for (const char* entry : {"english", "french", "german"})
        combo.AddItem(entry);
    // Adding entries chooses none by itself.
    QCOMPARE(combo.Text(), std::string());
    QCOMPARE(widget->currentIndex(), -1);
    combo.SetText("french");
    QCOMPARE(widget->currentText(), QStringLiteral("french"));
    // A text that no entry has is kept and shown.
    combo.SetText("klingon");
    QCOMPARE(combo.Text(), std::string("klingon"));
    QCOMPARE(widget->currentIndex(), -1);
    QCOMPARE(widget->placeholderText(), QStringLiteral("klingon"));
    QCOMPARE(clicks, 0);

    combo.SetText("english");
    form->show();
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Down);
    QCOMPARE(clicks, 1);
    QCOMPARE(seen, std::string("french"));
}

void QtControlsTest::statusBarPanelsAndProgressBar() {
    auto form = MakeForm("frmMain");
    StatusBar& status = form->StatusBarNamed("stbStatus");
    status.SetPanelCount(2);
    status.SetPanelText(2, "v1.0.4 - 2005/05/06");
    status.SetPanelText(1, "Applying Big Map...");
    status.SetPanelText(1, "");
    QCOMPARE(status.PanelText(1), std::string());
    QCOMPARE(status.PanelText(2), std::string("v1.0.4 - 2005/05/06"));
    QCOMPARE(status.PanelText(3), std::string());
    auto* panel = form->findChild<QLabel*>(QStringLiteral("panel2"));
    QVERIFY(panel);
    QCOMPARE(panel->text(), QStringLiteral("v1.0.4 - 2005/05/06"));

    ProgressBar& bar = form->ProgressBarNamed("prgBar");
    auto* widget = Child<QtProgressBar>(form.get(), "prgBar");
    bar.SetVisible(true);
    bar.SetMax(10);
    bar.SetValue(3);
    QCOMPARE(widget->value(), 3);
    QCOMPARE(widget->maximum(), 10);
    // The maximum set first lets a value above the old one through.
    bar.SetMax(40);
    bar.SetValue(30);
    QCOMPARE(widget->value(), 30);
    QCOMPARE(bar.Value(), 30);
    bar.SetVisible(false);
    QVERIFY(!bar.Visible());
}

void QtControlsTest::formClosesThroughQueryCloseAndEndsModalShowing() {
    auto form = MakeForm("frmManageSetups");
    int activations = 0;
    int closed = 0;
    bool keepOpen = true;
    form->Activate = [&] { ++activations; };
    form->QueryClose = [&] { return keepOpen; };
    form->Closed = [&] { ++closed; };
    form->Show();
    QCOMPARE(activations, 1);
    QVERIFY(form->Visible());

    // The title bar's close asks QueryClose; true keeps the window.
    form->close();
    QVERIFY(form->Visible());
    // Escape closes a dialog the same way.
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(form->Visible());
    QCOMPARE(closed, 0);
    keepOpen = false;
    form->close();
    QVERIFY(!form->Visible());
    QCOMPARE(closed, 1);

    // The modal showing ends when the logic hides the window.
    bool wasModal = false;
    QTimer::singleShot(0, form.get(), [&] {
        wasModal = QApplication::activeModalWidget() == form.get();
        form->Hide();
    });
    form->ShowModal();
    QVERIFY(wasModal);
    QVERIFY(!form->Visible());
    QCOMPARE(activations, 2);

    // The logic's own Close does not ask.
    int asked = 0;
    form->QueryClose = [&] {
        ++asked;
        return true;
    };
    form->Show();
    form->Close();
    QVERIFY(!form->Visible());
    QCOMPARE(asked, 0);

    // Escape leaves the main window open.
    auto main = MakeForm("frmMain");
    main->Show();
    QTest::keyClick(main.get(), Qt::Key_Escape);
    QVERIFY(main->Visible());
}

void QtControlsTest::refreshDrawsProgressAtOnce() {
    auto form = MakeForm("frmMain");
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* bar = Child<QtProgressBar>(form.get(), "prgBar");
    auto* status = Child<QtStatusBar>(form.get(), "stbStatus");
    const QRect before = Child<QWidget>(form.get(), "fraSetups")->geometry();
    PaintCounter barPaints(bar);
    PaintCounter statusPaints(status);
    // As a long operation does: no event is handled between its reports.
    form->ProgressBarNamed("prgBar").SetVisible(true);
    form->ProgressBarNamed("prgBar").SetMax(10);
    form->ProgressBarNamed("prgBar").SetValue(3);
    form->StatusBarNamed("stbStatus").SetPanelText(1, "Applying...");
    form->Refresh();
    QVERIFY(barPaints.Count > 0);
    QVERIFY(statusPaints.Count > 0);
    QVERIFY(bar->geometry().width() > 0);
    // The bar has its room already; showing it moves nothing else.
    QCOMPARE(Child<QWidget>(form.get(), "fraSetups")->geometry(), before);
    // Nor does a status too long for the window: it is cut short.
    const int width = form->width();
    form->StatusBarNamed("stbStatus").SetPanelText(1, "Applying " + std::string(300, 'x') + "...");
    form->Refresh();
    QApplication::processEvents();
    QCOMPARE(form->width(), width);
}

void QtControlsTest::messageBoxesCarryTitleIconAndButtons() {
    QMessageBox question;
    QtDialogService::Prepare(question, "You installed a new mod:Night Mode\r\n.Would you like it?",
                             MsgIcon::Information, MsgButtons::YesNo, "Quillon");
    QCOMPARE(question.windowTitle(), QStringLiteral("Quillon"));
    QCOMPARE(question.text(),
             QStringLiteral("You installed a new mod:Night Mode\n.Would you like it?"));
    QCOMPARE(question.icon(), QMessageBox::Information);
    QCOMPARE(question.standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.textFormat(), Qt::PlainText);
    // Shut without an answer, a question is answered No.
    QCOMPARE(QtDialogService::Answer(question, MsgButtons::YesNo), MsgResult::No);
    question.button(QMessageBox::Yes)->click();
    QCOMPARE(QtDialogService::Answer(question, MsgButtons::YesNo), MsgResult::Yes);

    QMessageBox seek;
    QtDialogService::Prepare(seek, "Found it", MsgIcon::None, MsgButtons::YesNoCancel, "Quillon");
    QCOMPARE(seek.icon(), QMessageBox::NoIcon);
    QCOMPARE(seek.standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(QtDialogService::Answer(seek, MsgButtons::YesNoCancel), MsgResult::Cancel);
    seek.button(QMessageBox::No)->click();
    QCOMPARE(QtDialogService::Answer(seek, MsgButtons::YesNoCancel), MsgResult::No);

    QMessageBox warning;
    QtDialogService::Prepare(warning, "No setup selected.", MsgIcon::Warning, MsgButtons::OK,
                             "Quillon");
    QCOMPARE(warning.icon(), QMessageBox::Warning);
    QCOMPARE(warning.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(QtDialogService::Answer(warning, MsgButtons::OK), MsgResult::OK);

    // An exclamation looks different from a warning.
    QMessageBox exclamation;
    QtDialogService::Prepare(exclamation, "File not found", MsgIcon::Exclamation, MsgButtons::OK,
                             "Quillon");
    QVERIFY(exclamation.icon() != QMessageBox::Warning &&
            exclamation.icon() != QMessageBox::NoIcon);
}

void QtControlsTest::fileDialogFiltersAndNames() {
    QCOMPARE(QtCommonDialog::ToolkitFilter("userprofile.txt|userprofile.txt"),
             QStringLiteral("userprofile.txt (userprofile.txt)"));
    QCOMPARE(QtCommonDialog::ToolkitFilter("Text files|*.txt;*.ini|All files|*.*"),
             QStringLiteral("Text files (*.txt *.ini);;All files (*.*)"));
    // A description that shows its patterns keeps them once.
    QCOMPARE(QtCommonDialog::ToolkitFilter("Mods (*_moddef.txt)|*_moddef.txt"),
             QStringLiteral("Mods (*_moddef.txt)"));
    QCOMPARE(QtCommonDialog::ToolkitFilter(""), QString());
    QCOMPARE(QtCommonDialog::ProgramFileName(
                 QStringLiteral("/home/player/QEL 2/qel2_program/qel/userprofile.txt")),
             std::string("\\home\\player\\QEL 2\\qel2_program\\qel\\userprofile.txt"));
}

void QtControlsTest::launcherStartsTheProgramFileItself() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A name a shell would split or expand must reach the system as it is.
    const QString game = folder.filePath(QStringLiteral("my game $HOME.sh"));
    const QString stamp = folder.filePath(QStringLiteral("started.txt"));
    {
        QFile script(game);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho started > \"$(dirname \"$0\")/started.txt\"\n");
    }
    QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QtLauncher launcher;
    launcher.Launch(ProgramPath(game));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(stamp), 10000);

    try {
        launcher.Launch(ProgramPath(folder.filePath(QStringLiteral("missing.exe"))));
        QFAIL("a missing program cannot start");
    } catch (const QuillonError& error) {
        QCOMPARE(error.Number, PlatformError::FileNotFound);
    }
    const QString notes = folder.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY_THROWS_EXCEPTION(QuillonError, launcher.Launch(ProgramPath(notes)));
}

void QtControlsTest::errorEscapingAHandlerIsShownAndEndsTheProgram() {
    OkDialogs dialogs;
    auto form = MakeForm("frmMain");
    Button& apply = form->ButtonNamed("cmdApply");
    int calls = 0;
    apply.Click = [&] {
        ++calls;
        throw QuillonError(1026, "FileAccess", "Bad file mode");
    };
    auto* widget = Child<QtButton>(form.get(), "cmdApply");
    widget->click();
    QCOMPARE(calls, 1);
    QCOMPARE(dialogs.Texts.size(), std::size_t(1));
    QVERIFY(dialogs.Texts[0].find("1026") != std::string::npos);
    QVERIFY(dialogs.Texts[0].find("Bad file mode") != std::string::npos);
    QVERIFY(EventGuard::Ending());
    // Nothing more reaches the logic once the program is ending.
    widget->click();
    QCOMPARE(calls, 1);
}

QTEST_MAIN(QtControlsTest)
#include "QtControlsTest.moc"
