// The desktop windows with their logic on the demo game, driven through the
// widgets as a player drives them.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ProgressReports.h"
#include "QtControls.h"
#include "QtForm.h"
#include "QtProgram.h"
#include "Setup.h"
#include "Setups.h"
#include "frmMain.h"
#include "frmManageSetups.h"
#include "frmPreview.h"
#include "frmSetupFiles.h"
#include "frmVerify.h"

namespace {

const std::vector<MsgResult> kYesToAll(10, MsgResult::Yes);

// A check box's, button's, label's or frame's caption as shown.
QString Caption(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    return QStringLiteral("<no caption>");
}

// Whether a window shows its title (the described one unless given) and every caption
// of its description, each on a control that the user sees (controls described hidden
// excepted).
bool ShowsItsDescription(QWidget* window, const WindowDescription& described,
                         const std::string& title = "") {
    bool shown = window->windowTitle().toStdString() == (title.empty() ? described.Caption : title);
    for (const ControlDescription& control : described.Controls) {
        auto* widget = window->findChild<QWidget*>(QString::fromStdString(control.Name));
        const bool captioned =
            control.Caption.empty() || (widget && Caption(widget).toStdString() == control.Caption);
        if (!widget || !captioned || widget->isVisible() != control.Visible) {
            qWarning("%s: missing, hidden or a wrong caption", control.Name.c_str());
            shown = false;
        }
    }
    return shown;
}

// Every file under a folder and its content.
std::map<std::string, std::string> Tree(const TempFolder& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Native()))
        if (entry.is_regular_file()) {
            const std::string name =
                entry.path().lexically_relative(folder.Native()).generic_string();
            tree[name] = folder.Read(name);
        }
    return tree;
}

}  // namespace

class QtWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void mainWindowShowsEveryCaptionAndTheLoadedState();
    void applyingASetupShowsItsProgressAndAnswersNoSelection();
    void managerMakesASetupTheMainWindowThenLists();
    void optionsAndPlayerValuesReachTheFiles();
    void closingFromTheTitleBarSavesAndEnds();
    void previewAndFilesOnlyReadUntilApplied();
    void verifyListsAnEditAndReapplyKeepsIt();
};

void QtWindowsTest::mainWindowShowsEveryCaptionAndTheLoadedState() {
    QtProgram program;
    program.Start(kYesToAll);
    QtForm& window = program.Window();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Quillon"));
    QVERIFY(ShowsItsDescription(&window, frmMain::Description()));

    auto* language = program.Control<QtComboBox>("cmbLanguage");
    const ControlDescription& languages = *frmMain::Description().Find("cmbLanguage");
    std::vector<std::string> entries;
    for (int at = 0; at < language->count(); ++at)
        entries.push_back(language->itemText(at).toStdString());
    QCOMPARE(entries, languages.Items);
    QCOMPARE(language->currentText().toStdString(), languages.Text);

    auto* status = program.Control<QtStatusBar>("stbStatus");
    QCOMPARE(status->PanelText(2), std::string("v1.0.4 - 2005/05/06"));
    QVERIFY(!program.Control<QtProgressBar>("prgBar")->isVisible());

    // The setups of the first run: the original game, current and selected, then
    // those that mods asked for.
    auto* setups = program.Control<QtListView>("lstSetups");
    QVERIFY(setups->Count() >= 2);
    QCOMPARE(setups->SelectedIndex(), 1);
    QCOMPARE(setups->Key(1), program.Main->OriginalSetup->Key);
    QCOMPARE(program.Control<QtTextBox>("txtCurrentSetup")->text().toStdString(),
             program.Main->CurrentSetup->Name);
    QCOMPARE(program.Control<QtUpDown>("udNumPlayers")->Value(), 8);
    QCOMPARE(program.Control<QtTextBox>("txtMaxPlayers")->text(), QStringLiteral("16"));

    // The window opens in the middle of the screen.
    const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((window.frameGeometry().center() - middle).manhattanLength() < 40);
}

