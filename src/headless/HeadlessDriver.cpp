#include "HeadlessDriver.h"

#include <algorithm>

#include "HeadlessControls.h"
#include "NativeLauncher.h"
#include "ProgramIdentity.h"
#include "QuillonError.h"
#include "Useful.h"
#include "frmMain.h"

namespace {

// Ends the run with an exit status; nothing in the program catches it.
struct ScriptExit {
    int status;
};

const char* IconName(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return "information";
        case MsgIcon::Warning:
            return "warning";
        case MsgIcon::Exclamation:
            return "exclamation";
        default:
            return "none";
    }
}

const char* ButtonsName(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::YesNo:
            return "YesNo";
        case MsgButtons::YesNoCancel:
            return "YesNoCancel";
        default:
            return "OK";
    }
}

// "name rest": the control name and what follows one space.
void SplitArgument(const std::string& argument, std::string& first, std::string& rest) {
    std::size_t space = argument.find(' ');
    first = argument.substr(0, space);
    rest = space == std::string::npos ? "" : argument.substr(space + 1);
}

}  // namespace

ScriptDriver::ScriptDriver(std::istream& Script, std::ostream& Out, std::ostream& Err)
    : out_(Out),
      err_(Err),
      factory_(std::make_unique<HeadlessFormFactory>(*this, frmMain::Windows())) {
    std::string line;
    int number = 0;
    while (std::getline(Script, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        line.erase(0, first);
        std::size_t space = line.find(' ');
        Command command{number, line.substr(0, space),
                        space == std::string::npos ? "" : line.substr(space + 1)};
        commands_.push_back(command);
    }
}

ScriptDriver::~ScriptDriver() {
    if (CurrentDialogService() == this)
        SetDialogService(nullptr);
}

void ScriptDriver::PrintLines(const std::string& text) {
    for (const std::string& line : Useful::SplitLines(text))
        out_ << "| " << line << "\n";
}

void ScriptDriver::ScriptError(const Command& command, const std::string& why) {
    out_.flush();
    err_ << "SCRIPT " << command.line << ": " << why << "\n";
    throw ScriptExit{3};
}

void ScriptDriver::Unanswered(const std::string& kind, const std::vector<std::string>& lines) {
    out_ << "UNANSWERED " << kind << "\n";
    for (const std::string& line : lines)
        out_ << "| " << line << "\n";
    out_.flush();
    throw ScriptExit{2};
}

void ScriptDriver::EndProgram() {
    out_ << "END\n";
    out_.flush();
    throw ScriptExit{0};
}

int ScriptDriver::Run() {
    SetDialogService(this);
    try {
        for (const Command& command : commands_) {
            if (!FindCommand(command.name))
                ScriptError(command, "unknown command " + command.name);
            if (command.name == "answer" && command.argument != "Yes" && command.argument != "No" &&
                command.argument != "Cancel")
                ScriptError(command, "an answer is Yes, No or Cancel");
        }
        while (Step()) {
        }
        if (main_ && !main_->Ended()) {
            main_->Close();
            EndProgram();
        }
        return 0;
    } catch (const ScriptExit& exit) {
        return exit.status;
    } catch (const QuillonError& error) {
        return Fatal(error.Number, error.Source, error.Description);
    } catch (const std::exception& error) {
        // Not the program's own error, but it ends the program all the same.
        return Fatal(0, ProgramIdentity::Title, error.what());
    } catch (...) {
        return Fatal(0, ProgramIdentity::Title, "Unexpected error");
    }
}

int ScriptDriver::Fatal(long number, const std::string& source, const std::string& description) {
    out_ << "ERROR " << number << " " << source << "\n";
    PrintLines(description);
    out_ << "END\n";
    out_.flush();
    return 1;
}

bool ScriptDriver::Step() {
    if (next_ >= commands_.size())
        return false;
    const Command command = commands_[next_++];
    Execute(command);
    if (main_ && main_->Ended())
        EndProgram();
    return true;
}

void ScriptDriver::RunModal(HeadlessForm& Form) {
    modal_.push_back(&Form);
    while (Form.Visible()) {
        if (!Step())
            CloseFront();
    }
    modal_.pop_back();
}

HeadlessForm& ScriptDriver::Front() {
    if (!modal_.empty())
        return *modal_.back();
    return static_cast<HeadlessForm&>(main_->Window());
}

void ScriptDriver::CloseFront() {
    if (!modal_.empty()) {
        HeadlessForm& form = *modal_.back();
        const bool keep = form.QueryClose && form.QueryClose();
        if (!keep)
            form.Hide();
        return;
    }
    main_->Close();
}

Control& ScriptDriver::ControlNamed(const Command& command, const std::string& name) {
    if (!main_)
        ScriptError(command, "no window is shown before start");
    Control* control = Front().Find(name);
    if (!control)
        ScriptError(command, "unknown control " + name);
    return *control;
}

Control& ScriptDriver::InputControl(const Command& command, const std::string& name) {
    Control& control = ControlNamed(command, name);
    // A user cannot reach a disabled control: a script that does is wrong.
    if (!control.Enabled())
        ScriptError(command, name + " is disabled");
    return control;
}

void ScriptDriver::Start() {
    main_ = std::make_unique<frmMain>(*factory_, *this, *this, commandLine_);
    main_->StatusShown = [this](const std::string& status) {
        out_ << (status.empty() ? "STATUS" : "STATUS " + status) << "\n";
    };
    main_->ProgressShown = [this](std::int32_t progress, std::int32_t outOf) {
        out_ << "PROGRESS " << progress << " " << outOf << "\n";
    };
    main_->Load();
    if (main_->Ended())
        EndProgram();
    main_->Window().Show();
}

// The script's commands: the one list from which the driver reads a script, prints its
// usage and checks the README's list.
const std::vector<ScriptDriver::CommandSpec>& ScriptDriver::Commands() {
    static const std::vector<CommandSpec> commands = {
        {"commandline", "TEXT", "the program's command line, before start",
         &ScriptDriver::CommandLineCommand},
        {"answer", "Yes|No|Cancel", "queues the answer to a later question box",
         &ScriptDriver::AnswerCommand},
        {"input", "TEXT", "queues the answer to a later input box (empty: Cancel)",
         &ScriptDriver::InputCommand},
        {"file", "FILENAME", "queues the answer to a later file dialog (empty: cancelled)",
         &ScriptDriver::FileCommand},
        {"start", "", "creates the main window and loads it", &ScriptDriver::StartCommand},
        {"click", "CONTROL", "presses a button or clicks a check box", &ScriptDriver::ClickCommand},
        {"select", "CONTROL KEY", "selects a list item and raises its click",
         &ScriptDriver::SelectCommand},
        {"deselect", "CONTROL", "leaves a list view with no selected item",
         &ScriptDriver::DeselectCommand},
        {"key", "CONTROL Delete|Enter", "a key released in a list view", &ScriptDriver::KeyCommand},
        {"dblclick", "CONTROL", "a double-click on a list view", &ScriptDriver::DblClickCommand},
        {"set", "CONTROL VALUE", "sets an up-down's value or chooses a combo box entry",
         &ScriptDriver::SetCommand},
        {"show", "CONTROL|WINDOW",
         "prints the control's state, or the title of the window in front",
         &ScriptDriver::ShowCommand},
        {"close", "", "closes the window in front", &ScriptDriver::CloseCommand},
    };
    return commands;
}

std::string ScriptDriver::Usage() {
    std::string usage =
        "usage: quillon-headless SCRIPT   (- reads standard input)\n"
        "Each line of SCRIPT is a command:\n";
    for (const CommandSpec& entry : Commands()) {
        std::string line = "  " + std::string(entry.Name) + " " + entry.Argument;
        line.resize(std::max<std::size_t>(line.size() + 1, 34), ' ');
        usage += line + entry.Effect + "\n";
    }
    return usage;
}

const ScriptDriver::CommandSpec* ScriptDriver::FindCommand(const std::string& name) {
    for (const CommandSpec& entry : Commands())
        if (entry.Name == name)
            return &entry;
    return nullptr;
}

void ScriptDriver::Execute(const Command& command) {
    (this->*FindCommand(command.name)->Run)(command);
}

void ScriptDriver::CommandLineCommand(const Command& command) {
    if (started_)
        ScriptError(command, "commandline after start");
    commandLine_ = command.argument;
}

void ScriptDriver::AnswerCommand(const Command& command) {
    answers_.push_back(command.argument);
}

void ScriptDriver::InputCommand(const Command& command) {
    inputs_.push_back(command.argument);
}

void ScriptDriver::FileCommand(const Command& command) {
    files_.push_back(command.argument);
}

void ScriptDriver::StartCommand(const Command& command) {
    if (started_)
        ScriptError(command, "start twice");
    started_ = true;
    Start();
}

void ScriptDriver::CloseCommand(const Command& command) {
    if (!main_)
        ScriptError(command, "no window is shown before start");
    CloseFront();
}

void ScriptDriver::ClickCommand(const Command& command) {
    Control& control = InputControl(command, command.argument);
    if (auto* button = dynamic_cast<Button*>(&control)) {
        if (button->Click)
            button->Click();
    } else if (auto* check = dynamic_cast<CheckBox*>(&control)) {
        check->SetValue(check->Value() == CheckState::Ticked ? CheckState::Unticked
                                                             : CheckState::Ticked);
    } else {
        ScriptError(command, command.argument + " cannot be clicked");
    }
}

ListView& ScriptDriver::ListNamed(const Command& command, const std::string& name) {
    auto* list = dynamic_cast<ListView*>(&InputControl(command, name));
    if (!list)
        ScriptError(command, name + " is not a list view");
    return *list;
}

void ScriptDriver::SelectCommand(const Command& command) {
    std::string target, key;
    SplitArgument(command.argument, target, key);
    ListView& list = ListNamed(command, target);
    const int index = list.FindKey(key);
    if (index == 0)
        ScriptError(command, "no item of " + target + " has the key " + key);
    list.Select(index);
    if (list.ItemClick)
        list.ItemClick(index);
}

void ScriptDriver::DeselectCommand(const Command& command) {
    ListNamed(command, command.argument).Select(0);
}

void ScriptDriver::KeyCommand(const Command& command) {
    std::string target, key;
    SplitArgument(command.argument, target, key);
    ListView& list = ListNamed(command, target);
    if (key != "Delete" && key != "Enter")
        ScriptError(command, "a key is Delete or Enter");
    if (list.KeyUp)
        list.KeyUp(key == "Delete" ? ListKey::Delete : ListKey::Enter);
}

void ScriptDriver::DblClickCommand(const Command& command) {
    ListView& list = ListNamed(command, command.argument);
    if (list.DblClick)
        list.DblClick();
}

void ScriptDriver::SetCommand(const Command& command) {
    std::string target, value;
    SplitArgument(command.argument, target, value);
    Control& control = InputControl(command, target);
    if (auto* upDown = dynamic_cast<UpDown*>(&control)) {
        int number = 0;
        try {
            std::size_t used = 0;
            number = std::stoi(value, &used);
            if (used != value.size())
                throw std::invalid_argument(value);
        } catch (const std::exception&) {
            ScriptError(command, "an up-down takes a whole number");
        }
        upDown->SetValue(number);
    } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
        if (!dynamic_cast<ShowableControl&>(control).HasEntry(value))
            ScriptError(command, target + " has no entry " + value);
        combo->SetText(value);
        if (combo->Click)
            combo->Click();
    } else {
        ScriptError(command, target + " cannot be set");
    }
}

