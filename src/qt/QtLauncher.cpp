#include "QtLauncher.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <vector>

#include "NativeLauncher.h"
#include "QuillonError.h"

void QtLauncher::Launch(const std::string& program) {
    if (NativeLauncher::StartsWindowMaximized()) {
        // Only the system's own start opens the game's window maximized and in front.
        NativeLauncher().Launch(program);
        return;
    }
    const std::vector<std::string> words = NativeLauncher::CommandFor(program);
    QStringList arguments;
    for (std::size_t at = 1; at < words.size(); ++at)
        arguments << QFile::decodeName(words[at].c_str());
    if (!QProcess::startDetached(QFile::decodeName(words.front().c_str()), arguments))
        throw QuillonError(PlatformError::CannotStart, "Platform",
                           "Could not start " + program + ".");
}
