#include "HeadlessDriver.h"

#include <set>

#include "HeadlessControls.h"
#include "NativeLauncher.h"
#include "QuillonError.h"
#include "Useful.h"
#include "frmMain.h"

namespace {

// Ends the run with an exit status; nothing in the program catches it.
struct ScriptExit {
    int status;
};

const std::set<std::string> kCommands = {"commandline", "answer", "input",    "file", "start",
                                         "click",       "select", "deselect", "key",  "dblclick",
                                         "set",         "show",   "close"};

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
            if (!kCommands.count(command.name))
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
        out_ << "ERROR " << error.Number << " " << error.Source << "\n";
        PrintLines(error.Description);
        out_ << "END\n";
        out_.flush();
        return 1;
    }
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

void ScriptDriver::Execute(const Command& command) {
    const std::string& name = command.name;
    std::string target;
    std::string rest;
    SplitArgument(command.argument, target, rest);
    if (name == "commandline") {
        if (started_)
            ScriptError(command, "commandline after start");
        commandLine_ = command.argument;
    } else if (name == "answer") {
        answers_.push_back(command.argument);
    } else if (name == "input") {
        inputs_.push_back(command.argument);
    } else if (name == "file") {
        files_.push_back(command.argument);
    } else if (name == "start") {
        if (started_)
            ScriptError(command, "start twice");
        started_ = true;
        Start();
    } else if (name == "close") {
        if (!main_)
            ScriptError(command, "no window is shown before start");
        CloseFront();
    } else if (name == "click") {
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
    } else if (name == "select" || name == "deselect" || name == "key" || name == "dblclick") {
        auto* list = dynamic_cast<ListView*>(&InputControl(command, target));
        if (!list)
            ScriptError(command, target + " is not a list view");
        if (name == "select") {
            int index = list->FindKey(rest);
            if (index == 0)
                ScriptError(command, "no item of " + target + " has the key " + rest);
            list->Select(index);
            if (list->ItemClick)
                list->ItemClick(index);
        } else if (name == "deselect") {
            list->Select(0);
        } else if (name == "key") {
            if (rest != "Delete" && rest != "Enter")
                ScriptError(command, "a key is Delete or Enter");
            if (list->KeyUp)
                list->KeyUp(rest == "Delete" ? ListKey::Delete : ListKey::Enter);
        } else if (list->DblClick) {
            list->DblClick();
        }
    } else if (name == "set") {
        Control& control = InputControl(command, target);
        if (auto* upDown = dynamic_cast<UpDown*>(&control)) {
            int value = 0;
            try {
                std::size_t used = 0;
                value = std::stoi(rest, &used);
                if (used != rest.size())
                    throw std::invalid_argument(rest);
            } catch (const std::exception&) {
                ScriptError(command, "an up-down takes a whole number");
            }
            upDown->SetValue(value);
        } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
            if (!dynamic_cast<ShowableControl&>(control).HasEntry(rest))
                ScriptError(command, target + " has no entry " + rest);
            combo->SetText(rest);
            if (combo->Click)
                combo->Click();
        } else {
            ScriptError(command, target + " cannot be set");
        }
    } else if (name == "show") {
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
