#pragma once

#include <functional>
#include <string>

#include "ProgramIdentity.h"

// Message boxes and the input box. The desktop front end and the script driver
// install their own service; everything else calls the free functions.
enum class MsgIcon { None, Information, Warning, Exclamation };
enum class MsgButtons { OK, YesNo, YesNoCancel };
enum class MsgResult { OK, Yes, No, Cancel };

class DialogService {
  public:
    virtual ~DialogService() = default;
    virtual MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                             const std::string& title) = 0;
    // The text typed, or "" when the user cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // A folder dialog: the folder chosen, or "" when the user cancelled. An empty
    // start folder starts in the user's home folder. A front end without one answers
    // as if cancelled.
    virtual std::string BrowseForFolder(const std::string& title, const std::string& startFolder);
};

// Installs the service for the whole process (the front end owns it).
void SetDialogService(DialogService* service);
DialogService* CurrentDialogService();

MsgResult MsgBox(const std::string& text, MsgIcon icon = MsgIcon::None,
                 MsgButtons buttons = MsgButtons::OK,
                 const std::string& title = ProgramIdentity::Title);
std::string InputBox(const std::string& prompt, const std::string& title = ProgramIdentity::Title,
                     const std::string& defaultText = "");
std::string BrowseForFolder(const std::string& title, const std::string& startFolder);

// Runs a handler of a window. An error that reaches it is shown with its number and
// message, and the window stays usable; nothing is saved because of it.
void RunHandler(const std::function<void()>& handler);

// The common file dialog: the caller sets the title, file name, filter ("description
// |pattern" pairs) and starting folder, shows it, and reads FileName (empty when the
// user cancelled).
class CommonDialog {
  public:
    virtual ~CommonDialog() = default;
    virtual void ShowOpen() = 0;
    virtual void ShowSave() = 0;

    std::string DialogTitle;
    std::string FileName;
    std::string Filter;
    std::string InitDir;
};

// Starts a program without waiting for it; raises QuillonError when it cannot.
class Launcher {
  public:
    virtual ~Launcher() = default;
    virtual void Launch(const std::string& program) = 0;
};
