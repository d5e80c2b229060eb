// The Windows desktop windows with their logic on the demo game, driven by window
// messages as a player's mouse and keys drive them.
#include <gtest/gtest.h>

#include "Win32Program.h"

#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "NativeLauncher.h"
#include "ProgressReports.h"
#include "Setup.h"
#include "Win32Dialogs.h"
#include "Win32Text.h"
#include "frmMain.h"
#include "frmManageSetups.h"
#include "frmPreview.h"
#include "frmSetupFiles.h"
#include "frmVerify.h"

// Each control names only the fields it has.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

const std::vector<MsgResult> kYesToAll(10, MsgResult::Yes);

// Whether a window shows its title (the described one unless given) and every caption
// of its description, each on a control as visible as described.
void ExpectShowsItsDescription(Win32Form& form, const WindowDescription& described,
                               const std::string& title = "") {
    EXPECT_EQ(Win32Program::Shown(form.Handle()),
              Win32Text::ToWide(title.empty() ? described.Caption : title));
    for (const ControlDescription& control : described.Controls) {
        Win32Widget* widget = form.Widget(control.Name);
        ASSERT_NE(widget, nullptr) << control.Name;
        if (!control.Caption.empty() && control.Kind != ControlKind::ComboBox) {
            EXPECT_EQ(Win32Program::Shown(widget->Handle()), Win32Text::ToWide(control.Caption))
                << control.Name;
        }
        EXPECT_EQ(::IsWindowVisible(widget->Handle()) != FALSE, control.Visible) << control.Name;
    }
}

std::wstring ItemText(HWND list, int index, int column = 0) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index - 1),
                   reinterpret_cast<LPARAM>(&item));
    return text;
}

RECT Rect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

