// quillon-screenshots FOLDER: pictures of the program's windows on the demo game, for
// the documentation.
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
    auto save = [&folder](QWidget& shown, const char* name) {
        return shown.grab().save(folder.filePath(QString::fromLatin1(name)));
    };
    auto click = [&program](const char* name) {
        QTest::mouseClick(program.Control<QtButton>(name), Qt::LeftButton);
    };

    // A player's main window: a setup applied, another one chosen.
    auto* setups = program.Control<QtListView>("lstSetups");
    if (!QtProgram::ClickKey(setups, "Night Mode"))
        return 1;
    click("cmdApply");
    QtProgram::ClickKey(setups, "Base Rules");
    bool saved = save(window, "main-window.png");

    // The manager with a setup of two mods and a mod's description; the files of a
    // setup in which Day Mode, let in against the rules, overrides Night Mode.
    bool filesShown = false;
    const bool shown = program.WithManager([&](QtForm& manager) {
        program.Dialogs.InputAnswers.push_back("Big Map");
        click("cmdNew");
        auto* modis = program.Control<QtListView>("lstModis");
        for (const char* key : {"baserules", "bigmap"}) {
            QtProgram::ClickKey(modis, key);
            click("cmdAdd");
        }
        QtProgram::ClickKey(modis, "daymode");
        saved = save(manager, "setup-manager.png") && saved;

        program.Dialogs.InputAnswers.push_back("Night and Day");
        click("cmdNew");
        QtProgram::ClickBox(program.Control<QtCheckBox>("chkDisregardIncompatibility"));
        for (const char* key : {"baserules", "nightmode", "libraryplus", "daymode"}) {
            QtProgram::ClickKey(program.Control<QtListView>("lstModis"), key);
            click("cmdAdd");
        }
        filesShown = program.WithWindow("cmdSetupFiles", "frmSetupFiles", [&](QtForm& files) {
            saved = save(files, "setup-files.png") && saved;
        });
    });

    // The preview of a switch from Night Mode to Big Map, careful restoration on.
    QtProgram::ClickBox(program.Control<QtCheckBox>("chkRestoreOriginal"));
    QtProgram::ClickKey(setups, "Big Map");
    const bool previewShown = program.WithWindow("cmdPreview", "frmPreview", [&](QtForm& preview) {
        saved = save(preview, "preview.png") && saved;
    });

    // Verify after the player edited a file of the applied setup.
    program.Game.Write("qel2_data\\default\\gamedata\\newsprite.txt", "edited by hand\r\n");
    const bool verified = program.WithWindow("cmdVerify", "frmVerify", [&](QtForm& verify) {
        saved = save(verify, "verify.png") && saved;
    });
    if (!shown || !filesShown || !previewShown || !verified || !saved) {
        std::fprintf(stderr, "quillon-screenshots: the pictures could not be made\n");
        return 1;
    }
    return 0;
}
