#pragma once

#include <functional>

// The way every user action reaches the window logic, through the guard that every
// desktop front end shares (EventGuard.h): an error escaping a handler is shown and
// ends the message loop.
namespace Win32Events {

// Calls a handler of the window logic under the guard.
void Raise(const std::function<void()>& handler);

}  // namespace Win32Events
