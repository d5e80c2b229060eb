#include "Win32Events.h"

#include <exception>

#include "Dialogs.h"
#include "ProgramIdentity.h"
#include "QuillonError.h"
#include "Win32Support.h"

namespace Win32Events {
namespace {
bool gEnding = false;

void End(long number, const std::string& source, const std::string& description) {
    if (gEnding)
        return;
    gEnding = true;
    try {
        ShowFatalError(number, source, description);
    } catch (...) {
        // Nothing is left to tell the user with; ending is all that remains.
    }
    ::PostQuitMessage(1);
}
}  // namespace

void Raise(const std::function<void()>& handler) {
    if (gEnding || !handler)
        return;
    try {
        handler();
    } catch (const QuillonError& error) {
        End(error.Number, error.Source, error.Description);
    } catch (const std::exception& error) {
        End(0, ProgramIdentity::Title, error.what());
    } catch (...) {
        End(0, ProgramIdentity::Title, "Unexpected error");
    }
}

void ShowFatalError(long number, const std::string& source, const std::string& description) {
    MsgBox("Error " + std::to_string(number) + " (" + source + "):\r\n" + description +
               "\r\n\r\nQuillon must end now; nothing was saved.",
           MsgIcon::Exclamation, MsgButtons::OK);
}

bool Ending() {
    return gEnding;
}

}  // namespace Win32Events
