#pragma once

#include <string>
#include <vector>

// What a desktop front end's progress bar showed at each progress report of the window
// logic, as that front end's window test reads it off the bar.
struct ProgressReport {
    int Step, OutOf;
    bool Visible;
    long long ShownValue, ShownMax;
};

// The first report that the bar did not show as it must, as text, or "" when it showed
// all: hidden once an operation ends (a step below 0), else visible at the step out of
// the total (a total below 1 is shown as 1). `shown` counts the reports of a step.
std::string ProgressMismatch(const std::vector<ProgressReport>& reports, int& shown);
