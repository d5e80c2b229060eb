#include "QtEvents.h"

#include <QCoreApplication>

#include "EventGuard.h"

void QtEvents::Raise(const std::function<void()>& handler) {
    EventGuard::Raise(handler, [] { QCoreApplication::exit(1); });
}
