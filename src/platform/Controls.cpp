#include "Controls.h"

#include "QuillonError.h"

void ListView::CheckIndex(int index) const {
    if (index < 1 || index > Count())
        throw QuillonError(ControlError::IndexOutOfBounds, "ListView", "Index out of bounds");
}

const ListView::Item& ListView::ItemAt(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index - 1)];
}

void ListView::Clear() {
    ShowCleared();
    items_.clear();
}

int ListView::AddItem(const std::string& key, const std::string& text) {
    ShowAdded(Count() + 1, text);
    items_.push_back({key, text, std::string()});
    return Count();
}

void ListView::SetSubItem(int index, const std::string& text) {
    CheckIndex(index);
    ShowSubItem(index, text);
    items_[static_cast<std::size_t>(index - 1)].sub = text;
}

const ControlDescription* WindowDescription::Find(const std::string& name) const {
    for (const ControlDescription& control : Controls)
        if (control.Name == name)
            return &control;
    return nullptr;
}

Control* Form::Find(const std::string& name) {
    return description_.Find(name) ? FindControl(name) : nullptr;
}

template <typename Interface>
Interface& Form::Named(const std::string& name, const char* kind) {
    if (auto* control = dynamic_cast<Interface*>(Find(name)))
        return *control;
    throw QuillonError(PlatformError::InvalidArgument, "Form",
                       "The window " + description_.Name + " has no " + kind + " named " + name);
}

Label& Form::LabelNamed(const std::string& name) {
    return Named<Label>(name, "label or frame");
}
Button& Form::ButtonNamed(const std::string& name) {
    return Named<Button>(name, "button");
}
CheckBox& Form::CheckBoxNamed(const std::string& name) {
    return Named<CheckBox>(name, "check box");
}
TextBox& Form::TextBoxNamed(const std::string& name) {
    return Named<TextBox>(name, "text box");
}
UpDown& Form::UpDownNamed(const std::string& name) {
    return Named<UpDown>(name, "up-down");
}
ComboBox& Form::ComboBoxNamed(const std::string& name) {
    return Named<ComboBox>(name, "combo box");
}
ListView& Form::ListViewNamed(const std::string& name) {
    return Named<ListView>(name, "list view");
}
StatusBar& Form::StatusBarNamed(const std::string& name) {
    return Named<StatusBar>(name, "status bar");
}
ProgressBar& Form::ProgressBarNamed(const std::string& name) {
    return Named<ProgressBar>(name, "progress bar");
}

namespace {
// The control as its kind, or the error of a window that lacks it; then its initial state.
Control& SetUp(Form& form, const ControlDescription& described) {
    const std::string& name = described.Name;
    switch (described.Kind) {
        case ControlKind::Label:
        case ControlKind::Frame:
            return form.LabelNamed(name);
        case ControlKind::Button:
            return form.ButtonNamed(name);
        case ControlKind::CheckBox:
            return form.CheckBoxNamed(name);
        case ControlKind::TextBox:
            return form.TextBoxNamed(name);
        case ControlKind::UpDown: {
            UpDown& upDown = form.UpDownNamed(name);
            upDown.SetRange(described.Min, described.Max);
            return upDown;
        }
        case ControlKind::ComboBox: {
            ComboBox& combo = form.ComboBoxNamed(name);
            for (const std::string& entry : described.Items)
                combo.AddItem(entry);
            combo.SetText(described.Text);
            return combo;
        }
        case ControlKind::ListView: {
            ListView& list = form.ListViewNamed(name);
            if (!described.Items.empty())
                list.SetColumns(described.Items[0],
                                described.Items.size() > 1 ? described.Items[1] : "");
            if (described.MultiSelect)
                list.SetMultiSelect(true);
            return list;
        }
        case ControlKind::StatusBar: {
            StatusBar& status = form.StatusBarNamed(name);
            status.SetPanelCount(static_cast<int>(described.Items.size()));
            for (std::size_t panel = 0; panel < described.Items.size(); ++panel)
                if (!described.Items[panel].empty())
                    status.SetPanelText(static_cast<int>(panel) + 1, described.Items[panel]);
            return status;
        }
        case ControlKind::ProgressBar:
            return form.ProgressBarNamed(name);
    }
    throw QuillonError(PlatformError::InvalidArgument, "Form",
                       "The window " + form.Description().Name + " has no control named " + name);
}
}  // namespace

std::unique_ptr<Form> FormFactory::CreateForm(const WindowDescription& Description) {
    std::unique_ptr<Form> form = MakeForm(Description);
    form->SetCaption(Description.Caption);
    for (const ControlDescription& described : Description.Controls) {
        Control& control = SetUp(*form, described);
        if (!described.Caption.empty())
            control.SetCaption(described.Caption);
        if (!described.Visible)
            control.SetVisible(false);
        if (!described.Enabled)
            control.SetEnabled(false);
    }
    return form;
}

void FormFactory::UnknownWindow(const std::string& Name) {
    throw QuillonError(PlatformError::InvalidArgument, "FormFactory", "No window is named " + Name);
}
