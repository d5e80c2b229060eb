#include "ProgressReports.h"

std::string ProgressMismatch(const std::vector<ProgressReport>& reports, int& shown) {
    shown = 0;
    for (const ProgressReport& report : reports) {
        const std::string what =
            "report " + std::to_string(report.Step) + "/" + std::to_string(report.OutOf);
        if (report.Step < 0) {
            if (report.Visible)
                return what + ": the bar is still shown";
            continue;
        }
        ++shown;
        const long long top = report.OutOf < 1 ? 1 : report.OutOf;
        if (!report.Visible)
            return what + ": the bar is hidden";
        if (report.ShownValue != report.Step || report.ShownMax != top)
            return what + ": the bar shows " + std::to_string(report.ShownValue) + " of " +
                   std::to_string(report.ShownMax);
    }
    return "";
}
