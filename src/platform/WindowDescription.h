#pragma once

#include <string>
#include <vector>

// What a window is made of, written once by the window's logic and read by every front
// end: each control's name, kind, caption (with its "&" accelerator) and initial state.
// A front end adds only where the controls go and how large they are.

enum class ControlKind {
    Label,
    Frame,  // a labelled group of controls; a Label to the window logic
    Button,
    CheckBox,
    TextBox,
    UpDown,
    ComboBox,
    ListView,
    StatusBar,
    ProgressBar
};

struct ControlDescription {
    std::string Name;
    ControlKind Kind = ControlKind::Label;
    std::string Caption;
    // A text box that shows several lines; a text box the user cannot edit.
    bool MultiLine = false;
    bool ReadOnly = false;
    // An up-down: the text box it is attached to, described before it, and its range.
    std::string Buddy;
    int Min = 0;
    int Max = 0;
    // A combo box's entries, a list view's column headers (none: no header) or a
    // status bar's panels with their texts.
    std::vector<std::string> Items;
    // A combo box's text.
    std::string Text;
    bool Visible = true;
    // A control that takes no input until the window logic enables it.
    bool Enabled = true;
};

struct WindowDescription {
    std::string Name;
    std::string Caption;
    // A dialog is shown over the window the user is in; otherwise the window is the
    // program's main window.
    bool Dialog = false;
    std::vector<ControlDescription> Controls;

    // The control of that name, or null.
    const ControlDescription* Find(const std::string& name) const;
};
