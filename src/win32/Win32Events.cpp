#include "Win32Events.h"

#include "EventGuard.h"
#include "Win32Support.h"

void Win32Events::Raise(const std::function<void()>& handler) {
    EventGuard::Raise(handler, [] { ::PostQuitMessage(1); });
}
