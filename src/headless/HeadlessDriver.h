#pragma once

#include <deque>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Dialogs.h"

class HeadlessForm;
class ListView;
class HeadlessFormFactory;
class frmMain;

// Plays the user from a script against the in-memory windows and writes a
// transcript of what the program showed.
class ScriptDriver : public DialogService, public CommonDialog, public Launcher {
  public:
    ScriptDriver(std::istream& Script, std::ostream& Out, std::ostream& Err);
    ~ScriptDriver() override;

    // The usage text: how to start the driver and the script's commands.
    static std::string Usage();
    // The script's commands, in the order the usage lists them.
    static std::vector<std::string> CommandNames();

    // Runs the whole script; returns the exit status.
    int Run();
    // Takes script commands until the form is hidden.
    void RunModal(HeadlessForm& Form);

    MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                     const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void ShowOpen() override;
    void ShowSave() override;
    void Launch(const std::string& program) override;

  private:
    struct Command {
        int line;
        std::string name;
        std::string argument;
    };
    struct CommandSpec {
        const char* Name;
        const char* Argument;
        const char* Effect;
        void (ScriptDriver::*Run)(const Command& command);
    };
    static const std::vector<CommandSpec>& Commands();
    static const CommandSpec* FindCommand(const std::string& name);
    void CommandLineCommand(const Command& command);
    void AnswerCommand(const Command& command);
    void InputCommand(const Command& command);
    void FileCommand(const Command& command);
    void StartCommand(const Command& command);
    void CloseCommand(const Command& command);
    void ClickCommand(const Command& command);
    void SelectCommand(const Command& command);
    void DeselectCommand(const Command& command);
    void KeyCommand(const Command& command);
    void DblClickCommand(const Command& command);
    void SetCommand(const Command& command);
    void ShowCommand(const Command& command);
    ListView& ListNamed(const Command& command, const std::string& name);

    // Runs the next command; false at the end of the script.
    bool Step();
    void Execute(const Command& command);
    void Start();
    void CloseFront();
    HeadlessForm& Front();
    class Control& ControlNamed(const Command& command, const std::string& name);
    // A control the user acts on: one that is enabled.
    class Control& InputControl(const Command& command, const std::string& name);
    [[noreturn]] void ScriptError(const Command& command, const std::string& why);
    [[noreturn]] void Unanswered(const std::string& kind, const std::vector<std::string>& lines);
    void PrintLines(const std::string& text);
    // Reports an error that ended the program; returns the exit status.
    int Fatal(long number, const std::string& source, const std::string& description);
    void ShowFileDialog(const char* kind);
    void EndProgram();

    std::ostream& out_;
    std::ostream& err_;
    std::vector<Command> commands_;
    std::size_t next_ = 0;
    std::string commandLine_;
    std::deque<std::string> answers_;
    std::deque<std::string> inputs_;
    std::deque<std::string> files_;
    std::unique_ptr<HeadlessFormFactory> factory_;
    std::unique_ptr<frmMain> main_;
    std::vector<HeadlessForm*> modal_;
    bool started_ = false;
};