void ScriptDriver::ShowCommand(const Command& command) {
    if (main_ && command.argument == Front().Description().Name) {
        out_ << "SHOW " << command.argument << "\n";
        out_ << "| " << Front().Caption() << "\n";
        return;
    }
    Control& control = ControlNamed(command, command.argument);
    out_ << "SHOW " << command.argument << "\n";
    for (const std::string& line : dynamic_cast<ShowableControl&>(control).StateLines())
        out_ << "| " << line << "\n";
    if (!control.Enabled())
        out_ << "| disabled\n";
}

MsgResult ScriptDriver::MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                               const std::string& title) {
    if (buttons != MsgButtons::OK && answers_.empty())
        Unanswered("answer", Useful::SplitLines(text));
    out_ << "MSGBOX " << IconName(icon) << " " << ButtonsName(buttons) << " " << title << "\n";
    PrintLines(text);
    if (buttons == MsgButtons::OK)
        return MsgResult::OK;
    const std::string answer = answers_.front();
    answers_.pop_front();
    out_ << "ANSWER " << answer << "\n";
    if (answer == "Yes")
        return MsgResult::Yes;
    if (answer == "No")
        return MsgResult::No;
    return MsgResult::Cancel;
}

std::string ScriptDriver::InputBox(const std::string& prompt, const std::string& title,
                                   const std::string&) {
    if (inputs_.empty())
        Unanswered("input", Useful::SplitLines(prompt));
    out_ << "INPUTBOX " << title << "\n";
    PrintLines(prompt);
    const std::string answer = inputs_.front();
    inputs_.pop_front();
    out_ << (answer.empty() ? "ANSWER" : "ANSWER " + answer) << "\n";
    return answer;
}

void ScriptDriver::ShowFileDialog(const char* kind) {
    if (files_.empty())
        Unanswered("file", {DialogTitle});
    out_ << "FILEDIALOG " << kind << " " << DialogTitle << "\n";
    FileName = files_.front();
    files_.pop_front();
    out_ << (FileName.empty() ? "ANSWER" : "ANSWER " + FileName) << "\n";
}

void ScriptDriver::ShowOpen() {
    ShowFileDialog("open");
}
void ScriptDriver::ShowSave() {
    ShowFileDialog("save");
}

void ScriptDriver::Launch(const std::string& program) {
    // Starts nothing, but a game that the desktop could not start must fail here too,
    // so that scripts see what the user would.
    NativeLauncher::CommandFor(program);
    out_ << "LAUNCH " << program << "\n";
}

std::vector<std::string> ScriptDriver::CommandNames() {
    std::vector<std::string> names;
    for (const CommandSpec& entry : Commands())
        names.push_back(entry.Name);
    return names;
}
