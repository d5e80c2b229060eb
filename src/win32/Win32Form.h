#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Win32Controls.h"

// A window of the program: a top-level window whose children are the described
// controls. The main window is resizable and Escape leaves it alone; the others are
// dialogs, shown modally over the window the user is in, that Escape closes.
class Win32Form : public Form {
  public:
    // Places the controls over the window's client size and returns the smallest size
    // they fit in; with Measuring() set it only measures.
    using Layout = std::function<SIZE(Win32Form&, SIZE client)>;

    Win32Form(const WindowDescription& Description, bool resizable);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND Handle() const { return handle_; }
    void SetLayout(Layout layout) { layout_ = std::move(layout); }
    // Adds the widget of a described control (it is created as the window's child
    // with the next control id).
    template <typename Widget, typename... Arguments>
    Widget& Add(const std::string& name, Arguments&&... arguments) {
        auto widget =
            std::make_unique<Widget>(handle_, NextId(), std::forward<Arguments>(arguments)...);
        Widget& added = *widget;
        Adopt(name, std::move(widget));
        return added;
    }
    Win32Widget* Widget(const std::string& name) const;
    // The button Enter presses when the focus is on no button, and the one Escape
    // presses (none: Escape closes a dialog as its title bar does).
    std::string DefaultButton;
    std::string CancelButton;

    // What layouts measure with: dialog units of the window's font, and texts.
    int DluX(int units) const;
    int DluY(int units) const;
    // The width of a control's caption as drawn (or, given no control's name, of the
    // text itself), and the height of the caption or text wrapped to a width.
    int TextWidth(const std::string& name) const;
    int TextHeight(const std::string& name, int width) const;
    // The height a control has made itself (the status bar sizes itself).
    int HeightOf(const std::string& name) const;
    int LineHeight() const { return lineHeight_; }
    bool Measuring() const { return measuring_; }
    // Puts a control in its place (nothing while measuring).
    void Place(const std::string& name, int x, int y, int width, int height);

    void SetCaption(const std::string& caption) override;
    // The first showing centres the window: the main window on its screen, a dialog
    // over the window the user is in. Later showings keep where it was.
    void Show() override;
    void ShowModal() override;
    void Hide() override;
    bool Visible() const override;
    // Ends the window without asking QueryClose.
    void Close() override;
    // Draws the window's pending paints at once (the progress and status bars first)
    // and drops the keys and clicks that came meanwhile.
    void Refresh() override;

    // Raised when the window has closed (by the user or by Close); the program ends
    // with its main window.
    std::function<void()> Closed;

    // Runs the messages of the thread until the program quits; returns its status.
    static int RunMessageLoop();
    // Handles one message as the program's windows expect (Tab, Enter, Escape, "&").
    static void Dispatch(MSG& message);

  protected:
    Control* FindControl(const std::string& name) override;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    int NextId() { return kFirstId + static_cast<int>(order_.size()); }
    void Adopt(const std::string& name, std::unique_ptr<Win32Widget> widget);
    void UseFont(UINT dpi);
    void LayOut();
    SIZE MinimumClient();
    void Centre(HWND over);
    void PressEnter();
    void PressEscape();

    static constexpr int kFirstId = 1000;
    HWND handle_ = nullptr;
    bool resizable_;
    Layout layout_;
    std::map<std::string, std::unique_ptr<Win32Widget>> widgets_;
    std::vector<Win32Widget*> order_;
    HFONT font_ = nullptr;
    int charWidth_ = 7;
    int charHeight_ = 13;
    int lineHeight_ = 13;
    bool measuring_ = false;
    bool placed_ = false;
    bool modal_ = false;
    bool destroying_ = false;
    HWND owner_ = nullptr;
    HWND focus_ = nullptr;
};
