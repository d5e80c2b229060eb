#pragma once

#include <functional>

// The way every user action reaches the window logic, through the guard that every
// desktop front end shares (EventGuard.h): an error escaping a handler is shown and
// leaves the toolkit's event loop.
namespace QtEvents {

// Calls a handler of the window logic under the guard.
void Raise(const std::function<void()>& handler);

}  // namespace QtEvents
