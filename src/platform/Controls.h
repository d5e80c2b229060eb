#pragma once

#include <functional>
#include <memory>
#include <string>

// The controls of the program's windows, as the window logic sees them. The desktop
// front end implements them with real widgets, the script driver in memory. The
// window logic sets every caption and owns every event handler; a front end only
// draws the controls, reports the user's actions through the event members and
// never calls the handlers for changes the logic made itself (except where noted).

class Control {
  public:
    virtual ~Control() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
};

// Frames and labels only carry a caption.
class Label : public Control {};

class Button : public Control {
  public:
    std::function<void()> Click;
};

enum class CheckState { Unticked = 0, Ticked = 1, Greyed = 2 };

class CheckBox : public Control {
  public:
    virtual CheckState Value() const = 0;
    // Changing the value raises Click, as a user's click does.
    void SetValue(CheckState value) {
        if (value == Value())
            return;
        StoreValue(value);
        if (Click)
            Click();
    }
    std::function<void()> Click;

  protected:
    virtual void StoreValue(CheckState value) = 0;
};

class TextBox : public Control {
  public:
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
};

// An up-down attached to a text box, which it keeps in step with its value.
class UpDown : public Control {
  public:
    virtual void SetRange(int min, int max) = 0;
    virtual int Min() const = 0;
    virtual int Max() const = 0;
    virtual void SetValue(int value) = 0;
    virtual int Value() const = 0;
};

class ComboBox : public Control {
  public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& item) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    // An entry chosen by the user (the text already holds it).
    std::function<void()> Click;
};

enum class ListKey { Delete, Enter };

// A list view of items with a key, a text and optionally a second column. Positions
// are 1-based; 0 means no item.
class ListView : public Control {
  public:
    virtual void SetColumns(const std::string& first, const std::string& second) = 0;
    virtual void Clear() = 0;
    // Appends an item and returns its position.
    virtual int AddItem(const std::string& key, const std::string& text) = 0;
    virtual void SetSubItem(int index, const std::string& text) = 0;
    virtual int Count() const = 0;
    virtual std::string Key(int index) const = 0;
    virtual std::string Text(int index) const = 0;
    virtual std::string SubItem(int index) const = 0;
    virtual int SelectedIndex() const = 0;
    // Selects an item (0: none) without raising ItemClick.
    virtual void Select(int index) = 0;

    int FindKey(const std::string& key) const {
        for (int i = 1; i <= Count(); ++i)
            if (Key(i) == key)
                return i;
        return 0;
    }

    std::function<void(int index)> ItemClick;
    std::function<void(ListKey key)> KeyUp;
    std::function<void()> DblClick;
};

class StatusBar : public Control {
  public:
    // Panels are 1-based.
    virtual void SetPanelCount(int count) = 0;
    virtual void SetPanelText(int panel, const std::string& text) = 0;
    virtual std::string PanelText(int panel) const = 0;
};

class ProgressBar : public Control {
  public:
    virtual void SetMax(int max) = 0;
    virtual void SetValue(int value) = 0;
    virtual int Max() const = 0;
    virtual int Value() const = 0;
};

// A window. Its controls are found by name; a front end that does not know a name
// raises QuillonError.
class Form {
  public:
    virtual ~Form() = default;
    virtual void SetCaption(const std::string& caption) = 0;

    virtual Label& LabelNamed(const std::string& name) = 0;
    virtual Button& ButtonNamed(const std::string& name) = 0;
    virtual CheckBox& CheckBoxNamed(const std::string& name) = 0;
    virtual TextBox& TextBoxNamed(const std::string& name) = 0;
    virtual UpDown& UpDownNamed(const std::string& name) = 0;
    virtual ComboBox& ComboBoxNamed(const std::string& name) = 0;
    virtual ListView& ListViewNamed(const std::string& name) = 0;
    virtual StatusBar& StatusBarNamed(const std::string& name) = 0;
    virtual ProgressBar& ProgressBarNamed(const std::string& name) = 0;

    virtual void Show() = 0;
    // Shows the window modally: returns when it has been hidden.
    virtual void ShowModal() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    // Ends the window (the main window's end ends the program).
    virtual void Close() = 0;

    // Raised when the window becomes the active one.
    std::function<void()> Activate;
    // Raised when the user closes the window from its title bar (or the script's
    // `close`); returning true keeps it open.
    std::function<bool()> QueryClose;
    // Lets a long operation's progress be drawn before it goes on.
    virtual void Refresh() {}
};

// What the window logic asks of the desktop besides the dialogs.
class FormFactory {
  public:
    virtual ~FormFactory() = default;
    // A window of a kind the front end knows ("frmMain", "frmManageSetups").
    virtual std::unique_ptr<Form> CreateForm(const std::string& name) = 0;
};
