#include "Win32Controls.h"

// The system header first: the controls' and dialogs' headers need it.
#include "Win32Support.h"

#include <commctrl.h>

#include "QuillonError.h"
#include "Win32Events.h"
#include "Win32Text.h"

using Win32Text::FromWide;
using Win32Text::ToWide;

namespace {

// A multi-line box shows a line break only as CR LF.
std::wstring WithCrLf(const std::wstring& text) {
    std::wstring lines;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == L'\n' && (at == 0 || text[at - 1] != L'\r'))
            lines += L'\r';
        lines += text[at];
    }
    return lines;
}
}  // namespace

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int TextWidth(HWND window, const std::wstring& text) {
    HDC dc = ::GetDC(window);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size.cx;
}

void Win32Widget::Create(HWND parent, int id, const wchar_t* windowClass, DWORD style,
                         DWORD exStyle) {
    handle_ = ::CreateWindowExW(exStyle, windowClass, L"", style | WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ::GetModuleHandleW(nullptr), nullptr);
    if (!handle_)
        Win32::Raise(::GetLastError(), "Could not create the control", std::to_string(id));
}

template <typename Interface>
void Win32Control<Interface>::SetCaption(const std::string& caption) {
    ::SetWindowTextW(handle_, ToWide(caption).c_str());
}

