#include "Win32FormFactory.h"

#include <algorithm>

#include "QuillonError.h"
#include "Win32Form.h"

namespace {

// The measures every layout shares, in the window's dialog units.
struct Metrics {
    explicit Metrics(const Win32Form& f)
        : margin(f.DluX(7)),
          gap(f.DluX(4)),
          rowGap(f.DluY(4)),
          checkGap(f.DluY(3)),
          buttonHeight(f.DluY(14)),
          boxHeight(f.DluY(14)),
          checkHeight(f.DluY(10)),
          line(f.LineHeight()),
          frameSide(f.DluX(7)),
          frameTop(f.DluY(11)),
          frameBottom(f.DluY(7)) {}
    int margin, gap, rowGap, checkGap, buttonHeight, boxHeight, checkHeight, line;
    int frameSide, frameTop, frameBottom;
};

int ButtonWidth(const Win32Form& f, const std::string& name) {
    return std::max(f.DluX(50), f.TextWidth(name) + f.DluX(12));
}

int CheckWidth(const Win32Form& f, const std::string& name) {
    return f.TextWidth(name) + f.DluX(16);
}

// Buttons side by side over a width, the room left shared among them.
void ButtonRow(Win32Form& f, const Metrics& m, const std::vector<std::string>& names, int x, int y,
               int width) {
    int natural = m.gap * static_cast<int>(names.size() - 1);
    for (const std::string& name : names)
        natural += ButtonWidth(f, name);
    const int extra = std::max(0, width - natural) / static_cast<int>(names.size());
    for (const std::string& name : names) {
        const int w = ButtonWidth(f, name) + extra;
        f.Place(name, x, y, w, m.buttonHeight);
        x += w + m.gap;
    }
}

SIZE LayOutMain(Win32Form& f, SIZE client) {
    const Metrics m(f);
    const int upDownWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const int numberWidth = f.TextWidth("0000") + f.DluX(8) + upDownWidth;
    const int comboWidth = f.DluX(80);

    // The right column: the options and the player values, as wide as their longest text.
    int rightInner = 0;
    for (const char* name : {"chkLog", "chkRestoreOriginal", "chkReinitialize",
                             "chkUserProfileOverride", "chkDebugVESK"})
        rightInner = std::max(rightInner, CheckWidth(f, name));
    const int numbersRow = f.TextWidth("lblNumPlayers") + numberWidth +
                           f.TextWidth("lblMaxPlayers") + numberWidth + 4 * m.gap;
    rightInner =
        std::max({rightInner, numbersRow, f.TextWidth("lblLanguage") + m.gap + comboWidth});
    // The left column: the setups with their buttons below.
    const std::vector<std::string> buttons{"cmdApply", "cmdPreview", "cmdApplyLaunch",
                                           "cmdManageSetups", "cmdVerify"};
    int leftInner = m.gap * static_cast<int>(buttons.size() - 1);
    for (const std::string& name : buttons)
        leftInner += ButtonWidth(f, name);
    leftInner =
        std::max({leftInner, f.TextWidth("lblCurrentSetup") + m.gap + f.DluX(60), f.DluX(150)});
    const int minColumn = std::max(leftInner, rightInner) + 2 * m.frameSide;

    const int statusHeight = f.HeightOf("stbStatus");
    const int barHeight = f.DluY(9);
    const int below = m.rowGap + m.buttonHeight + m.rowGap + barHeight + f.DluY(3) + statusHeight;
    const int width = std::max<int>(client.cx, 2 * m.margin + 2 * minColumn + m.gap);
    const int column = (width - 2 * m.margin - m.gap) / 2;
    const int inner = column - 2 * m.frameSide;

    const int advancedHeight = m.frameTop + 3 * m.checkHeight + 2 * m.checkGap + m.frameBottom;
    const int noteHeight = f.TextHeight("lblNote", inner);
    const int profileHeight = m.frameTop + m.boxHeight + m.rowGap + 2 * m.checkHeight + m.checkGap +
                              m.rowGap + noteHeight + m.rowGap + m.boxHeight + m.frameBottom;
    const int rightHeight = advancedHeight + m.rowGap + profileHeight;
    const int leftHeight =
        m.frameTop + f.DluY(110) + 2 * m.rowGap + m.boxHeight + m.buttonHeight + m.frameBottom;
    const int minContent = std::max(rightHeight, leftHeight);
    const SIZE minimum{2 * m.margin + 2 * minColumn + m.gap, m.margin + minContent + below};
    if (f.Measuring())
        return minimum;

    const int height = std::max<int>(client.cy, minimum.cy);
    const int content = height - m.margin - below;

    // Setups: the list takes the room the rows below it leave.
    int x = m.margin + m.frameSide;
    const int bottom = m.margin + content - m.frameBottom;
    f.Place("fraSetups", m.margin, m.margin, column, content);
    const int buttonsY = bottom - m.buttonHeight;
    ButtonRow(f, m, buttons, x, buttonsY, inner);
    const int currentY = buttonsY - m.rowGap - m.boxHeight;
    const int labelWidth = f.TextWidth("lblCurrentSetup");
    f.Place("lblCurrentSetup", x, currentY + (m.boxHeight - m.line) / 2, labelWidth, m.line);
    f.Place("txtCurrentSetup", x + labelWidth + m.gap, currentY, inner - labelWidth - m.gap,
            m.boxHeight);
    const int listY = m.margin + m.frameTop;
    f.Place("lstSetups", x, listY, inner, currentY - m.rowGap - listY);

    // The options, then the player values.
    const int right = m.margin + column + m.gap;
    x = right + m.frameSide;
    f.Place("fraAdvanced", right, m.margin, column, advancedHeight);
    int y = m.margin + m.frameTop;
    for (const char* name : {"chkLog", "chkRestoreOriginal", "chkReinitialize"}) {
        f.Place(name, x, y, inner, m.checkHeight);
        y += m.checkHeight + m.checkGap;
    }
    const int profileY = m.margin + advancedHeight + m.rowGap;
    f.Place("fraUserProfile", right, profileY, column, profileHeight);
    y = profileY + m.frameTop;
    int at = x;
    for (const auto& [label, box] : {std::pair{"lblNumPlayers", "txtNumPlayers"},
                                     std::pair{"lblMaxPlayers", "txtMaxPlayers"}}) {
        const int w = f.TextWidth(label);
        f.Place(label, at, y + (m.boxHeight - m.line) / 2, w, m.line);
        f.Place(box, at + w + m.gap, y, numberWidth, m.boxHeight);
        at += w + m.gap + numberWidth + 2 * m.gap;
    }
    y += m.boxHeight + m.rowGap;
    f.Place("chkUserProfileOverride", x, y, inner, m.checkHeight);
    y += m.checkHeight + m.checkGap;
    f.Place("chkDebugVESK", x, y, inner, m.checkHeight);
    y += m.checkHeight + m.rowGap;
    f.Place("lblNote", x, y, inner, noteHeight);
    y += noteHeight + m.rowGap;
    const int languageWidth = f.TextWidth("lblLanguage");
    f.Place("lblLanguage", x, y + (m.boxHeight - m.line) / 2, languageWidth, m.line);
    // A drop-down list's height includes its open list.
    f.Place("cmbLanguage", x + languageWidth + m.gap, y, comboWidth, m.boxHeight * 8);

    const int exitWidth = ButtonWidth(f, "cmdExit");
    f.Place("cmdExit", width - m.margin - exitWidth, m.margin + content + m.rowGap, exitWidth,
            m.buttonHeight);
    // The bar keeps its room while hidden, so the window does not jump when a long
    // operation shows it.
    f.Place("prgBar", m.margin, height - statusHeight - f.DluY(3) - barHeight, width - 2 * m.margin,
            barHeight);
    return minimum;
}

SIZE LayOutManager(Win32Form& f, SIZE client) {
    const Metrics m(f);
    const std::vector<std::string> moves{"cmdAdd", "cmdRemove", "cmdRemoveAll", "cmdMoveUp",
                                         "cmdMoveDown"};
    const std::vector<std::string> checks{"chkHideIncompatible", "chkHidePrerequisite",
                                          "chkDisregardIncompatibility"};
    int setupsWidth =
        std::max(f.DluX(100), ButtonWidth(f, "cmdNew") + m.gap + ButtonWidth(f, "cmdDelete"));
    int setupModisWidth = f.DluX(100);
    int moveWidth = 0;
    for (const std::string& name : moves)
        moveWidth = std::max(moveWidth, ButtonWidth(f, name));
    int modisWidth = f.DluX(170);
    for (const std::string& name : checks)
        modisWidth = std::max(modisWidth, CheckWidth(f, name));
    const int minWidth =
        2 * m.margin + 3 * m.gap + setupsWidth + setupModisWidth + moveWidth + modisWidth;

    // The room beyond the smallest goes to the lists, two parts, two and three.
    const int width = std::max<int>(client.cx, minWidth);
    const int extra = width - minWidth;
    setupsWidth += extra * 2 / 7;
    setupModisWidth += extra * 2 / 7;
    modisWidth += extra - 2 * (extra * 2 / 7);
    const int labelHeight = std::max({f.TextHeight("lblSetups", setupsWidth),
                                      f.TextHeight("lblSetupModis", setupModisWidth),
                                      f.TextHeight("lblModis", modisWidth)});
    const int checksHeight = 3 * (m.checkHeight + m.checkGap);
    const int descriptionHeight = 5 * m.line + f.DluY(5);
    const int below =
        m.rowGap + m.line + f.DluY(2) + descriptionHeight + m.rowGap + m.buttonHeight + m.margin;
    const int minColumns =
        labelHeight + f.DluY(2) + f.DluY(120) + std::max(m.rowGap + m.buttonHeight, checksHeight);
    const SIZE minimum{minWidth, m.margin + minColumns + below};
    if (f.Measuring())
        return minimum;

    const int height = std::max<int>(client.cy, minimum.cy);
    const int columnsBottom = height - below;
    const int listY = m.margin + labelHeight + f.DluY(2);
    int x = m.margin;

    f.Place("lblSetups", x, m.margin, setupsWidth, labelHeight);
    const int setupButtonsY = columnsBottom - m.buttonHeight;
    f.Place("lstSetups", x, listY, setupsWidth, setupButtonsY - m.rowGap - listY);
    const int half = (setupsWidth - m.gap) / 2;
    f.Place("cmdNew", x, setupButtonsY, half, m.buttonHeight);
    f.Place("cmdDelete", x + half + m.gap, setupButtonsY, setupsWidth - half - m.gap,
            m.buttonHeight);
    x += setupsWidth + m.gap;

    f.Place("lblSetupModis", x, m.margin, setupModisWidth, labelHeight);
    f.Place("lstSetupModis", x, listY, setupModisWidth, setupButtonsY - m.rowGap - listY);
    f.Place("cmdSetupFiles", x, setupButtonsY, ButtonWidth(f, "cmdSetupFiles"), m.buttonHeight);
    x += setupModisWidth + m.gap;

    // Add and remove, then the order, in the middle beside the lists.
    const int stack = 5 * m.buttonHeight + 3 * m.checkGap + f.DluY(12);
    int y = listY + std::max(0, (columnsBottom - listY - stack) / 2);
    for (std::size_t at = 0; at < moves.size(); ++at) {
        f.Place(moves[at], x, y, moveWidth, m.buttonHeight);
        y += m.buttonHeight + (at == 2 ? f.DluY(12) : m.checkGap);
    }
    x += moveWidth + m.gap;

    f.Place("lblModis", x, m.margin, modisWidth, labelHeight);
    f.Place("lstModis", x, listY, modisWidth, columnsBottom - checksHeight - listY);
    y = columnsBottom - checksHeight + m.checkGap;
    for (const std::string& name : checks) {
        f.Place(name, x, y, modisWidth, m.checkHeight);
        y += m.checkHeight + m.checkGap;
    }

    y = columnsBottom + m.rowGap;
    const int full = width - 2 * m.margin;
    f.Place("lblDescription", m.margin, y, full, m.line);
    y += m.line + f.DluY(2);
    f.Place("txtDescription", m.margin, y, full, descriptionHeight);
    y += descriptionHeight + m.rowGap;
    f.Place("cmdConvertVarnixMods", m.margin, y, ButtonWidth(f, "cmdConvertVarnixMods"),
            m.buttonHeight);
    const int exitWidth = ButtonWidth(f, "cmdExit");
    f.Place("cmdExit", width - m.margin - exitWidth, y, exitWidth, m.buttonHeight);
    return minimum;
}

// Any other window: its controls one below the other across the window, the lists
// sharing the room left, the buttons in a row along the bottom right, then a
// progress bar and the status bar.
SIZE LayOutColumn(Win32Form& f, SIZE client) {
    const Metrics m(f);
    const WindowDescription& described = f.Description();
    std::vector<std::string> buttons;
    int buttonsWidth = 0;
    int width = f.DluX(200);
    int lists = 0;
    bool bar = false;
    std::string status;
    for (const ControlDescription& control : described.Controls) {
        switch (control.Kind) {
            case ControlKind::Button:
                buttons.push_back(control.Name);
                buttonsWidth += ButtonWidth(f, control.Name) + m.gap;
                break;
            case ControlKind::CheckBox:
                width = std::max(width, CheckWidth(f, control.Name));
                break;
            case ControlKind::Frame:
                width = std::max(width, f.TextWidth(control.Name) + f.DluX(14));
                break;
            case ControlKind::ListView:
                ++lists;
                // Room for a path and what becomes of it, side by side.
                if (control.Items.size() > 1)
                    width = std::max(width, f.DluX(320));
                break;
            case ControlKind::ProgressBar:
                bar = true;
                break;
            case ControlKind::StatusBar:
                status = control.Name;
                break;
            default:
                break;
        }
    }
    width = std::max(width, buttonsWidth - m.gap);
    const int full = std::max<int>(client.cx - 2 * m.margin, width);
    const int listHeight = f.DluY(80);
    auto heightOf = [&](const ControlDescription& control) {
        switch (control.Kind) {
            case ControlKind::Label:
                return f.TextHeight(control.Name, full);
            case ControlKind::Frame:
                return m.line + f.DluY(3);
            case ControlKind::CheckBox:
                return m.checkHeight;
            case ControlKind::TextBox:
                return control.MultiLine ? 5 * m.line + f.DluY(5) : m.boxHeight;
            case ControlKind::ComboBox:
                return m.boxHeight;
            case ControlKind::ListView:
                return listHeight;
            default:
                return -1;
        }
    };
    int natural = m.margin;
    for (const ControlDescription& control : described.Controls)
        if (const int h = heightOf(control); h >= 0)
            natural += h + m.rowGap;
    const int statusHeight = status.empty() ? 0 : f.HeightOf(status);
    const int barHeight = bar ? f.DluY(9) + f.DluY(3) : 0;
    natural += (buttons.empty() ? 0 : m.buttonHeight + m.rowGap) + m.margin - m.rowGap + barHeight +
               statusHeight;
    const SIZE minimum{width + 2 * m.margin, natural};
    if (f.Measuring())
        return minimum;

    const int height = std::max<int>(client.cy, natural);
    const int stretch = lists ? (height - natural) / lists : 0;
    int y = m.margin;
    for (const ControlDescription& control : described.Controls) {
        int h = heightOf(control);
        if (control.Kind == ControlKind::ListView)
            h += stretch;
        if (h < 0)
            continue;
        f.Place(control.Name, m.margin, y, full, control.Kind == ControlKind::ComboBox ? h * 8 : h);
        y += h + m.rowGap;
    }
    int x = m.margin + full - (buttonsWidth - m.gap);
    for (const std::string& name : buttons) {
        f.Place(name, x, y, ButtonWidth(f, name), m.buttonHeight);
        x += ButtonWidth(f, name) + m.gap;
    }
    for (const ControlDescription& control : described.Controls)
        if (control.Kind == ControlKind::ProgressBar)
            f.Place(control.Name, m.margin, height - statusHeight - barHeight, full, f.DluY(9));
    return minimum;
}

}  // namespace

