#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The event source of long operations: step Progress of OutOf is under way (a
// negative Progress: the operation has ended), and Status describes the current
// step (the empty text clears it). The main window is its one listener.
class Progress {
  public:
    void ReportProgress(std::int32_t Step, std::int32_t OutOf) {
        if (OnProgress)
            OnProgress(Step, OutOf);
    }
    void ReportStatus(const std::string& Status) {
        if (OnStatus)
            OnStatus(Status);
    }

    std::function<void(std::int32_t Step, std::int32_t OutOf)> OnProgress;
    std::function<void(const std::string& Status)> OnStatus;
};
