#include "HeadlessControls.h"

#include <set>

#include "HeadlessDriver.h"
#include "QuillonError.h"
#include "Useful.h"

namespace {

// What every in-memory control keeps: its caption, whether it is shown and whether
// the user may use it.
template <typename Interface>
class MemControl : public Interface, public ShowableControl {
  public:
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool Enabled() const override { return enabled_; }

  protected:
    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
};

class MemLabel : public MemControl<Label> {
  public:
    std::vector<std::string> StateLines() const override { return Useful::SplitLines(caption_); }
};

class MemButton : public MemControl<Button> {
  public:
    std::vector<std::string> StateLines() const override { return {caption_}; }
};

class MemCheckBox : public MemControl<CheckBox> {
  public:
    CheckState Value() const override { return value_; }
    std::vector<std::string> StateLines() const override {
        switch (value_) {
            case CheckState::Ticked:
                return {"ticked"};
            case CheckState::Greyed:
                return {"greyed"};
            default:
                return {"unticked"};
        }
    }

  protected:
    void StoreValue(CheckState value) override { value_ = value; }

  private:
    CheckState value_ = CheckState::Unticked;
};

class MemTextBox : public MemControl<TextBox> {
  public:
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_; }
    std::vector<std::string> StateLines() const override { return Useful::SplitLines(text_); }

  private:
    std::string text_;
};

class MemUpDown : public MemControl<UpDown> {
  public:
    explicit MemUpDown(TextBox* buddy) : buddy_(buddy) {}
    void SetRange(int min, int max) override {
        min_ = min;
        max_ = max;
        SetValue(value_);
    }
    int Min() const override { return min_; }
    int Max() const override { return max_; }
    void SetValue(int value) override {
        value_ = value < min_ ? min_ : (value > max_ ? max_ : value);
        if (buddy_)
            buddy_->SetText(std::to_string(value_));
    }
    int Value() const override { return value_; }
    std::vector<std::string> StateLines() const override { return {std::to_string(value_)}; }

  private:
    TextBox* buddy_;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

class MemComboBox : public MemControl<ComboBox> {
  public:
    void Clear() override { items_.clear(); }
    void AddItem(const std::string& item) override { items_.push_back(item); }
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_; }
    std::vector<std::string> StateLines() const override { return Useful::SplitLines(text_); }
    bool HasEntry(const std::string& item) const override {
        for (const std::string& entry : items_)
            if (entry == item)
                return true;
        return false;
    }

  private:
    std::vector<std::string> items_;
    std::string text_;
};

class MemListView : public MemControl<ListView> {
  public:
    void SetColumns(const std::string&, const std::string& second) override {
        twoColumns_ = !second.empty();
    }
    int SelectedIndex() const override { return selected_.empty() ? 0 : *selected_.begin(); }
    void Select(int index) override {
        if (index != 0)
            CheckIndex(index);
        selected_.clear();
        if (index != 0)
            selected_.insert(index);
    }
    bool IsSelected(int index) const override { return selected_.count(index) != 0; }
    std::vector<std::string> StateLines() const override {
        std::vector<std::string> lines;
        for (int i = 1; i <= Count(); ++i) {
            std::string line = (IsSelected(i) ? "* " : "  ") + Key(i) + "\t" + Text(i);
            if (twoColumns_)
                line += "\t" + SubItem(i);
            lines.push_back(line);
        }
        return lines;
    }

  protected:
    void ShowCleared() override { selected_.clear(); }
    void ShowAdded(int, const std::string&) override {}
    void ShowSubItem(int, const std::string&) override {}
    void ShowMultiSelect(bool) override {}
    void AddToSelection(int index) override {
        CheckIndex(index);
        selected_.insert(index);
    }

  private:
    std::set<int> selected_;
    bool twoColumns_ = false;
};

class MemStatusBar : public MemControl<StatusBar> {
  public:
    void SetPanelCount(int count) override { panels_.resize(static_cast<std::size_t>(count)); }
    void SetPanelText(int panel, const std::string& text) override {
        if (panel < 1)
            return;
        if (static_cast<std::size_t>(panel) > panels_.size())
            panels_.resize(static_cast<std::size_t>(panel));
        panels_[static_cast<std::size_t>(panel - 1)] = text;
    }
    std::string PanelText(int panel) const override {
        if (panel < 1 || static_cast<std::size_t>(panel) > panels_.size())
            return "";
        return panels_[static_cast<std::size_t>(panel - 1)];
    }
    std::vector<std::string> StateLines() const override { return panels_; }

  private:
    std::vector<std::string> panels_;
};

class MemProgressBar : public MemControl<ProgressBar> {
  public:
    std::vector<std::string> StateLines() const override {
        if (!visible_)
            return {"hidden"};
        return {std::to_string(Value()) + " of " + std::to_string(Max())};
    }
};

std::unique_ptr<Control> MakeControl(const ControlDescription& Described, TextBox* Buddy) {
    switch (Described.Kind) {
        case ControlKind::Label:
        case ControlKind::Frame:
            return std::make_unique<MemLabel>();
        case ControlKind::Button:
            return std::make_unique<MemButton>();
        case ControlKind::CheckBox:
            return std::make_unique<MemCheckBox>();
        case ControlKind::TextBox:
            return std::make_unique<MemTextBox>();
        case ControlKind::UpDown:
            return std::make_unique<MemUpDown>(Buddy);
        case ControlKind::ComboBox:
            return std::make_unique<MemComboBox>();
        case ControlKind::ListView:
            return std::make_unique<MemListView>();
        case ControlKind::StatusBar:
            return std::make_unique<MemStatusBar>();
        case ControlKind::ProgressBar:
            return std::make_unique<MemProgressBar>();
    }
    return nullptr;
}
}  // namespace

HeadlessForm::HeadlessForm(ScriptDriver& Driver, const WindowDescription& Description)
    : Form(Description), driver_(Driver) {
    for (const ControlDescription& described : Description.Controls) {
        auto* buddy = dynamic_cast<TextBox*>(FindControl(described.Buddy));
        controls_[described.Name] = MakeControl(described, buddy);
    }
}

HeadlessForm::~HeadlessForm() = default;

void HeadlessForm::ShowModal() {
    visible_ = true;
    driver_.RunModal(*this);
}

Control* HeadlessForm::FindControl(const std::string& name) {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second.get();
}

std::unique_ptr<Form> HeadlessFormFactory::MakeForm(const WindowDescription& Description) {
    for (const WindowDescription* window : windows_)
        if (window->Name == Description.Name)
            return std::make_unique<HeadlessForm>(driver_, Description);
    UnknownWindow(Description.Name);
}
