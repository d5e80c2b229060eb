#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Controls.h"
#include "Win32Support.h"

// The controls of the Windows front end: each is a child window of the system's own
// classes and the control the window logic drives. A user's action reaches the logic
// through the control's event member; what the logic does to a control raises nothing
// (a check box's SetValue excepted, which the base class handles).

// A child window and what it makes of the notifications it sends its window.
class Win32Widget {
  public:
    virtual ~Win32Widget() = default;
    HWND Handle() const { return handle_; }
    // A WM_COMMAND notification from this control.
    virtual void Command(WORD) {}
    // A WM_NOTIFY notification from this control.
    virtual LRESULT Notify(const NMHDR&) { return 0; }
    // Whether Enter clicks it when it has the focus (a push button).
    virtual bool IsButton() const { return false; }

  protected:
    void Create(HWND parent, int id, const wchar_t* windowClass, DWORD style, DWORD exStyle = 0);
    HWND handle_ = nullptr;
};

// Visible() is the control's own setting, as the logic last made it: a control of a
// window that is not shown yet still counts as visible.
template <typename Interface>
class Win32Control : public Win32Widget, public Interface {
  public:
    void SetCaption(const std::string& caption) override;
    void SetVisible(bool visible) override;
    bool Visible() const override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override;
};

class Win32Label : public Win32Control<Label> {
  public:
    // A frame is a group box; a label a static text that wraps its words.
    Win32Label(HWND parent, int id, bool frame);
};

class Win32Button : public Win32Control<Button> {
  public:
    Win32Button(HWND parent, int id);
    void Command(WORD code) override;
    bool IsButton() const override { return true; }
};

class Win32CheckBox : public Win32Control<CheckBox> {
  public:
    Win32CheckBox(HWND parent, int id);
    ::CheckState Value() const override;
    void Command(WORD code) override;

  protected:
    void StoreValue(::CheckState value) override;
};

// Text boxes give back the very bytes the logic put in until the user edits them.
class Win32TextBox : public Win32Control<TextBox> {
  public:
    Win32TextBox(HWND parent, int id, bool multiLine, bool readOnly, bool number);
    void SetCaption(const std::string&) override {}
    void SetText(const std::string& text) override;
    std::string Text() const override;
    void Command(WORD code) override;
    // Raised when the box loses the focus.
    std::function<void()> LostFocus;

  private:
    bool multiLine_;
    std::string text_;
};

// Arrows attached to a text box. Its value is the box's number whenever the box holds
// one in range, so what the user types counts at once; leaving the box shows the value
// again.
class Win32UpDown : public Win32Control<UpDown> {
  public:
    Win32UpDown(HWND parent, int id, Win32TextBox& buddy);
    void SetCaption(const std::string&) override {}
    void SetRange(int min, int max) override;
    int Min() const override { return min_; }
    int Max() const override { return max_; }
    void SetValue(int value) override;
    int Value() const override;
    // Puts the arrows back beside the box after the box has moved.
    void Reattach();

  private:
    int Clamped(int value) const;
    Win32TextBox& buddy_;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

// A drop-down list of entries. Its text may also be one that no entry has; the list
// then shows no entry.
class Win32ComboBox : public Win32Control<ComboBox> {
  public:
    Win32ComboBox(HWND parent, int id);
    void SetCaption(const std::string&) override {}
    void Clear() override;
    void AddItem(const std::string& item) override;
    void SetText(const std::string& text) override;
    std::string Text() const override { return text_; }
    void Command(WORD code) override;

  private:
    void ShowText();
    std::vector<std::string> entries_;
    std::string text_;
};

// A report-style list view; items keep the bytes the logic gave them.
class Win32ListView : public Win32Control<ListView> {
  public:
    Win32ListView(HWND parent, int id);
    ~Win32ListView() override;
    void SetCaption(const std::string&) override {}
    void SetColumns(const std::string& first, const std::string& second) override;
    int SelectedIndex() const override;
    void Select(int index) override;
    bool IsSelected(int index) const override;
    LRESULT Notify(const NMHDR& header) override;
    // Shares the list's width among its columns.
    void FitColumns();
    // Where the item is drawn, in the list's client coordinates.
    RECT ItemRect(int index) const;

  protected:
    void ShowCleared() override;
    void ShowAdded(int index, const std::string& text) override;
    void ShowSubItem(int index, const std::string& text) override;
    void ShowMultiSelect(bool on) override;
    void AddToSelection(int index) override;

  private:
    static LRESULT CALLBACK KeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR self);
    std::size_t At(int index) const;
    void RaiseItemClick(int index);

    int columns_ = 1;
    bool byKeyboard_ = false;
};

class Win32StatusBar : public Win32Control<StatusBar> {
  public:
    Win32StatusBar(HWND parent, int id);
    void SetCaption(const std::string&) override {}
    void SetPanelCount(int count) override;
    void SetPanelText(int panel, const std::string& text) override;
    std::string PanelText(int panel) const override;
    // Lays the panels out over the bar's width: the first takes the room, the others
    // keep to their text.
    void FitPanels();

  private:
    std::vector<std::string> texts_;
};

class Win32ProgressBar : public Win32Control<ProgressBar> {
  public:
    Win32ProgressBar(HWND parent, int id);
    void SetCaption(const std::string&) override {}

  protected:
    void ShowValue() override;
};

// The width of a text in a window's font, in pixels.
int TextWidth(HWND window, const std::wstring& text);
// The text a window shows, as the system holds it.
std::wstring WindowText(HWND window);
