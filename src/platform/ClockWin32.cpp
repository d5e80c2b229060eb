#include "Clock.h"
#include "Win32Support.h"

namespace Clock {
namespace {
// The user's regional formats, as the rest of the desktop shows dates and times.
std::string Format(bool date) {
    wchar_t buffer[128];
    const int size =
        date ? ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer,
                                 128, nullptr)
             : ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, buffer, 128);
    if (size <= 1)
        return "";
    return Win32::Narrow(std::wstring(buffer, static_cast<std::size_t>(size - 1)));
}
}  // namespace

std::string DateText() {
    return Format(true);
}
std::string TimeText() {
    return Format(false);
}
}  // namespace Clock
