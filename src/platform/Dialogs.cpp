#include "Dialogs.h"

#include "QuillonError.h"

namespace {
DialogService* gService = nullptr;

DialogService& Service() {
    if (!gService)
        throw QuillonError(PlatformError::InvalidArgument, "Platform", "No dialog service");
    return *gService;
}
}  // namespace

void SetDialogService(DialogService* service) {
    gService = service;
}
DialogService* CurrentDialogService() {
    return gService;
}

MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                 const std::string& title) {
    return Service().MsgBox(text, icon, buttons, title);
}

std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText) {
    return Service().InputBox(prompt, title, defaultText);
}

std::string DialogService::BrowseForFolder(const std::string&, const std::string&) {
    return "";
}

std::string BrowseForFolder(const std::string& title, const std::string& startFolder) {
    return Service().BrowseForFolder(title, startFolder);
}

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const QuillonError& error) {
        MsgBox("Error " + std::to_string(error.Number) + " (" + error.Source + "):\r\n" +
                   error.Description,
               MsgIcon::Exclamation, MsgButtons::OK);
    }
}
