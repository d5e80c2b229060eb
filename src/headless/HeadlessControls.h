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

// A window whose controls are made from its description.
class HeadlessForm : public Form {
  public:
    HeadlessForm(ScriptDriver& Driver, const WindowDescription& Description);
    ~HeadlessForm() override;

    void SetCaption(const std::string& caption) override { caption_ = caption; }
    const std::string& Caption() const { return caption_; }

    void Show() override { visible_ = true; }
    void ShowModal() override;
    void Hide() override { visible_ = false; }
    bool Visible() const override { return visible_; }
    void Close() override { visible_ = false; }

  protected:
    Control* FindControl(const std::string& name) override;

  private:
    ScriptDriver& driver_;
    std::string caption_;
    bool visible_ = false;
    std::map<std::string, std::unique_ptr<Control>> controls_;
};

// Builds the in-memory windows: those of Windows, and no other.
class HeadlessFormFactory : public FormFactory {
  public:
    HeadlessFormFactory(ScriptDriver& Driver, std::vector<const WindowDescription*> Windows)
        : driver_(Driver), windows_(std::move(Windows)) {}

  protected:
    std::unique_ptr<Form> MakeForm(const WindowDescription& Description) override;

  private:
    ScriptDriver& driver_;
    std::vector<const WindowDescription*> windows_;
};
