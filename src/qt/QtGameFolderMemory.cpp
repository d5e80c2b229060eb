#include "QtGameFolderMemory.h"

#include <QFile>
#include <QSettings>

#include "NativeFileSystem.h"

namespace {
QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillon"),
                     QStringLiteral("Quillon"));
}
const QString kKey = QStringLiteral("GameFolder");
}  // namespace

std::string QtGameFolderMemory::Recall() const {
    const QByteArray native = QFile::encodeName(Store().value(kKey).toString());
    return std::string(native.constData(), static_cast<std::size_t>(native.size()));
}

void QtGameFolderMemory::Remember(const std::string& folder) {
    // Kept as the system spells it, without the final separator, so that the
    // settings file reads as the user would write it.
    std::string native = NativeFs::NativePath(folder);
    while (native.size() > 1 && (native.back() == '/' || native.back() == '\\'))
        native.pop_back();
    QSettings settings = Store();
    settings.setValue(kKey, QFile::decodeName(native.c_str()));
    settings.sync();
}