void QtWindowsTest::applyingASetupShowsItsProgressAndAnswersNoSelection() {
    QtProgram program;
    program.Start(kYesToAll);
    QVERIFY(QTest::qWaitForWindowExposed(&program.Window()));
    auto* setups = program.Control<QtListView>("lstSetups");
    auto* apply = program.Control<QtButton>("cmdApply");
    auto* bar = program.Control<QtProgressBar>("prgBar");

    // Nothing selected: the one message, and nothing is applied.
    QTest::mouseClick(setups->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      setups->ItemRect(setups->SelectedIndex()).center());
    QCOMPARE(setups->SelectedIndex(), 0);
    program.Dialogs.Boxes.clear();
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(program.Messages(), std::vector<std::string>{"No setup selected."});
    QCOMPARE(program.Dialogs.Boxes[0].Icon, MsgIcon::Warning);
    QCOMPARE(program.Main->CurrentSetup, program.Main->OriginalSetup);

    // Each progress report is drawn before the operation goes on.
    std::vector<ProgressReport> reports;
    int paints = 0;
    class Counter : public QObject {
      public:
        explicit Counter(int& count) : count_(count) {}

      protected:
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                ++count_;
            return false;
        }

      private:
        int& count_;
    } counter(paints);
    bar->installEventFilter(&counter);
    program.Main->ProgressShown = [&](std::int32_t step, std::int32_t outOf) {
        reports.push_back({step, outOf, bar->isVisible(), bar->value(), bar->maximum()});
    };

    program.Dialogs.Boxes.clear();
    QVERIFY(QtProgram::ClickKey(setups, "Base Rules"));
    QTest::mouseClick(apply, Qt::LeftButton);
    bar->removeEventFilter(&counter);

    QVERIFY(program.Messages().empty());
    QCOMPARE(program.Control<QtTextBox>("txtCurrentSetup")->text(), QStringLiteral("Base Rules"));
    QCOMPARE(program.Main->CurrentSetup->Key, std::string("Base Rules"));
    QCOMPARE(program.Game.Read("qel2_data\\default\\gamedata\\units.txt"),
             program.Game.Read("mods\\baserules\\baserules_units.txt"));
    QVERIFY(program.Game.Exists("qel2_data\\default\\gamedata\\orig_units.txt"));
    QVERIFY(program.Game.Read("quill.ini").find("Base Rules") != std::string::npos);

    int shown = 0;
    QCOMPARE(ProgressMismatch(reports, shown), std::string());
    QVERIFY(shown >= 2);
    QVERIFY(paints >= shown);
    // The operations clear their status when they end; the version stays.
    auto* status = program.Control<QtStatusBar>("stbStatus");
    QCOMPARE(status->PanelText(2), std::string("v1.0.4 - 2005/05/06"));
}

void QtWindowsTest::managerMakesASetupTheMainWindowThenLists() {
    QtProgram program;
    program.Start(kYesToAll);
    QVERIFY(QTest::qWaitForWindowExposed(&program.Window()));

    std::vector<std::string> setupMods;
    QString description;
    QStringList headers;
    bool captionsShown = true;
    const bool shown = program.WithManager([&](QtForm& manager) {
        captionsShown = ShowsItsDescription(&manager, frmManageSetups::Description());
        auto* modis = program.Control<QtListView>("lstModis");
        headers << modis->headerItem()->text(0) << modis->headerItem()->text(1);

        program.Dialogs.InputAnswers.push_back("My Setup");
        QTest::mouseClick(program.Control<QtButton>("cmdNew"), Qt::LeftButton);
        auto* setups = program.Control<QtListView>("lstSetups");
        if (setups->SelectedIndex() == 0 || setups->Key(setups->SelectedIndex()) != "My Setup")
            return;

        if (!QtProgram::ClickKey(modis, "baserules"))
            return;
        description = program.Control<QtMultiLineTextBox>("txtDescription")->toPlainText();
        QTest::mouseClick(program.Control<QtButton>("cmdAdd"), Qt::LeftButton);
        // Big Map needs Base Rules, which the setup now holds: a double click adds it.
        auto* bigmap = program.Control<QtListView>("lstModis");
        const int at = bigmap->FindKey("bigmap");
        if (at == 0)
            return;
        QTest::mouseDClick(bigmap->viewport(), Qt::LeftButton, Qt::NoModifier,
                           bigmap->ItemRect(at).center());
        setupMods = QtProgram::Keys(program.Control<QtListView>("lstSetupModis"));
        // Closed from its title bar: the window only hides.
        manager.close();
    });
    QVERIFY(shown);
    QVERIFY(captionsShown);
    QCOMPARE(headers, (QStringList{"Name", "Compatibility:"}));
    QCOMPARE(program.Dialogs.Inputs.size(), std::size_t(1));
    QCOMPARE(program.Dialogs.Inputs[0].Prompt, std::string("New setup name:"));
    QVERIFY(description.contains(QStringLiteral("Balanced unit costs")));
    QCOMPARE(setupMods, (std::vector<std::string>{"baserules", "bigmap"}));

    // Back in the main window, the new setup is listed at once; applied and
    // launched, it starts the game.
    auto* setups = program.Control<QtListView>("lstSetups");
    QVERIFY(setups->FindKey("My Setup") != 0);
    QVERIFY(QtProgram::ClickKey(setups, "My Setup"));
    QTest::mouseClick(program.Control<QtButton>("cmdApplyLaunch"), Qt::LeftButton);
    QCOMPARE(program.Main->CurrentSetup->Key, std::string("My Setup"));
    QCOMPARE(program.GameLauncher.Started.size(), std::size_t(1));
    QCOMPARE(program.GameLauncher.Started[0], program.Game.Path() + "qel2_program\\qel\\qel2.exe");
    QCOMPARE(program.Game.Read("qel2_data\\default\\gamedata\\const.txt"),
             program.Game.Read("mods\\bigmap\\bigmap_const.txt"));

    // Shown again, the manager keeps no stale lists: the applied setup is not offered.
    std::vector<std::string> offered;
    QVERIFY(program.WithManager(
        [&](QtForm&) { offered = QtProgram::Keys(program.Control<QtListView>("lstSetups")); }));
    QVERIFY(std::find(offered.begin(), offered.end(), "My Setup") == offered.end());
}

