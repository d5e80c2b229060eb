#include "Win32Dialogs.h"

// The system header first: the controls' and dialogs' headers need it.
#include "Win32Support.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstdlib>

#include "Win32Form.h"
#include "Win32FormFactory.h"
#include "Win32Support.h"
#include "Win32Text.h"

// Each control names only the fields it has.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Win32Text::ToWide;

namespace {
// The window the user is in, which a box is shown over.
HWND Owner() {
    return ::GetActiveWindow();
}

const WindowDescription& InputBoxDescription() {
    using K = ControlKind;
    static const WindowDescription description{
        .Name = "frmInputBox",
        .Dialog = true,
        .Controls = {{.Name = "lblPrompt", .Kind = K::Label},
                     {.Name = "txtValue", .Kind = K::TextBox},
                     {.Name = "cmdOK", .Kind = K::Button, .Caption = "OK"},
                     {.Name = "cmdCancel", .Kind = K::Button, .Caption = "Cancel"}}};
    return description;
}

// The factory that draws the input box, which no other window of the program needs.
class InputBoxFactory : public Win32FormFactory {
  public:
    std::unique_ptr<Form> Make() { return CreateForm(InputBoxDescription()); }
};
}  // namespace

MsgResult Win32DialogService::MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                                     const std::string& title) {
    UINT style = MB_OK;
    if (buttons == MsgButtons::YesNo)
        style = MB_YESNO;
    else if (buttons == MsgButtons::YesNoCancel)
        style = MB_YESNOCANCEL;
    switch (icon) {
        case MsgIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case MsgIcon::Warning:
            style |= MB_ICONWARNING;
            break;
        // The exclamation marks a failure the user must act on ("File not found"), so
        // it looks harder than a warning.
        case MsgIcon::Exclamation:
            style |= MB_ICONERROR;
            break;
        default:
            break;
    }
    switch (::MessageBoxW(Owner(), ToWide(text).c_str(), ToWide(title).c_str(),
                          style | MB_SETFOREGROUND)) {
        case IDYES:
            return MsgResult::Yes;
        case IDNO:
            return MsgResult::No;
        case IDCANCEL:
            return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
        default:
            return MsgResult::OK;
    }
}

std::string Win32DialogService::InputBox(const std::string& prompt, const std::string& title,
                                         const std::string& defaultText) {
    InputBoxFactory factory;
    std::unique_ptr<Form> form = factory.Make();
    auto& box = dynamic_cast<Win32Form&>(*form);
    box.SetCaption(title);
    box.LabelNamed("lblPrompt").SetCaption(prompt);
    TextBox& value = box.TextBoxNamed("txtValue");
    value.SetText(defaultText);
    box.DefaultButton = "cmdOK";
    box.CancelButton = "cmdCancel";
    bool accepted = false;
    box.ButtonNamed("cmdOK").Click = [&] {
        accepted = true;
        box.Hide();
    };
    box.ButtonNamed("cmdCancel").Click = [&] { box.Hide(); };
    box.Activate = [&box] {
        HWND field = box.Widget("txtValue")->Handle();
        ::SetFocus(field);
        ::SendMessageW(field, EM_SETSEL, 0, -1);
    };
    box.ShowModal();
    return accepted ? value.Text() : "";
}

std::wstring Win32FileDialog::SystemFilter(const std::string& filter) {
    std::wstring pairs = ToWide(filter);
    if (pairs.empty())
        return pairs;
    for (wchar_t& c : pairs)
        if (c == L'|')
            c = L'\0';
    // The list ends with two NULs (the string's own is the second).
    pairs += L'\0';
    return pairs;
}

namespace {
// Opens the folder dialog on its start folder.
int CALLBACK StartIn(HWND dialog, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder)
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, folder);
    return 0;
}
}  // namespace

std::string Win32DialogService::BrowseForFolder(const std::string& title,
                                                const std::string& startFolder) {
    std::wstring folder = Win32::Wide(startFolder);
    if (folder.empty()) {
        const wchar_t* home = ::_wgetenv(L"USERPROFILE");
        folder = home ? home : L"";
    }
    const std::wstring caption = ToWide(title);
    // The dialog's new style (with its own "Make New Folder") needs COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOW browse{};
    browse.hwndOwner = Owner();
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = StartIn;
    browse.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
    std::string chosen;
    if (PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&browse)) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(item, path))
            chosen = Win32::Narrow(path);
        ::CoTaskMemFree(item);
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return chosen;
}

void Win32FileDialog::Show(bool save) {
    // File names go the file layer's way through the system's code page.
    std::wstring file = Win32::Wide(FileName);
    file.resize(std::max<std::size_t>(file.size() + 1, 32768), L'\0');
    const std::wstring filter = SystemFilter(Filter);
    const std::wstring title = ToWide(DialogTitle);
    const std::wstring folder = Win32::Wide(InitDir);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    FileName.clear();
    const BOOL chosen = save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (chosen)
        FileName = Win32::Narrow(file.c_str());
}
