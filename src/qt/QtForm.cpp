#include "QtForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QScreen>

#include "QtControls.h"
#include "QtEvents.h"
#include "QtText.h"
#include "QuillonError.h"

QtForm::QtForm(std::string name, Kind kind) : name_(std::move(name)), kind_(kind) {
    setObjectName(QString::fromStdString(name_));
    setSizeGripEnabled(false);
    if (kind_ == Kind::MainWindow)
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

template <typename Interface>
Interface& QtForm::Named(const std::string& name, const char* kind) {
    auto* widget = findChild<QWidget*>(QString::fromStdString(name));
    if (auto* control = dynamic_cast<Interface*>(widget))
        return *control;
    throw QuillonError(PlatformError::InvalidArgument, "QtForm",
                       "The window " + name_ + " has no " + kind + " named " + name);
}

Label& QtForm::LabelNamed(const std::string& name) {
    return Named<Label>(name, "label or frame");
}
Button& QtForm::ButtonNamed(const std::string& name) {
    return Named<Button>(name, "button");
}
CheckBox& QtForm::CheckBoxNamed(const std::string& name) {
    return Named<CheckBox>(name, "check box");
}
TextBox& QtForm::TextBoxNamed(const std::string& name) {
    return Named<TextBox>(name, "text box");
}
UpDown& QtForm::UpDownNamed(const std::string& name) {
    return Named<UpDown>(name, "up-down");
}
ComboBox& QtForm::ComboBoxNamed(const std::string& name) {
    return Named<ComboBox>(name, "combo box");
}
ListView& QtForm::ListViewNamed(const std::string& name) {
    return Named<ListView>(name, "list view");
}
StatusBar& QtForm::StatusBarNamed(const std::string& name) {
    return Named<StatusBar>(name, "status bar");
}
ProgressBar& QtForm::ProgressBarNamed(const std::string& name) {
    return Named<ProgressBar>(name, "progress bar");
}

void QtForm::Centre() {
    if (placed_)
        return;
    placed_ = true;
    adjustSize();
    QRect area;
    QWidget* over = kind_ == Kind::Dialog ? QApplication::activeWindow() : nullptr;
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
    if (!closing_ && !QtEvents::Ending()) {
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
    if (kind_ == Kind::Dialog)
        close();
}
