#include <clocale>
#include <ctime>

#include "Clock.h"

namespace Clock {
namespace {
std::string Format(const char* format) {
    static const bool localeSet = [] {
        std::setlocale(LC_TIME, "");
        return true;
    }();
    (void)localeSet;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[128];
    std::size_t size = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, size);
}
}  // namespace

std::string DateText() {
    return Format("%x");
}
std::string TimeText() {
    return Format("%X");
}
}  // namespace Clock
