#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WindowDescription.h"

// The controls of the program's windows, as the window logic sees them. The desktop
// front end implements them with real widgets, the script driver in memory. The
// window's description gives every caption and initial state, the window logic owns
// every event handler; a front end only draws the controls, reports the user's actions through the
// event members and never calls the handlers for changes the logic made itself (except where
// noted).

class Control {
  public:
    virtual ~Control() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    // A disabled control is drawn but takes no input from the user.
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
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
// are 1-based; 0 means no item. A list holds one selected item unless it is told to
// allow several.
class ListView : public Control {
  public:
    virtual void SetColumns(const std::string& first, const std::string& second) = 0;
    // The items keep the bytes the logic gave them, whatever a front end made of them
    // on screen.
    void Clear();
    // Appends an item and returns its position.
    int AddItem(const std::string& key, const std::string& text);
    void SetSubItem(int index, const std::string& text);
    int Count() const { return static_cast<int>(items_.size()); }
    std::string Key(int index) const { return ItemAt(index).key; }
    std::string Text(int index) const { return ItemAt(index).text; }
    std::string SubItem(int index) const { return ItemAt(index).sub; }
    // The selected item; of several, the first in the list.
    virtual int SelectedIndex() const = 0;
    // Selects an item alone (0: none) without raising ItemClick.
    virtual void Select(int index) = 0;

    // Whether the user may select several items (ctrl- and shift-clicks).
    void SetMultiSelect(bool on) {
        multiSelect_ = on;
        ShowMultiSelect(on);
    }
    bool MultiSelect() const { return multiSelect_; }
    virtual bool IsSelected(int index) const = 0;
    // Adds an item to the selection without raising ItemClick; in a list that allows
    // one selected item, selects it alone.
    void SelectAlso(int index) {
        if (!multiSelect_)
            return Select(index);
        AddToSelection(index);
    }
    // Every selected item, in list order.
    std::vector<int> SelectedIndices() const {
        std::vector<int> selected;
        for (int i = 1; i <= Count(); ++i)
            if (IsSelected(i))
                selected.push_back(i);
        return selected;
    }

    int FindKey(const std::string& key) const {
        for (int i = 1; i <= Count(); ++i)
            if (Key(i) == key)
                return i;
        return 0;
    }

    std::function<void(int index)> ItemClick;
    std::function<void(ListKey key)> KeyUp;
    std::function<void()> DblClick;

  protected:
    // Raises the error of an item that is not in the list.
    void CheckIndex(int index) const;
    virtual void ShowCleared() = 0;
    // Draws a new last item (index is its position).
    virtual void ShowAdded(int index, const std::string& text) = 0;
    virtual void ShowSubItem(int index, const std::string& text) = 0;
    // Draws the list as allowing several selected items, or one.
    virtual void ShowMultiSelect(bool on) = 0;
    // Adds an item to the selection of a list that allows several.
    virtual void AddToSelection(int index) = 0;

  private:
    struct Item {
        std::string key, text, sub;
    };
    const Item& ItemAt(int index) const;

    std::vector<Item> items_;
    bool multiSelect_ = false;
};

class StatusBar : public Control {
  public:
    // Panels are 1-based.
    virtual void SetPanelCount(int count) = 0;
    virtual void SetPanelText(int panel, const std::string& text) = 0;
    virtual std::string PanelText(int panel) const = 0;
};

// A progress bar keeps the maximum and the value as the logic set them; a front end
// only draws them.
class ProgressBar : public Control {
  public:
    void SetMax(int max) {
        max_ = max;
        ShowValue();
    }
    void SetValue(int value) {
        value_ = value;
        ShowValue();
    }
    int Max() const { return max_; }
    int Value() const { return value_; }

  protected:
    // What the bar shows: never a maximum below 1 (a range of 0 to 0 would turn a
    // drawn bar into a busy indicator) nor a value outside its range.
    int ShownMax() const { return max_ < 1 ? 1 : max_; }
    int ShownValue() const { return value_ < 0 ? 0 : (value_ > ShownMax() ? ShownMax() : value_); }
    // Draws ShownValue() of ShownMax(); a front end that draws nothing keeps this.
    virtual void ShowValue() {}

  private:
    int max_ = 100;
    int value_ = 0;
};

// A window, made by a front end from its description. Its controls are found by name
// once, through FindControl; a name the description lacks, or a control of another
// kind than the one asked for, raises QuillonError in every front end alike.
class Form {
  public:
    explicit Form(const WindowDescription& Description) : description_(Description) {}
    virtual ~Form() = default;
    const WindowDescription& Description() const { return description_; }
    virtual void SetCaption(const std::string& caption) = 0;

    // The described control of that name, or null.
    Control* Find(const std::string& name);
    Label& LabelNamed(const std::string& name);
    Button& ButtonNamed(const std::string& name);
    CheckBox& CheckBoxNamed(const std::string& name);
    TextBox& TextBoxNamed(const std::string& name);
    UpDown& UpDownNamed(const std::string& name);
    ComboBox& ComboBoxNamed(const std::string& name);
    ListView& ListViewNamed(const std::string& name);
    StatusBar& StatusBarNamed(const std::string& name);
    ProgressBar& ProgressBarNamed(const std::string& name);

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

  protected:
    // The front end's control of a described name, or null.
    virtual Control* FindControl(const std::string& name) = 0;

  private:
    template <typename Interface>
    Interface& Named(const std::string& name, const char* kind);

    const WindowDescription& description_;
};

// What the window logic asks of the desktop besides the dialogs.
class FormFactory {
  public:
    virtual ~FormFactory() = default;
    // The window a description describes, each control in its initial state. A window
    // that the front end cannot draw raises QuillonError, and so does one that lacks a
    // described control.
    std::unique_ptr<Form> CreateForm(const WindowDescription& Description);

  protected:
    // The front end's window with a control of each description, in no particular state.
    virtual std::unique_ptr<Form> MakeForm(const WindowDescription& Description) = 0;
    // Raises the error of a window that the front end does not know.
    [[noreturn]] static void UnknownWindow(const std::string& Name);
};
