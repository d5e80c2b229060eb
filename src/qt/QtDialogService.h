#pragma once

#include <string>

#include "Dialogs.h"

class QMessageBox;

// Message boxes, the input box and the folder dialog as the toolkit's modal dialogs, over the
// window the user is in.
class QtDialogService : public DialogService {
  public:
    MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                     const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string BrowseForFolder(const std::string& title, const std::string& startFolder) override;

    // Gives a message box its text, icon, buttons and title.
    static void Prepare(QMessageBox& box, const std::string& text, MsgIcon icon, MsgButtons buttons,
                        const std::string& title);
    // The answer of a closed box; a box shut without a button gives the answer its
    // Escape key stands for.
    static MsgResult Answer(const QMessageBox& box, MsgButtons buttons);
};
