// quillon: the desktop program.
#include <QApplication>
#include <QIcon>
#include <exception>

#include "CommandLine.h"
#include "ProgramIdentity.h"
#include "QtCommonDialog.h"
#include "QtDialogService.h"
#include "QtEvents.h"
#include "QtForm.h"
#include "QtFormFactory.h"
#include "QtLauncher.h"
#include "QuillonError.h"
#include "frmMain.h"

int main(int argc, char** argv) {
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
    int status = 0;
    {
        frmMain main(factory, fileDialog, launcher, ProcessCommandLine(argc, argv));
        // Long operations run on this thread; the window logic has the window
        // redrawn (Form::Refresh) at each of their progress and status reports.
        auto& window = dynamic_cast<QtForm&>(main.Window());

        try {
            main.Load();
        } catch (const QuillonError& error) {
            QtEvents::ShowFatalError(error.Number, error.Source, error.Description);
            SetDialogService(nullptr);
            return 1;
        } catch (const std::exception& error) {
            QtEvents::ShowFatalError(0, ProgramIdentity::Title, error.what());
            SetDialogService(nullptr);
            return 1;
        }

        if (!main.Ended()) {
            bool closing = false;
            // Closed from the title bar, or ended by the logic (its "Exit"): either
            // way the main window's close runs once and the program ends.
            window.Closed = [&] {
                if (closing)
                    return;
                closing = true;
                QtEvents::Raise([&main] {
                    if (!main.Ended())
                        main.Close();
                });
                if (!QtEvents::Ending())
                    QApplication::exit(0);
            };
            QtEvents::SetAfterEvent([&] {
                if (main.Ended() && !closing)
                    window.Close();
            });
            window.Show();
            status = QApplication::exec();
            QtEvents::SetAfterEvent(nullptr);
            window.Closed = nullptr;
        }
    }
    SetDialogService(nullptr);
    return status;
}
