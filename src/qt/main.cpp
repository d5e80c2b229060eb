// quillon: the desktop program.
#include <QApplication>
#include <QIcon>
#include <iostream>

#include "CommandLine.h"
#include "DesktopProgram.h"
#include "ProgramIdentity.h"
#include "QtCommonDialog.h"
#include "QtDialogService.h"
#include "QtFormFactory.h"
#include "QtGameFolderMemory.h"
#include "QtLauncher.h"
#include "frmMain.h"

int main(int argc, char** argv) {
    // Answered before the toolkit starts, so that they work without a display.
    switch (InfoRequestOf(argc, argv)) {
        case InfoRequest::Usage:
            std::cout << frmMain::Usage();
            return 0;
        case InfoRequest::Version:
            std::cout << "quillon " << ProgramIdentity::Version << "\n";
            return 0;
        case InfoRequest::None:
            break;
    }

    // The toolkit takes its own options (-style, -platform, ...) off the command
    // line first; the program reads what is left.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProgramIdentity::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(ProgramIdentity::Version));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillon.png")));
    // The program ends with its main window, through the main window's own close.
    QApplication::setQuitOnLastWindowClosed(false);

    QtDialogService dialogs;
    SetDialogService(&dialogs);
    QtFormFactory factory;
    QtCommonDialog fileDialog;
    QtLauncher launcher;
    QtGameFolderMemory rememberedGame;
    const int status = RunDesktopProgram(factory, fileDialog, launcher, rememberedGame,
                                         ProcessCommandLine(argc, argv));
    SetDialogService(nullptr);
    return status;
}