template <typename Interface>
void Win32Control<Interface>::SetVisible(bool visible) {
    ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

template <typename Interface>
bool Win32Control<Interface>::Visible() const {
    return (::GetWindowLongPtrW(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

template <typename Interface>
void Win32Control<Interface>::SetEnabled(bool enabled) {
    ::EnableWindow(handle_, enabled ? TRUE : FALSE);
}

template <typename Interface>
bool Win32Control<Interface>::Enabled() const {
    return ::IsWindowEnabled(handle_) != FALSE;
}

template class Win32Control<Label>;
template class Win32Control<Button>;
template class Win32Control<CheckBox>;
template class Win32Control<TextBox>;
template class Win32Control<UpDown>;
template class Win32Control<ComboBox>;
template class Win32Control<ListView>;
template class Win32Control<StatusBar>;
template class Win32Control<ProgressBar>;

Win32Label::Win32Label(HWND parent, int id, bool frame) {
    if (frame)
        Create(parent, id, L"BUTTON", BS_GROUPBOX | WS_GROUP);
    else
        Create(parent, id, L"STATIC", SS_LEFT);
}

Win32Button::Win32Button(HWND parent, int id) {
    Create(parent, id, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
}

void Win32Button::Command(WORD code) {
    if (code == BN_CLICKED)
        Win32Events::Raise(Click);
}

Win32CheckBox::Win32CheckBox(HWND parent, int id) {
    // Not an automatic box: a user's click ticks a greyed box and otherwise toggles it.
    Create(parent, id, L"BUTTON", BS_3STATE | WS_TABSTOP);
}

::CheckState Win32CheckBox::Value() const {
    switch (::SendMessageW(handle_, BM_GETCHECK, 0, 0)) {
        case BST_CHECKED:
            return ::CheckState::Ticked;
        case BST_INDETERMINATE:
            return ::CheckState::Greyed;
        default:
            return ::CheckState::Unticked;
    }
}

void Win32CheckBox::StoreValue(::CheckState value) {
    const WPARAM state = value == ::CheckState::Ticked   ? BST_CHECKED
                         : value == ::CheckState::Greyed ? BST_INDETERMINATE
                                                         : BST_UNCHECKED;
    ::SendMessageW(handle_, BM_SETCHECK, state, 0);
}

void Win32CheckBox::Command(WORD code) {
    if (code != BN_CLICKED)
        return;
    StoreValue(Value() == ::CheckState::Ticked ? ::CheckState::Unticked : ::CheckState::Ticked);
    Win32Events::Raise(Click);
}

Win32TextBox::Win32TextBox(HWND parent, int id, bool multiLine, bool readOnly, bool number)
    : multiLine_(multiLine) {
    DWORD style = WS_TABSTOP | (readOnly ? ES_READONLY : 0);
    if (multiLine)
        style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
    else
        style |= ES_AUTOHSCROLL;
    if (number)
        style |= ES_NUMBER | ES_RIGHT;
    Create(parent, id, L"EDIT", style, WS_EX_CLIENTEDGE);
}

void Win32TextBox::SetText(const std::string& text) {
    text_ = text;
    const std::wstring wide = ToWide(text);
    ::SetWindowTextW(handle_, (multiLine_ ? WithCrLf(wide) : wide).c_str());
}

std::string Win32TextBox::Text() const {
    const std::wstring shown = WindowText(handle_);
    const std::wstring set = ToWide(text_);
    if (shown == (multiLine_ ? WithCrLf(set) : set))
        return text_;
    return FromWide(shown);
}

void Win32TextBox::Command(WORD code) {
    if (code == EN_KILLFOCUS && LostFocus)
        Win32Events::Raise(LostFocus);
}

Win32UpDown::Win32UpDown(HWND parent, int id, Win32TextBox& buddy) : buddy_(buddy) {
    Create(parent, id, UPDOWN_CLASSW,
           UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK);
    Reattach();
    buddy_.LostFocus = [this] { SetValue(Value()); };
}

void Win32UpDown::Reattach() {
    ::SendMessageW(handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy_.Handle()), 0);
}

void Win32UpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = max < min ? min : max;
    ::SendMessageW(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SetValue(value_);
}

int Win32UpDown::Clamped(int value) const {
    return value < min_ ? min_ : (value > max_ ? max_ : value);
}

void Win32UpDown::SetValue(int value) {
    value_ = Clamped(value);
    ::SendMessageW(handle_, UDM_SETPOS32, 0, value_);
    buddy_.SetText(std::to_string(value_));
}

int Win32UpDown::Value() const {
    const std::string typed = buddy_.Text();
    if (typed.empty() || typed.size() > 9 ||
        typed.find_first_not_of("0123456789") != std::string::npos)
        return value_;
    return Clamped(std::stoi(typed));
}

Win32ComboBox::Win32ComboBox(HWND parent, int id) {
    Create(parent, id, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
}

void Win32ComboBox::Clear() {
    entries_.clear();
    ::SendMessageW(handle_, CB_RESETCONTENT, 0, 0);
}

void Win32ComboBox::AddItem(const std::string& item) {
    entries_.push_back(item);
    ::SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    // The text decides the entry shown, not the order of adding.
    ShowText();
}

void Win32ComboBox::SetText(const std::string& text) {
    text_ = text;
    ShowText();
}

void Win32ComboBox::ShowText() {
    WPARAM shown = static_cast<WPARAM>(-1);
    for (std::size_t at = 0; at < entries_.size(); ++at)
        if (entries_[at] == text_)
            shown = at;
    ::SendMessageW(handle_, CB_SETCURSEL, shown, 0);
}

void Win32ComboBox::Command(WORD code) {
    if (code != CBN_SELCHANGE)
        return;
    const LRESULT chosen = ::SendMessageW(handle_, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= entries_.size())
        return;
    text_ = entries_[static_cast<std::size_t>(chosen)];
    Win32Events::Raise(Click);
}

Win32ListView::Win32ListView(HWND parent, int id) {
    Create(parent, id, WC_LISTVIEWW,
           LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_TABSTOP,
           WS_EX_CLIENTEDGE);
    ::SendMessageW(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ::SendMessageW(handle_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    ::SetWindowSubclass(handle_, KeyProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

Win32ListView::~Win32ListView() {
    ::RemoveWindowSubclass(handle_, KeyProc, 1);
}

void Win32ListView::SetColumns(const std::string& first, const std::string& second) {
    const bool header = !first.empty() || !second.empty();
    LONG_PTR style = ::GetWindowLongPtrW(handle_, GWL_STYLE);
    style = header ? (style & ~LONG_PTR(LVS_NOCOLUMNHEADER)) : (style | LVS_NOCOLUMNHEADER);
    ::SetWindowLongPtrW(handle_, GWL_STYLE, style);
    if (columns_ < 2 && !second.empty()) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        ::SendMessageW(handle_, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
        columns_ = 2;
    }
    const std::string* captions[] = {&first, &second};
    for (int at = 0; at < columns_; ++at) {
        std::wstring text = ToWide(*captions[at]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text.data();
        ::SendMessageW(handle_, LVM_SETCOLUMNW, static_cast<WPARAM>(at),
                       reinterpret_cast<LPARAM>(&column));
    }
    FitColumns();
}

void Win32ListView::FitColumns() {
    RECT client{};
    ::GetClientRect(handle_, &client);
    const int width = client.right - client.left;
    const int first = columns_ == 2 ? width / 2 : width;
    ::SendMessageW(handle_, LVM_SETCOLUMNWIDTH, 0, first);
    if (columns_ == 2)
        ::SendMessageW(handle_, LVM_SETCOLUMNWIDTH, 1, width - first);
}

void Win32ListView::ShowCleared() {
    ::SendMessageW(handle_, LVM_DELETEALLITEMS, 0, 0);
}

void Win32ListView::ShowAdded(int index, const std::string& text) {
    std::wstring wide = ToWide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index - 1;
    item.pszText = wide.data();
    ::SendMessageW(handle_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::size_t Win32ListView::At(int index) const {
    CheckIndex(index);
    return static_cast<std::size_t>(index - 1);
}

void Win32ListView::ShowSubItem(int index, const std::string& text) {
    const std::size_t at = At(index);
    std::wstring wide = ToWide(text);
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = wide.data();
    ::SendMessageW(handle_, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
}

int Win32ListView::SelectedIndex() const {
    return static_cast<int>(
               ::SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) +
           1;
}

void Win32ListView::Select(int index) {
    // One item alone, even where the user may select several.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    if (index == 0 || MultiSelect())
        ::SendMessageW(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&none));
    if (index == 0)
        return;
    const std::size_t at = At(index);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(handle_, LVM_SETITEMSTATE, at, reinterpret_cast<LPARAM>(&item));
    ::SendMessageW(handle_, LVM_ENSUREVISIBLE, at, FALSE);
}

void Win32ListView::ShowMultiSelect(bool on) {
    LONG_PTR style = ::GetWindowLongPtrW(handle_, GWL_STYLE);
    style = on ? (style & ~LONG_PTR(LVS_SINGLESEL)) : (style | LVS_SINGLESEL);
    ::SetWindowLongPtrW(handle_, GWL_STYLE, style);
}

bool Win32ListView::IsSelected(int index) const {
    return ::SendMessageW(handle_, LVM_GETITEMSTATE, At(index), LVIS_SELECTED) != 0;
}

void Win32ListView::AddToSelection(int index) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    ::SendMessageW(handle_, LVM_SETITEMSTATE, At(index), reinterpret_cast<LPARAM>(&item));
}

RECT Win32ListView::ItemRect(int index) const {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    ::SendMessageW(handle_, LVM_GETITEMRECT, At(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void Win32ListView::RaiseItemClick(int index) {
    Win32Events::Raise([this, index] {
        if (ItemClick)
            ItemClick(index);
    });
}

LRESULT Win32ListView::Notify(const NMHDR& header) {
    switch (header.code) {
        case NM_CLICK: {
            // A click on an item, whether it was selected before or not; a click
            // beside the items is none.
            const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
            const int selected = SelectedIndex();
            if (click.iItem >= 0 && selected == click.iItem + 1)
                RaiseItemClick(selected);
            break;
        }
        case NM_DBLCLK:
            if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0)
                Win32Events::Raise(DblClick);
            break;
        case LVN_ITEMCHANGED: {
            // The arrow keys choose an item as a click does.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (byKeyboard_ && change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED))
                RaiseItemClick(change.iItem + 1);
            break;
        }
        default:
            break;
    }
    return 0;
}

// Enter and Delete are the list's own keys, raised when released: Enter must not
// reach the window and press some button instead.
LRESULT CALLBACK Win32ListView::KeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) {
    auto* list = reinterpret_cast<Win32ListView*>(self);
    switch (message) {
        case WM_GETDLGCODE:
            if (lParam && reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
                return DLGC_WANTALLKEYS;
            break;
        case WM_KEYDOWN: {
            if (wParam == VK_RETURN || wParam == VK_DELETE)
                return 0;
            list->byKeyboard_ = true;
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            list->byKeyboard_ = false;
            return result;
        }
        case WM_KEYUP:
            if ((wParam == VK_RETURN || wParam == VK_DELETE)) {
                const ListKey key = wParam == VK_DELETE ? ListKey::Delete : ListKey::Enter;
                Win32Events::Raise([list, key] {
                    if (list->KeyUp)
                        list->KeyUp(key);
                });
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r')
                return 0;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

Win32StatusBar::Win32StatusBar(HWND parent, int id) {
    Create(parent, id, STATUSCLASSNAMEW, SBARS_SIZEGRIP);
}

void Win32StatusBar::SetPanelCount(int count) {
    texts_.resize(count < 1 ? 1 : static_cast<std::size_t>(count));
    FitPanels();
}

void Win32StatusBar::FitPanels() {
    RECT client{};
    ::GetClientRect(handle_, &client);
    std::vector<int> ends(texts_.size());
    int end = client.right;
    // The grip stands in the last panel: it needs its room beside the text.
    const int grip = ::GetSystemMetrics(SM_CXVSCROLL);
    for (std::size_t at = texts_.size(); at-- > 1;) {
        ends[at] = at + 1 == texts_.size() ? -1 : end;
        end -= TextWidth(handle_, ToWide(texts_[at])) + 16 + (at + 1 == texts_.size() ? grip : 0);
    }
    ends[0] = texts_.size() == 1 ? -1 : (end < 0 ? 0 : end);
    ::SendMessageW(handle_, SB_SETPARTS, ends.size(), reinterpret_cast<LPARAM>(ends.data()));
    for (std::size_t at = 0; at < texts_.size(); ++at)
        ::SendMessageW(handle_, SB_SETTEXTW, at,
                       reinterpret_cast<LPARAM>(ToWide(texts_[at]).c_str()));
}

void Win32StatusBar::SetPanelText(int panel, const std::string& text) {
    if (panel < 1)
        return;
    if (static_cast<std::size_t>(panel) > texts_.size())
        texts_.resize(static_cast<std::size_t>(panel));
    const auto at = static_cast<std::size_t>(panel - 1);
    const bool resize = at > 0 && texts_[at] != text;
    texts_[at] = text;
    if (resize)
        FitPanels();
    else
        ::SendMessageW(handle_, SB_SETTEXTW, at, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
}

std::string Win32StatusBar::PanelText(int panel) const {
    if (panel < 1 || static_cast<std::size_t>(panel) > texts_.size())
        return "";
    return texts_[static_cast<std::size_t>(panel - 1)];
}

Win32ProgressBar::Win32ProgressBar(HWND parent, int id) {
    Create(parent, id, PROGRESS_CLASSW, PBS_SMOOTH);
    ShowValue();
}

void Win32ProgressBar::ShowValue() {
    ::SendMessageW(handle_, PBM_SETRANGE32, 0, ShownMax());
    ::SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(ShownValue()), 0);
}