std::unique_ptr<Form> Win32FormFactory::MakeForm(const WindowDescription& Description) {
    // The window a dialog box asks its one question in keeps its size.
    const bool resizable = !Description.Dialog || Description.Name != "frmInputBox";
    auto form = std::make_unique<Win32Form>(Description, resizable);
    for (const ControlDescription& described : Description.Controls) {
        const std::string& name = described.Name;
        switch (described.Kind) {
            case ControlKind::Label:
            case ControlKind::Frame:
                form->Add<Win32Label>(name, described.Kind == ControlKind::Frame);
                break;
            case ControlKind::Button:
                form->Add<Win32Button>(name);
                break;
            case ControlKind::CheckBox:
                form->Add<Win32CheckBox>(name);
                break;
            case ControlKind::TextBox: {
                // A box with arrows takes numbers only.
                const bool number =
                    std::any_of(Description.Controls.begin(), Description.Controls.end(),
                                [&name](const ControlDescription& other) {
                                    return other.Kind == ControlKind::UpDown && other.Buddy == name;
                                });
                form->Add<Win32TextBox>(name, described.MultiLine, described.ReadOnly, number);
                break;
            }
            case ControlKind::UpDown: {
                auto* buddy = dynamic_cast<Win32TextBox*>(form->Widget(described.Buddy));
                if (!buddy)
                    throw QuillonError(PlatformError::InvalidArgument, "FormFactory",
                                       "The up-down " + name + " has no text box " +
                                           described.Buddy + " described before it");
                form->Add<Win32UpDown>(name, *buddy);
                break;
            }
            case ControlKind::ComboBox:
                form->Add<Win32ComboBox>(name);
                break;
            case ControlKind::ListView:
                form->Add<Win32ListView>(name);
                break;
            case ControlKind::StatusBar:
                form->Add<Win32StatusBar>(name);
                break;
            case ControlKind::ProgressBar:
                form->Add<Win32ProgressBar>(name);
                break;
        }
    }
    if (Description.Name == "frmMain")
        form->SetLayout(LayOutMain);
    else if (Description.Name == "frmManageSetups")
        form->SetLayout(LayOutManager);
    else
        form->SetLayout(LayOutColumn);
    return form;
}
