#pragma once

#include <string>

class FileAccess;
class FileInterface;
class Progress;

// What one mod or setup operation works with: the log, the listener of its progress,
// the file interface and the paths its transfers are resolved against.
struct OperationContext {
    bool Log;
    FileAccess& LogFile;
    // Whether the caller holds the log open already.
    bool LogFileOpen;
    ::Progress& Progress;
    ::FileInterface* FileInterface;
    const std::string& Language;
    const std::string& QELPath;

    // The context of a step run inside this operation, which holds the log open.
    OperationContext Inner() const;
    // Writes one line when logging is on.
    void LogLine(const std::string& Line) const;
};

// The frame of one operation. It opens the log when logging is on and its caller does
// not hold it open, writes the opening line and shows the status; Finish clears the
// status, writes the closing line and closes what the frame opened. An error that cuts
// the operation short closes the log all the same, so that between operations the log
// is never left open.
class OperationFrame {
  public:
    // A frame that only keeps the log open.
    explicit OperationFrame(const OperationContext& Context);
    OperationFrame(const OperationContext& Context, const std::string& OpeningLine,
                   const std::string& Status);
    ~OperationFrame();
    OperationFrame(const OperationFrame&) = delete;
    OperationFrame& operator=(const OperationFrame&) = delete;

    // Ends the operation (an empty ClosingLine writes none) and returns Failed, the
    // operation's own result.
    bool Finish(const std::string& ClosingLine, bool Failed);

  private:
    const OperationContext& context_;
    bool statusShown_ = false;
    bool closed_ = false;
};
