#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "Controls.h"

// A window of the program. Its controls are its child widgets, found by their
// object names. The main window is a top-level window that Escape does not close;
// the others are dialogs, shown modally over the window the user is in.
class QtForm : public QDialog, public Form {
  public:
    explicit QtForm(const WindowDescription& Description);
    ~QtForm() override;

    void SetCaption(const std::string& caption) override;

    // The first showing centres the window: the main window on the screen, a
    // dialog over the window the user is in. Later showings keep where it was.
    void Show() override;
    void ShowModal() override;
    void Hide() override;
    bool Visible() const override { return isVisible(); }
    // Ends the window without asking QueryClose.
    void Close() override;
    // Draws the progress bars and status bars at once, without taking user input.
    void Refresh() override;

    // Raised when the window has closed (by the user or by Close); the program
    // ends with its main window.
    std::function<void()> Closed;

  protected:
    Control* FindControl(const std::string& name) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void Centre();

    bool dialog_;
    bool closing_ = false;
    bool placed_ = false;
};
