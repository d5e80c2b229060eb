#pragma once

#include "Dialogs.h"

// The system's message boxes, a small input box drawn from a description like the
// program's windows, the system's folder dialog, and its open and save dialogs.
class Win32DialogService : public DialogService {
  public:
    MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                     const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string BrowseForFolder(const std::string& title, const std::string& startFolder) override;
};

class Win32FileDialog : public CommonDialog {
  public:
    void ShowOpen() override { Show(false); }
    void ShowSave() override { Show(true); }

    // "description|pattern|..." as the system's list of NUL-separated pairs.
    static std::wstring SystemFilter(const std::string& filter);

  private:
    void Show(bool save);
};
