#pragma once

#include <exception>
#include <functional>
#include <string>

// The guard between a desktop front end's event loop and the window logic. The logic's
// handlers catch what they can; an error that still escapes one must not unwind
// through the toolkit's or the system's event dispatch, so it is shown here and the
// program ends without saving. Each front end says only how its event loop ends.
namespace EventGuard {

// Calls a handler of the window logic; an empty handler is skipped. Once the program
// is ending, no further handler runs. An error escaping the handler is shown, then
// `endLoop` ends the front end's event loop with status 1.
void Raise(const std::function<void()>& handler, void (*endLoop)());

// Runs after every handler, so that the program notices when the logic has ended it.
void SetAfterEvent(std::function<void()> after);

// Shows an error that ends the program: its message, number and source.
void ShowFatalError(long number, const std::string& source, const std::string& description);
// The same for a caught error of any type (the program's own, a standard one or other).
void ShowFatalError(const std::exception_ptr& error);

// Whether an error is ending the program.
bool Ending();

}  // namespace EventGuard
