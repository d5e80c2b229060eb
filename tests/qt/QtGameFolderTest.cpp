// The desktop program's run as a player starts it from the menu: in the home folder,
// with no game there. The remembered folder lives in a settings folder of the test's
// own (XDG_CONFIG_HOME), and the folder dialog is answered through the dialog service.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "DesktopProgram.h"
#include "QtControls.h"
#include "QtForm.h"
#include "QtGameFolderMemory.h"
#include "QtProgram.h"

namespace {

TempFolder* gConfig = nullptr;

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const char* const kNoGame = "Could not locate userprofile.txt -";

// The messages that said no game was found, as text.
std::vector<std::string> NoGameMessages(const QtProgram& program) {
    std::vector<std::string> found;
    for (const std::string& text : program.Messages())
        if (Holds(text, kNoGame))
            found.push_back(text);
    return found;
}

// Runs the desktop program in a folder on a command line, as main() does. When the
// main window shows, its setups list is read into `setups` and the window closed.
int Run(QtProgram& program, const std::string& folder, const std::string& commandLine,
        std::vector<std::string>& setups) {
    setups.clear();
    program.Dialogs.Boxes.clear();
    program.Dialogs.Folders.clear();
    QDir::setCurrent(QString::fromStdString(folder));
    QTimer closer;
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = dynamic_cast<QtForm*>(widget);
            if (window && window->Description().Name == "frmMain" && window->isVisible()) {
                setups = QtProgram::Keys(window->findChild<QtListView*>("lstSetups"));
                window->close();
            }
        }
    });
    closer.start(0);
    QtGameFolderMemory memory;
    return RunDesktopProgram(program.Factory, program.FileDialog, program.GameLauncher, memory,
                             commandLine);
}

}  // namespace

class QtGameFolderTest : public QObject {
    Q_OBJECT

  private slots:
    void menuStartAsksForTheGameThenOpensOnItDirectly();
    void anErrorMakingTheMainWindowIsShown();
};

void QtGameFolderTest::menuStartAsksForTheGameThenOpensOnItDirectly() {
    QtProgram program;
    TempFolder home;
    home.MakeFolder("Documents");
    const std::string game = program.Game.Native();
    const std::string documents = home.NativeOf("Documents");
    const auto& asked = program.Dialogs.Folders;
    std::vector<std::string> setups;

    // No game at home and none remembered: the dialog starts at home; a folder
    // without the game gets the usual message and the dialog again, from there.
    program.Dialogs.FolderAnswers = {documents, game};
    QCOMPARE(Run(program, home.Native(), "", setups), 0);
    QCOMPARE(asked.size(), std::size_t(2));
    QCOMPARE(asked[0].Title, std::string("Choose the QEL2 game folder"));
    QCOMPARE(asked[0].StartFolder, std::string());
    QCOMPARE(asked[1].StartFolder, documents);
    QCOMPARE(NoGameMessages(program).size(), std::size_t(1));
    QVERIFY(Holds(NoGameMessages(program)[0], documents));
    QVERIFY(!setups.empty());
    QVERIFY(program.Game.Exists("quill.ini"));
    QVERIFY(Holds(gConfig->Read("Quillon/Quillon.conf"), "GameFolder=" + game));

    // The next start opens on it directly.
    const std::vector<std::string> firstSetups = setups;
    QCOMPARE(Run(program, home.Native(), "", setups), 0);
    QVERIFY(asked.empty());
    QCOMPARE(setups, firstSetups);

    // -choose asks all the same, from the remembered folder; Cancel ends the program
    // with the message, and the remembered folder stays.
    QCOMPARE(Run(program, home.Native(), "-choose", setups), 0);
    QCOMPARE(asked.size(), std::size_t(1));
    QCOMPARE(asked[0].StartFolder, game);
    QVERIFY(setups.empty());
    QCOMPARE(program.Messages().size(), std::size_t(1));
    QVERIFY(Holds(program.Messages()[0], kNoGame));
    QVERIFY(Holds(gConfig->Read("Quillon/Quillon.conf"), "GameFolder=" + game));

    // -path wins over the remembered folder, and is remembered in its turn.
    TempFolder other;
    std::filesystem::copy(game, other.Native(), std::filesystem::copy_options::recursive);
    QCOMPARE(Run(program, home.Native(), "-path \"" + other.Path() + "\"", setups), 0);
    QVERIFY(asked.empty());
    QVERIFY(other.Exists("quill.ini"));
    QVERIFY(Holds(gConfig->Read("Quillon/Quillon.conf"), "GameFolder=" + other.Native()));

    // The remembered game moved away: the dialog starts where it was.
    std::filesystem::rename(other.Native(), other.Native() + "-moved");
    QCOMPARE(Run(program, home.Native(), "", setups), 0);
    std::filesystem::rename(other.Native() + "-moved", other.Native());
    QCOMPARE(asked.size(), std::size_t(1));
    QCOMPARE(asked[0].StartFolder, other.Native());
    QVERIFY(setups.empty());
}

void QtGameFolderTest::anErrorMakingTheMainWindowIsShown() {
    QtProgram program;
    // Started in a folder that was deleted since: the main window cannot be made.
    {
        TempFolder gone;
        QDir::setCurrent(QString::fromStdString(gone.Native()));
    }
    QtGameFolderMemory memory;
    const int status =
        RunDesktopProgram(program.Factory, program.FileDialog, program.GameLauncher, memory, "");
    QDir::setCurrent(QDir::tempPath());
    QCOMPARE(status, 1);
    QCOMPARE(program.Messages().size(), std::size_t(1));
    QVERIFY(Holds(program.Messages()[0], "Quillon must end now; nothing was saved."));
}

int main(int argc, char** argv) {
    // Set before the toolkit first looks for its settings folder, which it reads once.
    TempFolder config;
    gConfig = &config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Native()));
    QApplication app(argc, argv);
    QtGameFolderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtGameFolderTest.moc"