void QtWindowsTest::optionsAndPlayerValuesReachTheFiles() {
    QtProgram program;
    program.Start(kYesToAll);
    QtForm& window = program.Window();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    auto* log = program.Control<QtCheckBox>("chkLog");
    const bool logWas = program.Main->Log;
    QtProgram::ClickBox(log);
    QCOMPARE(program.Main->Log, !logWas);
    QtProgram::ClickBox(program.Control<QtCheckBox>("chkDebugVESK"));
    QVERIFY(program.Main->DebugVesk);

    auto* language = program.Control<QtComboBox>("cmbLanguage");
    language->setFocus();
    QTest::keyClick(language, Qt::Key_Down);
    QCOMPARE(program.Main->Language, std::string("french"));

    auto* numPlayers = program.Control<QtTextBox>("txtNumPlayers");
    numPlayers->setFocus();
    numPlayers->selectAll();
    QTest::keyClicks(numPlayers, "3");
    QTest::keyClick(numPlayers, Qt::Key_Up);

    QTest::mouseClick(program.Control<QtButton>("cmdExit"), Qt::LeftButton);
    QVERIFY(program.Main->Ended());
    QVERIFY(!window.isVisible());
    const std::string profile = program.Game.Read("qel2_program\\qel\\userprofile.txt");
    QVERIFY(profile.find("NumPlayers=4") != std::string::npos);
    QVERIFY(profile.find("DebugVesk=Yes") != std::string::npos);
    const std::string settings = program.Game.Read("quill.ini");
    QVERIFY(settings.find("french") != std::string::npos);
}

void QtWindowsTest::closingFromTheTitleBarSavesAndEnds() {
    QtProgram program;
    program.Start(kYesToAll);
    QtForm& window = program.Window();
    int closed = 0;
    window.Closed = [&] { ++closed; };
    QVERIFY(program.WithManager([](QtForm&) {}));
    std::remove(program.Game.NativeOf("quill.ini").c_str());
    window.close();
    QVERIFY(program.Main->Ended());
    QVERIFY(!window.isVisible());
    QCOMPARE(closed, 1);
    QVERIFY(program.Game.Exists("quill.ini"));
    // Once ended, a second close changes nothing.
    program.Main->Close();
    QCOMPARE(closed, 1);
}

