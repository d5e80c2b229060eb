// quillon-screenshots FOLDER: pictures of the main window, the setup manager and the
// verification of the game files on the demo game, for the documentation.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>

#include "QtControls.h"
#include "QtForm.h"
#include "QtProgram.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon-screenshots FOLDER\n");
        return 3;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QtProgram program;
    program.Start(std::vector<MsgResult>(10, MsgResult::Yes));
    QtForm& window = program.Window();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    // A player's main window: a setup applied, another one chosen.
    auto* setups = program.Control<QtListView>("lstSetups");
    if (!QtProgram::ClickKey(setups, "Night Mode"))
        return 1;
    QTest::mouseClick(program.Control<QtButton>("cmdApply"), Qt::LeftButton);
    QtProgram::ClickKey(setups, "Base Rules");
    bool saved = window.grab().save(folder.filePath(QStringLiteral("main-window.png")));

    // The manager with a setup of two mods and a mod's description.
    const bool shown = program.WithManager([&](QtForm& manager) {
        program.Dialogs.InputAnswers.push_back("Big Map");
        QTest::mouseClick(program.Control<QtButton>("cmdNew"), Qt::LeftButton);
        auto* modis = program.Control<QtListView>("lstModis");
        for (const char* key : {"baserules", "bigmap"}) {
            QtProgram::ClickKey(modis, key);
            QTest::mouseClick(program.Control<QtButton>("cmdAdd"), Qt::LeftButton);
        }
        QtProgram::ClickKey(modis, "daymode");
        saved = manager.grab().save(folder.filePath(QStringLiteral("setup-manager.png"))) && saved;
    });
    // Verify after the player edited a file of the applied setup.
    program.Game.Write("qel2_data\\default\\gamedata\\newsprite.txt", "edited by hand\r\n");
    const bool verified = program.WithModal("frmVerify", "cmdVerify", [&](QtForm& verify) {
        saved = verify.grab().save(folder.filePath(QStringLiteral("verify.png"))) && saved;
    });
    if (!shown || !verified || !saved) {
        std::fprintf(stderr, "quillon-screenshots: the pictures could not be made\n");
        return 1;
    }
    return 0;
}
