#include "QtCommonDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "NativeFileSystem.h"
#include "QtText.h"

QString QtCommonDialog::ToolkitFilter(const std::string& filter) {
    if (filter.empty())
        return QString();
    const QStringList parts = QtText::ToQt(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype at = 0; at + 1 < parts.size(); at += 2) {
        QStringList patterns = parts[at + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        const QString joined = patterns.join(QLatin1Char(' '));
        // The toolkit reads the patterns from the last parentheses: a description
        // that shows its own ("Text (*.txt)") gets them replaced, not doubled.
        QString description = parts[at].trimmed();
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
            description = description.left(description.lastIndexOf(QLatin1Char('('))).trimmed();
        if (description.isEmpty())
            description = joined;
        entries << description + QStringLiteral(" (") + joined + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

std::string QtCommonDialog::ProgramFileName(const QString& chosen) {
    const QByteArray native = QFile::encodeName(chosen);
    std::string name(native.constData(), static_cast<std::size_t>(native.size()));
    for (char& c : name)
        if (c == '/')
            c = '\\';
    return name;
}

void QtCommonDialog::ShowOpen() {
    Show(false);
}

void QtCommonDialog::ShowSave() {
    Show(true);
}

void QtCommonDialog::Show(bool save) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    const QString folder =
        InitDir.empty() ? QString() : QFile::decodeName(NativeFs::NativePath(InitDir).c_str());
    QFileDialog dialog(owner, QtText::ToQt(DialogTitle), folder, ToolkitFilter(Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The game's files were named on Windows: a pattern must find them in any case.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!FileName.empty())
        dialog.selectFile(QFile::decodeName(NativeFs::NativePath(FileName).c_str()));
    FileName.clear();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty())
        FileName = ProgramFileName(chosen.first());
}
