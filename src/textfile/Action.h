#pragma once

#include <functional>
#include <memory>

class FileReference;

// An event source for walks over the file system: DoAction raises the Action event
// with its argument, which the listener may read and may replace. A listener asks
// the walk to stop by setting Abort.
class Action {
  public:
    bool Abort = false;
    void DoAction(std::shared_ptr<FileReference>& Arg) {
        if (OnAction)
            OnAction(Arg);
    }
    // The one listener.
    std::function<void(std::shared_ptr<FileReference>& Arg)> OnAction;
};
