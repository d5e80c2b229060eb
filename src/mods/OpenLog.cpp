#include "FileAccess.h"
#include "Shared.h"

namespace Shared {

void OpenLogForAppend(FileAccess& LogFile) {
    if (LogFile.FileAbsent()) {
        LogFile.OpenFileForOutput();
        LogFile.CloseFile();
    }
    LogFile.OpenFileForAppend();
}

}  // namespace Shared
