#include "QtForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QScreen>

#include "EventGuard.h"
#include "QtControls.h"
#include "QtEvents.h"
#include "QtText.h"

QtForm::QtForm(const WindowDescription& Description)
    : Form(Description), dialog_(Description.Dialog) {
    setObjectName(QString::fromStdString(Description.Name));
    setSizeGripEnabled(false);
    if (!dialog_)
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    else
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
}

QtForm::~QtForm() = default;

void QtForm::SetCaption(const std::string& caption) {
    setWindowTitle(QtText::ToQt(caption));
}

Control* QtForm::FindControl(const std::string& name) {
    return dynamic_cast<Control*>(findChild<QWidget*>(QString::fromStdString(name)));
}

void QtForm::Centre() {
    if (placed_)
        return;
    placed_ = true;
    adjustSize();
    QRect area;
    QWidget* over = dialog_ ? QApplication::activeWindow() : nullptr;
    if (over && over != this && over->isVisible()) {
        area = over->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid())
        move(area.center() - rect().center());
}

void QtForm::Show() {
    Centre();
    show();
    raise();
    activateWindow();
}

void QtForm::ShowModal() {
    Centre();
    exec();
}

void QtForm::Hide() {
    hide();
}

void QtForm::Close() {
    closing_ = true;
    close();
    closing_ = false;
}

void QtForm::Refresh() {
    if (!isVisible())
        return;
    // A bar that has just been shown needs its place before it can be drawn.
    if (layout())
        layout()->activate();
    for (QWidget* bar : findChildren<QtProgressBar*>())
        if (bar->isVisible())
            bar->repaint();
    for (QWidget* bar : findChildren<QtStatusBar*>())
        if (bar->isVisible())
            bar->repaint();
}

void QtForm::closeEvent(QCloseEvent* event) {
    if (!closing_ && !EventGuard::Ending()) {
        bool keepOpen = false;
        QtEvents::Raise([this, &keepOpen] { keepOpen = QueryClose && QueryClose(); });
        if (keepOpen) {
            event->ignore();
            return;
        }
    }
    // Accepting hides the window, which also ends a modal showing. The dialog's own
    // handling is left out: it would turn the close into a reject.
    event->accept();
    if (Closed)
        Closed();
}

void QtForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        QtEvents::Raise(Activate);
}

// Escape closes a dialog as its title bar's button does; the main window stays.
void QtForm::reject() {
    if (dialog_)
        close();
}
