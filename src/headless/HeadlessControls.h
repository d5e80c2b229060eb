#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Controls.h"

class ScriptDriver;

// In-memory controls: they keep what the window logic puts into them and print it
// for the script's `show`.
class ShowableControl {
  public:
    virtual ~ShowableControl() = default;
    // The control's state, a line each.
    virtual std::vector<std::string> StateLines() const = 0;
    // Whether a combo box offers the entry.
    virtual bool HasEntry(const std::string&) const { return false; }
};

class HeadlessForm : public Form {
  public:
    HeadlessForm(ScriptDriver& Driver, std::string Name);
    ~HeadlessForm() override;

    const std::string& Name() const { return name_; }
    void SetCaption(const std::string& caption) override { caption_ = caption; }

    Label& LabelNamed(const std::string& name) override;
    Button& ButtonNamed(const std::string& name) override;
    CheckBox& CheckBoxNamed(const std::string& name) override;
    TextBox& TextBoxNamed(const std::string& name) override;
    UpDown& UpDownNamed(const std::string& name) override;
    ComboBox& ComboBoxNamed(const std::string& name) override;
    ListView& ListViewNamed(const std::string& name) override;
    StatusBar& StatusBarNamed(const std::string& name) override;
    ProgressBar& ProgressBarNamed(const std::string& name) override;

    void Show() override { visible_ = true; }
    void ShowModal() override;
    void Hide() override { visible_ = false; }
    bool Visible() const override { return visible_; }
    void Close() override { visible_ = false; }

    // The control a script names, or null.
    Control* Find(const std::string& name) const;

  private:
    ScriptDriver& driver_;
    std::string name_;
    std::string caption_;
    bool visible_ = false;
    std::map<std::string, std::unique_ptr<Control>> controls_;
};

// Builds the in-memory windows.
class HeadlessFormFactory : public FormFactory {
  public:
    explicit HeadlessFormFactory(ScriptDriver& Driver) : driver_(Driver) {}
    std::unique_ptr<Form> CreateForm(const std::string& name) override;

  private:
    ScriptDriver& driver_;
};
