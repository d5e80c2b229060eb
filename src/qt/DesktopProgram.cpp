#include "DesktopProgram.h"

#include <QApplication>
#include <memory>

#include "EventGuard.h"
#include "QtEvents.h"
#include "QtForm.h"
#include "frmMain.h"

namespace {
// The main window, made and loaded; null when that ended the program (with an error,
// shown here, or by start-up's own choice).
std::unique_ptr<frmMain> StartUp(FormFactory& factory, CommonDialog& fileDialog, Launcher& launcher,
                                 GameFolderMemory& rememberedGame, const std::string& commandLine,
                                 int& status) {
    try {
        auto main =
            std::make_unique<frmMain>(factory, fileDialog, launcher, commandLine, &rememberedGame);
        main->Load();
        if (main->Ended())
            return nullptr;
        return main;
    } catch (...) {
        EventGuard::ShowFatalError(std::current_exception());
    }
    status = 1;
    return nullptr;
}
}  // namespace

int RunDesktopProgram(FormFactory& factory, CommonDialog& fileDialog, Launcher& launcher,
                      GameFolderMemory& rememberedGame, const std::string& commandLine) {
    int status = 0;
    std::unique_ptr<frmMain> main =
        StartUp(factory, fileDialog, launcher, rememberedGame, commandLine, status);
    if (!main)
        return status;

    // Long operations run on this thread; the window logic has the window redrawn
    // (Form::Refresh) at each of their progress and status reports.
    auto& window = dynamic_cast<QtForm&>(main->Window());
    bool closing = false;
    // Closed from the title bar, or ended by the logic (its "Exit"): either way the
    // main window's close runs once and the program ends.
    window.Closed = [&] {
        if (closing)
            return;
        closing = true;
        QtEvents::Raise([&main] {
            if (!main->Ended())
                main->Close();
        });
        if (!EventGuard::Ending())
            QApplication::exit(0);
    };
    EventGuard::SetAfterEvent([&] {
        if (main->Ended() && !closing)
            window.Close();
    });
    window.Show();
    status = QApplication::exec();
    EventGuard::SetAfterEvent(nullptr);
    window.Closed = nullptr;
    return status;
}
