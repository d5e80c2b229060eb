#include "QtDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "NativeFileSystem.h"
#include "QtText.h"

namespace {
QWidget* Owner() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        // The exclamation marks a failure the user must act on ("File not found"),
        // so it looks harder than a warning.
        case MsgIcon::Exclamation:
            return QMessageBox::Critical;
        default:
            return QMessageBox::NoIcon;
    }
}
}  // namespace

void QtDialogService::Prepare(QMessageBox& box, const std::string& text, MsgIcon icon,
                              MsgButtons buttons, const std::string& title) {
    box.setWindowTitle(QtText::ToQt(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(QtText::Lines(text));
    box.setIcon(IconOf(icon));
    switch (buttons) {
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
    }
}

MsgResult QtDialogService::Answer(const QMessageBox& box, MsgButtons buttons) {
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        case QMessageBox::Ok:
            return MsgResult::OK;
        default:
            break;
    }
    if (buttons == MsgButtons::YesNo)
        return MsgResult::No;
    if (buttons == MsgButtons::YesNoCancel)
        return MsgResult::Cancel;
    return MsgResult::OK;
}

MsgResult QtDialogService::MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                                  const std::string& title) {
    QMessageBox box(Owner());
    Prepare(box, text, icon, buttons, title);
    box.exec();
    return Answer(box, buttons);
}

std::string QtDialogService::InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    QInputDialog dialog(Owner());
    dialog.setWindowTitle(QtText::ToQt(title));
    dialog.setLabelText(QtText::Lines(prompt));
    dialog.setTextValue(QtText::ToQt(defaultText));
    if (dialog.exec() != QDialog::Accepted)
        return "";
    return QtText::FromQt(dialog.textValue());
}

std::string QtDialogService::BrowseForFolder(const std::string& title,
                                             const std::string& startFolder) {
    // A folder that is gone (a game moved or deleted) starts the dialog at what is
    // left of its path.
    QString folder = startFolder.empty()
                         ? QDir::homePath()
                         : QFile::decodeName(NativeFs::NativePath(startFolder).c_str());
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot())
        folder = QFileInfo(folder).absolutePath();
    const QString chosen = QFileDialog::getExistingDirectory(Owner(), QtText::ToQt(title), folder);
    const QByteArray native = QFile::encodeName(chosen);
    return std::string(native.constData(), static_cast<std::size_t>(native.size()));
}
