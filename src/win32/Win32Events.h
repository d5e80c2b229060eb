#pragma once

#include <functional>
#include <string>

// The way every user action reaches the window logic. The logic's handlers catch what
// they can; an error that still escapes one must not unwind through the system's
// window procedures, so it is shown here and the program ends without saving.
namespace Win32Events {

// Calls a handler of the window logic; an empty handler is skipped. Once the program
// is ending, no further handler runs.
void Raise(const std::function<void()>& handler);

// Shows an error that ends the program: its message, number and source.
void ShowFatalError(long number, const std::string& source, const std::string& description);

// Whether an error is ending the program.
bool Ending();

}  // namespace Win32Events