void QtWindowsTest::previewAndFilesOnlyReadUntilApplied() {
    QtProgram program;
    program.Start(kYesToAll);
    QVERIFY(QTest::qWaitForWindowExposed(&program.Window()));
    auto* setups = program.Control<QtListView>("lstSetups");
    auto* log = program.Control<QtCheckBox>("chkLog");
    if (!log->isChecked())
        QtProgram::ClickBox(log);
    QVERIFY(QtProgram::ClickKey(setups, "Night Mode"));
    QTest::mouseClick(program.Control<QtButton>("cmdApply"), Qt::LeftButton);
    for (const char* option : {"chkRestoreOriginal", "chkReinitialize"})
        QtProgram::ClickBox(program.Control<QtCheckBox>(option));
    const auto before = Tree(program.Game);
    QVERIFY(before.count("Quill.log") && before.count("quill.ini"));

    // Looked at, sorted out and closed: nothing on disk changes.
    QVERIFY(QtProgram::ClickKey(setups, "Base Rules"));
    bool previewShown = false;
    std::vector<std::string> actions;
    QVERIFY(program.WithWindow("cmdPreview", "frmPreview", [&](QtForm& preview) {
        previewShown = ShowsItsDescription(&preview, frmPreview::Description(),
                                           "Preview: Night Mode to Base Rules");
        auto* list = program.Control<QtListView>("lstPreview");
        for (int row = 1; row <= list->Count(); ++row)
            actions.push_back(list->Text(row) + " " + list->SubItem(row));
        QTest::mouseClick(program.Control<QtButton>("cmdPreviewClose"), Qt::LeftButton);
    }));
    QVERIFY(previewShown);
    QVERIFY(std::find(actions.begin(), actions.end(),
                      "qel2_data\\default\\gamedata\\units.txt Back up and replace (Base Rules)") !=
            actions.end());

    bool filesShown = false;
    int all = 0, conflicts = -1;
    QVERIFY(program.WithManager([&](QtForm&) {
        auto* files = program.Control<QtButton>("cmdSetupFiles");
        auto* chosen = program.Control<QtListView>("lstSetups");
        if (!files->isEnabled() || chosen->SelectedIndex() == 0)
            return;
        const std::string title = "Files of " + chosen->Text(chosen->SelectedIndex());
        filesShown = program.WithWindow("cmdSetupFiles", "frmSetupFiles", [&](QtForm& window) {
            auto* list = program.Control<QtListView>("lstSetupFiles");
            filesShown = ShowsItsDescription(&window, frmSetupFiles::Description(), title);
            all = list->Count();
            QtProgram::ClickBox(program.Control<QtCheckBox>("chkSetupFilesConflicts"));
            conflicts = list->Count();
            QTest::mouseClick(program.Control<QtButton>("cmdSetupFilesClose"), Qt::LeftButton);
        }) && filesShown;
    }));
    QVERIFY(filesShown);
    QVERIFY(all > 0);
    QCOMPARE(conflicts, 0);
    QVERIFY(Tree(program.Game) == before);

    // Its Apply is the main window's (the manager has selected the current setup again).
    QVERIFY(QtProgram::ClickKey(setups, "Base Rules"));
    QVERIFY(program.WithWindow("cmdPreview", "frmPreview", [&](QtForm&) {
        QTest::mouseClick(program.Control<QtButton>("cmdPreviewApply"), Qt::LeftButton);
    }));
    QCOMPARE(program.Main->CurrentSetup->Name, std::string("Base Rules"));
    QCOMPARE(program.Control<QtTextBox>("txtCurrentSetup")->text(), QStringLiteral("Base Rules"));
    QVERIFY(Tree(program.Game) != before);
}

// A player's edit of a mod's file is listed; Re-apply keeps it under quill-kept, copies
// the mod's file again and leaves the list empty.
void QtWindowsTest::verifyListsAnEditAndReapplyKeepsIt() {
    QtProgram program;
    program.Start(kYesToAll);
    QVERIFY(QTest::qWaitForWindowExposed(&program.Window()));
    QVERIFY(QtProgram::ClickKey(program.Control<QtListView>("lstSetups"), "Night Mode"));
    QTest::mouseClick(program.Control<QtButton>("cmdApply"), Qt::LeftButton);
    const std::string sprite = "qel2_data\\default\\gamedata\\newsprite.txt";
    program.Game.Write(sprite, "edited by hand\r\n");

    bool shown = false;
    std::vector<std::string> rows;
    std::string before, after;
    QVERIFY(program.WithWindow("cmdVerify", "frmVerify", [&](QtForm& verify) {
        shown = ShowsItsDescription(&verify, frmVerify::Description());
        auto* list = program.Control<QtListView>("lstVerify");
        for (int row = 1; row <= list->Count(); ++row)
            rows.push_back(list->Text(row) + " " + list->SubItem(row));
        auto* summary = program.Control<QtLabel>("lblVerifySummary");
        before = summary->text().toStdString();
        if (QtProgram::ClickKey(list, sprite))
            QTest::mouseClick(program.Control<QtButton>("cmdVerifyReapply"), Qt::LeftButton);
        after = summary->text().toStdString();
        QTest::mouseClick(program.Control<QtButton>("cmdVerifyClose"), Qt::LeftButton);
    }));
    QVERIFY(shown);
    QCOMPARE(rows, std::vector<std::string>{sprite + " Changed since applied (Night Mode)"});
    QVERIFY2(before.ends_with(" files checked, 1 differ."), before.c_str());
    QVERIFY2(after.ends_with(" files checked, all as applied."), after.c_str());
    QCOMPARE(program.Game.Read(sprite),
             program.Game.Read("mods\\nightmode\\nightmode_newsprite.txt"));
    bool kept = false;
    for (const auto& [name, content] : Tree(program.Game))
        kept = kept || (name.starts_with("quill-kept/") && content == "edited by hand\r\n");
    QVERIFY(kept);
}

QTEST_MAIN(QtWindowsTest)
#include "QtWindowsTest.moc"
