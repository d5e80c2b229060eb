#include "Operation.h"

#include "Journal.h"
#include "Progress.h"
#include "Shared.h"

OperationContext OperationContext::Inner() const {
    OperationContext inner = *this;
    inner.LogFileOpen = Log;
    return inner;
}

void OperationContext::LogLine(const std::string& Line) const {
    Shared::LogLine(Log, LogFile, Line);
}

OperationFrame::OperationFrame(const OperationContext& Context) : context_(Context) {
    Shared::OpenLog(context_.Log, context_.LogFile, context_.LogFileOpen);
}

OperationFrame::OperationFrame(const OperationContext& Context, const std::string& OpeningLine,
                               const std::string& Status)
    : OperationFrame(Context) {
    context_.LogLine(OpeningLine);
    context_.Progress.ReportStatus(Status);
    statusShown_ = true;
}

OperationFrame::~OperationFrame() {
    if (closed_)
        return;
    try {
        Shared::CloseLog(context_.Log, context_.LogFile, context_.LogFileOpen);
    } catch (...) {
        // The error already on its way is the one the user must see.
    }
}

bool OperationFrame::Finish(const std::string& ClosingLine, bool Failed) {
    if (statusShown_)
        context_.Progress.ReportStatus("");
    if (!ClosingLine.empty())
        context_.LogLine(ClosingLine);
    // A mod or setup operation that has ended is recorded in the journal of the
    // operation on the game under way, when there is one.
    if (statusShown_ && !ClosingLine.empty())
        Journal::NoteModOperation(context_.FileInterface, context_.QELPath, ClosingLine);
    closed_ = true;
    Shared::CloseLog(context_.Log, context_.LogFile, context_.LogFileOpen);
    return Failed;
}