TEST(Win32Windows, MainWindowIsDrawnFromItsDescriptionWithTheLoadedState) {
    Win32Program program;
    program.Start(kYesToAll);
    // Start-up asked about the new mods through the program's own seam.
    ASSERT_FALSE(program.Dialogs.Boxes.empty());
    EXPECT_NE(program.Dialogs.Boxes[0].Text.find("new mod"), std::string::npos);
    EXPECT_EQ(program.Dialogs.Boxes[0].Buttons, MsgButtons::YesNo);

    Win32Form& window = program.Window();
    ASSERT_TRUE(window.Visible());
    ExpectShowsItsDescription(window, frmMain::Description());
    EXPECT_EQ(program.Main->Window().StatusBarNamed("stbStatus").PanelText(2),
              std::string("v1.0.4 - 2005/05/06"));
    wchar_t panel[64] = {};
    ::SendMessageW(program.Handle("stbStatus"), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(panel));
    EXPECT_EQ(std::wstring(panel), L"v1.0.4 - 2005/05/06");

    // The arrows sit on their boxes and move their numbers.
    EXPECT_EQ(
        reinterpret_cast<HWND>(::SendMessageW(program.Handle("udNumPlayers"), UDM_GETBUDDY, 0, 0)),
        program.Handle("txtNumPlayers"));
    EXPECT_EQ(Win32Program::Shown(program.Handle("txtNumPlayers")), L"8");
    EXPECT_EQ(::SendMessageW(program.Handle("cmbLanguage"), CB_GETCOUNT, 0, 0), 6);

    // Every control lies inside the window, none over another but in its frame.
    RECT client{};
    ::GetClientRect(window.Handle(), &client);
    ::MapWindowPoints(window.Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (const ControlDescription& control : frmMain::Description().Controls) {
        const RECT rect = Rect(program.Handle(control.Name));
        if (control.Kind == ControlKind::ComboBox || !control.Visible)
            continue;
        EXPECT_TRUE(rect.left >= client.left && rect.right <= client.right &&
                    rect.top >= client.top && rect.bottom <= client.bottom &&
                    rect.right > rect.left && rect.bottom > rect.top)
            << control.Name;
    }

    // The setups of the first run: the original game, current and selected.
    auto& setups = program.Main->Window().ListViewNamed("lstSetups");
    ASSERT_GE(setups.Count(), 2);
    EXPECT_EQ(setups.SelectedIndex(), 1);
    EXPECT_EQ(ItemText(program.Handle("lstSetups"), 1),
              Win32Text::ToWide(program.Main->OriginalSetup->Name));

    // The window opens in the middle of its screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window.Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT frame = Rect(window.Handle());
    EXPECT_NEAR((frame.left + frame.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2,
                2);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2,
                2);
}

TEST(Win32Windows, ApplyingASetupMovesTheProgressBarAndAnswersNoSelection) {
    Win32Program program;
    program.Start(kYesToAll);
    HWND list = program.Handle("lstSetups");
    HWND bar = program.Handle("prgBar");

    // Nothing selected: the one message, and nothing is applied.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&none));
    program.Dialogs.Boxes.clear();
    program.Click("cmdApply");
    ASSERT_EQ(program.Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(program.Dialogs.Boxes[0].Text, "No setup selected.");
    EXPECT_EQ(program.Dialogs.Boxes[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(program.Main->CurrentSetup, program.Main->OriginalSetup);

    // Each progress report is on the bar, and drawn, before the operation goes on.
    std::vector<ProgressReport> reports;
    static int paints = 0;
    paints = 0;
    auto counter = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                      DWORD_PTR) -> LRESULT {
        if (message == WM_PAINT)
            ++paints;
        return ::DefSubclassProc(window, message, wParam, lParam);
    };
    ::SetWindowSubclass(bar, counter, 7, 0);
    program.Main->ProgressShown = [&](std::int32_t step, std::int32_t outOf) {
        reports.push_back({step, outOf, ::IsWindowVisible(bar) != FALSE,
                           ::SendMessageW(bar, PBM_GETPOS, 0, 0),
                           ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0)});
    };
    ASSERT_TRUE(program.ClickItem("lstSetups", "Base Rules"));
    program.Click("cmdApply");
    ::RemoveWindowSubclass(bar, counter, 7);

    EXPECT_TRUE(program.Dialogs.Boxes.size() == 1u);
    EXPECT_EQ(Win32Program::Shown(program.Handle("txtCurrentSetup")), L"Base Rules");
    EXPECT_EQ(program.Main->CurrentSetup->Key, "Base Rules");
    EXPECT_EQ(program.Game.Read("qel2_data\\default\\gamedata\\units.txt"),
              program.Game.Read("mods\\baserules\\baserules_units.txt"));
    int shown = 0;
    EXPECT_EQ(ProgressMismatch(reports, shown), "");
    EXPECT_GE(shown, 2);
    EXPECT_GE(paints, shown);
}

TEST(Win32Windows, ManagerMakesASetupThatTheMainWindowThenAppliesAndLaunches) {
    Win32Program program;
    program.Start(kYesToAll);
    const std::string name = "Straße é";
    std::vector<std::string> made;
    std::vector<std::string> afterRemoving;
    std::wstring header;
    std::wstring description;
    const bool shown = program.WithManager([&](Win32Form& manager) {
        ExpectShowsItsDescription(manager, frmManageSetups::Description());
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 64;
        ::SendMessageW(program.Handle("lstModis"), LVM_GETCOLUMNW, 1,
                       reinterpret_cast<LPARAM>(&column));
        header = text;

        program.Dialogs.InputAnswers.push_back(name);
        program.Click("cmdNew");
        if (!program.ClickItem("lstModis", "baserules"))
            return;
        description = Win32Program::Shown(program.Handle("txtDescription"));
        program.Click("cmdAdd");
        // Big Map needs Base Rules, which the setup now holds: a double click adds it.
        program.ClickItem("lstModis", "bigmap", true);
        program.ClickItem("lstModis", "libraryplus");
        program.Key("lstModis", VK_RETURN);
        program.ClickItem("lstSetupModis", "libraryplus");
        program.Click("cmdMoveUp");
        made = program.Keys("lstSetupModis");
        program.Key("lstSetupModis", VK_DELETE);
        afterRemoving = program.Keys("lstSetupModis");
        // Closed from its title bar: the window only hides.
        ::SendMessageW(manager.Handle(), WM_CLOSE, 0, 0);
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(header, L"Compatibility:");
    EXPECT_NE(description.find(L"Balanced unit costs"), std::wstring::npos);
    EXPECT_EQ(made, (std::vector<std::string>{"baserules", "libraryplus", "bigmap"}));
    EXPECT_EQ(afterRemoving, (std::vector<std::string>{"baserules", "bigmap"}));
    ASSERT_EQ(program.Dialogs.Inputs.size(), 1u);
    EXPECT_EQ(program.Dialogs.Inputs[0].Prompt, "New setup name:");

    // Back in the main window the new setup is listed under its name, letters and all.
    auto& setups = program.Main->Window().ListViewNamed("lstSetups");
    const int at = setups.FindKey(name);
    ASSERT_NE(at, 0);
    EXPECT_EQ(ItemText(program.Handle("lstSetups"), at), L"Stra\u00dfe \u00e9");
    ASSERT_TRUE(program.ClickItem("lstSetups", name));
    program.Click("cmdApplyLaunch");
    EXPECT_EQ(program.Main->CurrentSetup->Key, name);
    ASSERT_EQ(program.GameLauncher.Started.size(), 1u);
    EXPECT_EQ(program.GameLauncher.Started[0], program.Game.Path() + "qel2_program\\qel\\qel2.exe");
}

// The preview and the files of a setup, drawn from their descriptions in one column.
TEST(Win32Windows, PreviewAndFilesOfASetupAreDrawnFromTheirDescriptions) {
    Win32Program program;
    program.Start(kYesToAll);
    ASSERT_TRUE(program.ClickItem("lstSetups", "Night Mode"));
    std::wstring action;
    const bool previewShown =
        program.WithWindow("cmdPreview", "frmPreview", [&](Win32Form& preview) {
            ExpectShowsItsDescription(preview, frmPreview::Description(),
                                      "Preview: Original Game to Night Mode");
            action = ItemText(program.Handle("lstPreview"), 1, 1);
            program.Click("cmdPreviewClose");
        });
    ASSERT_TRUE(previewShown);
    EXPECT_EQ(action, L"Back up and replace (Night Mode)");
    EXPECT_EQ(program.Main->CurrentSetup, program.Main->OriginalSetup);

    bool filesShown = false;
    std::wstring mod;
    ASSERT_TRUE(program.WithManager([&](Win32Form&) {
        if (!::IsWindowEnabled(program.Handle("cmdSetupFiles")))
            return;
        auto& chosen = program.Front().ListViewNamed("lstSetups");
        const std::string title = "Files of " + chosen.Text(chosen.SelectedIndex());
        filesShown = program.WithWindow("cmdSetupFiles", "frmSetupFiles", [&](Win32Form& files) {
            ExpectShowsItsDescription(files, frmSetupFiles::Description(), title);
            mod = ItemText(program.Handle("lstSetupFiles"), 1, 1);
            program.Click("cmdSetupFilesClose");
        });
    }));
    EXPECT_TRUE(filesShown);
    EXPECT_FALSE(mod.empty());
}

// Verify, drawn from its description: a player's edit is listed, and Re-apply puts the
// mod's file back (the edit kept) and empties the list.
TEST(Win32Windows, VerifyListsAnEditThatReapplyPutsRight) {
    Win32Program program;
    program.Start(kYesToAll);
    ASSERT_TRUE(program.ClickItem("lstSetups", "Night Mode"));
    program.Click("cmdApply");
    const std::string sprite = "qel2_data\\default\\gamedata\\newsprite.txt";
    program.Game.Write(sprite, "edited by hand\r\n");

    std::wstring state, before, after;
    ASSERT_TRUE(program.WithWindow("cmdVerify", "frmVerify", [&](Win32Form& verify) {
        ExpectShowsItsDescription(verify, frmVerify::Description());
        state = ItemText(program.Handle("lstVerify"), 1, 1);
        before = Win32Program::Shown(program.Handle("lblVerifySummary"));
        if (program.ClickItem("lstVerify", sprite))
            program.Click("cmdVerifyReapply");
        after = Win32Program::Shown(program.Handle("lblVerifySummary"));
        program.Click("cmdVerifyClose");
    }));
    EXPECT_EQ(state, L"Changed since applied (Night Mode)");
    EXPECT_TRUE(before.ends_with(L" files checked, 1 differ.")) << Win32Text::FromWide(before);
    EXPECT_TRUE(after.ends_with(L" files checked, all as applied.")) << Win32Text::FromWide(after);
    EXPECT_EQ(program.Game.Read(sprite),
              program.Game.Read("mods\\nightmode\\nightmode_newsprite.txt"));
    EXPECT_TRUE(program.Game.Exists("quill-kept\\qel2_data\\default\\gamedata"));
}

TEST(Win32Windows, OptionsAndPlayerValuesAreSavedWhenClosedFromTheTitleBar) {
    Win32Program program;
    program.Start(kYesToAll);
    const bool logWas = program.Main->Log;
    program.Click("chkLog");
    EXPECT_EQ(program.Main->Log, !logWas);
    program.Click("chkDebugVESK");
    EXPECT_TRUE(program.Main->DebugVesk);
    program.Key("cmbLanguage", VK_DOWN);
    EXPECT_EQ(program.Main->Language, "french");
    // Typed, then one step up with the arrow key.
    HWND players = program.Handle("txtNumPlayers");
    ::SetFocus(players);
    ::SendMessageW(players, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3"));
    program.Key("txtNumPlayers", VK_UP);
    EXPECT_EQ(Win32Program::Shown(players), L"4");

    ::SendMessageW(program.Window().Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.Main->Ended());
    EXPECT_FALSE(program.Window().Visible());
    const std::string profile = program.Game.Read("qel2_program\\qel\\userprofile.txt");
    EXPECT_NE(profile.find("NumPlayers=4"), std::string::npos);
    EXPECT_NE(profile.find("DebugVesk=Yes"), std::string::npos);
    EXPECT_NE(program.Game.Read("quill.ini").find("french"), std::string::npos);
}

TEST(Win32Windows, InputBoxAndMessageBoxAnswerWithEnterEscapeAndButtons) {
    Win32DialogService service;
    DialogService* previous = CurrentDialogService();
    SetDialogService(&service);
    HWND owner = ::CreateWindowW(L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(owner);

    std::wstring title;
    std::wstring prompt;
    auto type = [&](const wchar_t* text, WPARAM key) {
        Win32Program::Later([&title, &prompt, text, key] {
            HWND box = ::GetActiveWindow();
            title = Win32Program::Shown(box);
            auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(box, GWLP_USERDATA));
            if (!form || form->Handle() != box)
                return;
            prompt = Win32Program::Shown(form->Widget("lblPrompt")->Handle());
            HWND field = form->Widget("txtValue")->Handle();
            ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
            ::PostMessageW(field, WM_KEYDOWN, key, 1);
        });
    };
    type(L"Gro\u00df", VK_RETURN);
    EXPECT_EQ(InputBox("New setup name:", "Quillon", "x"), "Groß");
    EXPECT_EQ(title, L"Quillon");
    EXPECT_EQ(prompt, L"New setup name:");
    type(L"ignored", VK_ESCAPE);
    EXPECT_EQ(InputBox("New setup name:"), "");

    // A message box: its question, title and buttons, answered with its No.
    Win32Program::Later([&title] {
        HWND box = ::GetActiveWindow();
        title = Win32Program::Shown(box);
        ::SendMessageW(box, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(MsgBox("Initialize Café?", MsgIcon::Information, MsgButtons::YesNo, "Quillon é"),
              MsgResult::No);
    EXPECT_EQ(title, L"Quillon \u00e9");
    ::DestroyWindow(owner);
    SetDialogService(previous);
}

TEST(Win32Windows, ApplyAndLaunchStartsTheGameProgram) {
    NativeLauncher launcher;
    Win32Program program(&launcher);
    // The game's stand-in notes its start in qel2_started.txt.
    std::filesystem::copy_file(QUILLON_GAME_STANDIN,
                               program.Game.NativeOf("qel2_program\\qel\\qel2.exe"),
                               std::filesystem::copy_options::overwrite_existing);
    program.Start(kYesToAll);
    ASSERT_TRUE(program.ClickItem("lstSetups", "Night Mode"));
    program.Click("cmdApplyLaunch");
    EXPECT_TRUE(program.Dialogs.Boxes.size() <= 2u);
    EXPECT_EQ(program.Main->CurrentSetup->Key, "Night Mode");
    // The game runs on its own: wait for it, at most half a minute.
    const std::string started = "qel2_program\\qel\\qel2_started.txt";
    for (int tries = 0; tries < 300 && !program.Game.Exists(started); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(program.Game.Exists(started));
    EXPECT_EQ(program.Game.Read(started).rfind("QEL2 started ", 0), 0u);
}

// Windows without a layout of their own are drawn one control below the other: each
// control inside the window, none over another, whatever the size.
TEST(Win32Windows, AnyDescribedWindowIsDrawnInOneColumn) {
    using K = ControlKind;
    WindowDescription described{.Name = "frmSomeOther", .Caption = "Some Other", .Dialog = true};
    described.Controls = {
        {.Name = "lblTitle", .Kind = K::Label, .Caption = "Files of the setup:"},
        {.Name = "lstFiles", .Kind = K::ListView, .Items = {"File", "Mod"}},
        {.Name = "chkAll", .Kind = K::CheckBox, .Caption = "Show every file"},
        {.Name = "txtNote", .Kind = K::TextBox, .MultiLine = true},
        {.Name = "cmbKind", .Kind = K::ComboBox, .Items = {"a", "b"}, .Text = "a"},
        {.Name = "cmdOK", .Kind = K::Button, .Caption = "&OK"},
        {.Name = "cmdClose", .Kind = K::Button, .Caption = "&Close"},
        {.Name = "prgBar", .Kind = K::ProgressBar},
        {.Name = "stbStatus", .Kind = K::StatusBar, .Items = {"", "ready"}}};
    Win32FormFactory factory;
    std::unique_ptr<Form> made = factory.CreateForm(described);
    auto& form = dynamic_cast<Win32Form&>(*made);
    for (SIZE size : {SIZE{100, 100}, SIZE{900, 700}}) {
        ::SetWindowPos(form.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
        RECT client{};
        ::GetClientRect(form.Handle(), &client);
        std::vector<RECT> placed;
        for (const ControlDescription& control : described.Controls) {
            RECT rect = Rect(form.Widget(control.Name)->Handle());
            ::MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&rect), 2);
            if (control.Kind == K::ComboBox)
                rect.bottom = rect.top + ::GetSystemMetrics(SM_CYVSCROLL);
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                        rect.bottom <= client.bottom && rect.right > rect.left)
                << control.Name << " at " << size.cx;
            for (const RECT& other : placed) {
                RECT both{};
                EXPECT_FALSE(::IntersectRect(&both, &rect, &other)) << control.Name;
            }
            if (control.Kind != K::StatusBar)
                placed.push_back(rect);
        }
    }
}
