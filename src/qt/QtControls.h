#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWidget>
#include <string>
#include <vector>

#include "Controls.h"

// The controls of the desktop windows: each is a real widget and the control the
// window logic drives. A user's action raises the control's event member; what the
// logic does to a control raises nothing (a check box's SetValue excepted, which the
// base class handles).

// Visible() is the control's own setting, as the logic last made it: a control of a
// window that is not shown yet still counts as visible.
template <typename Widget, typename Interface>
class QtControl : public Widget, public Interface {
  public:
    explicit QtControl(QWidget* parent) : Widget(parent) {}
    void SetVisible(bool visible) override { Widget::setVisible(visible); }
    bool Visible() const override { return !Widget::isHidden(); }
    void SetEnabled(bool enabled) override { Widget::setEnabled(enabled); }
    bool Enabled() const override { return Widget::isEnabled(); }
};

class QtLabel : public QtControl<QLabel, Label> {
  public:
    explicit QtLabel(QWidget* parent);
    void SetCaption(const std::string& caption) override;
};

// A frame is a label for the window logic: it only carries a caption.
class QtFrame : public QtControl<QGroupBox, Label> {
  public:
    explicit QtFrame(QWidget* parent);
    void SetCaption(const std::string& caption) override;
};

class QtButton : public QtControl<QPushButton, Button> {
  public:
    explicit QtButton(QWidget* parent);
    void SetCaption(const std::string& caption) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class QtCheckBox : public QtControl<QCheckBox, CheckBox> {
  public:
    explicit QtCheckBox(QWidget* parent);
    void SetCaption(const std::string& caption) override;
    ::CheckState Value() const override;

  protected:
    void StoreValue(::CheckState value) override;
    // A user's click ticks a greyed box and otherwise toggles it.
    void nextCheckState() override;
};

// Text boxes give back the very bytes the logic put in until the user edits them.
class QtTextBox : public QtControl<QLineEdit, TextBox> {
  public:
    explicit QtTextBox(QWidget* parent);
    void SetCaption(const std::string& caption) override;
    void SetText(const std::string& text) override;
    std::string Text() const override;

  private:
    std::string text_;
};

class QtMultiLineTextBox : public QtControl<QPlainTextEdit, TextBox> {
  public:
    explicit QtMultiLineTextBox(QWidget* parent);
    void SetCaption(const std::string& caption) override;
    void SetText(const std::string& text) override;
    // The text as the logic set it, or as the user has since edited it (lines
    // joined with CR LF).
    std::string Text() const override;

  private:
    std::string text_;
};

// An up-down attached to a text box: two arrow buttons beside it. Its value is the
// box's number whenever the box holds one in range, so what the user types counts
// at once; leaving the box shows the value again.
class QtUpDown : public QtControl<QWidget, UpDown> {
  public:
    QtUpDown(QtTextBox* buddy, QWidget* parent);
    void SetCaption(const std::string& caption) override;
    void SetRange(int min, int max) override;
    int Min() const override { return min_; }
    int Max() const override { return max_; }
    void SetValue(int value) override;
    int Value() const override;
    // One step up (+1) or down (-1), as the arrow buttons and keys do.
    void Step(int delta);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int Clamped(int value) const;

    QtTextBox* buddy_;
    QIntValidator* validator_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

// A drop-down list of entries. Its text may also be one that no entry has; it is
// then shown greyed in place of a chosen entry.
class QtComboBox : public QtControl<QComboBox, ComboBox> {
  public:
    explicit QtComboBox(QWidget* parent);
    void SetCaption(const std::string& caption) override;
    void Clear() override;
    void AddItem(const std::string& item) override;
    void SetText(const std::string& text) override;
    std::string Text() const override { return text_; }

  private:
    void ShowText();

    std::string text_;
};

class QtListView : public QtControl<QTreeWidget, ListView> {
  public:
    explicit QtListView(QWidget* parent);
    void SetCaption(const std::string& caption) override;
    void SetColumns(const std::string& first, const std::string& second) override;
    int SelectedIndex() const override;
    void Select(int index) override;
    bool IsSelected(int index) const override;

    // Where the item is drawn, in the coordinates of the list's viewport.
    QRect ItemRect(int index) const;

  protected:
    void ShowCleared() override;
    void ShowAdded(int index, const std::string& text) override;
    void ShowSubItem(int index, const std::string& text) override;
    void ShowMultiSelect(bool on) override;
    void AddToSelection(int index) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QTreeWidgetItem* At(int index) const;
    void RaiseItemClick(int index);

    int selectedAtPress_ = 0;
};

class QtStatusBar : public QtControl<QStatusBar, StatusBar> {
  public:
    explicit QtStatusBar(QWidget* parent);
    void SetCaption(const std::string& caption) override;
    void SetPanelCount(int count) override;
    void SetPanelText(int panel, const std::string& text) override;
    std::string PanelText(int panel) const override;

  private:
    std::vector<QLabel*> panels_;
    std::vector<std::string> texts_;
};

class QtProgressBar : public QtControl<QProgressBar, ProgressBar> {
  public:
    explicit QtProgressBar(QWidget* parent);
    void SetCaption(const std::string& caption) override;

  protected:
    void ShowValue() override;
};
