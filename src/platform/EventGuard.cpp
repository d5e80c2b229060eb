#include "EventGuard.h"

#include "Dialogs.h"
#include "ProgramIdentity.h"
#include "QuillonError.h"

namespace EventGuard {
namespace {
std::function<void()> gAfterEvent;
bool gEnding = false;
}  // namespace

void Raise(const std::function<void()>& handler, void (*endLoop)()) {
    if (gEnding || !handler)
        return;
    try {
        handler();
        if (gAfterEvent)
            gAfterEvent();
    } catch (...) {
        // A second error while the first is being shown must not show again.
        if (gEnding)
            return;
        gEnding = true;
        try {
            ShowFatalError(std::current_exception());
        } catch (...) {
            // Nothing is left to tell the user with; ending is all that remains.
        }
        endLoop();
    }
}

void SetAfterEvent(std::function<void()> after) {
    gAfterEvent = std::move(after);
}

void ShowFatalError(long number, const std::string& source, const std::string& description) {
    MsgBox("Error " + std::to_string(number) + " (" + source + "):\r\n" + description + "\r\n\r\n" +
               ProgramIdentity::Title + " must end now; nothing was saved.",
           MsgIcon::Exclamation, MsgButtons::OK);
}

void ShowFatalError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const QuillonError& quillon) {
        ShowFatalError(quillon.Number, quillon.Source, quillon.Description);
    } catch (const std::exception& standard) {
        ShowFatalError(0, ProgramIdentity::Title, standard.what());
    } catch (...) {
        ShowFatalError(0, ProgramIdentity::Title, "Unexpected error");
    }
}

bool Ending() {
    return gEnding;
}

}  // namespace EventGuard
