#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Dialogs.h"

// A dialog service for tests: it records every message box and input box and
// answers from queues. An empty queue answers OK for an OK box, No for a question
// and "" (cancelled) for an input box or a folder dialog. It installs itself for its lifetime and
// puts back the service it replaced.
class RecordingDialogs : public DialogService {
  public:
    struct Box {
        std::string Text;
        MsgIcon Icon;
        MsgButtons Buttons;
        std::string Title;
    };
    struct Input {
        std::string Prompt;
        std::string Title;
        std::string DefaultText;
    };
    struct FolderRequest {
        std::string Title;
        std::string StartFolder;
    };

    RecordingDialogs();
    ~RecordingDialogs() override;
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    MsgResult MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                     const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string BrowseForFolder(const std::string& title, const std::string& startFolder) override;

    std::deque<MsgResult> Answers;
    std::deque<std::string> InputAnswers;
    std::vector<Box> Boxes;
    std::vector<Input> Inputs;
    std::deque<std::string> FolderAnswers;
    std::vector<FolderRequest> Folders;

  private:
    DialogService* previous_;
};

// A file dialog that answers from a queue (empty: cancelled).
class QueuedFileDialog : public CommonDialog {
  public:
    void ShowOpen() override { Answer(); }
    void ShowSave() override { Answer(); }
    std::deque<std::string> Files;
    std::vector<std::string> Titles;

  private:
    void Answer();
};

// A launcher that only notes what it was asked to start.
class RecordingLauncher : public Launcher {
  public:
    void Launch(const std::string& program) override { Started.push_back(program); }
    std::vector<std::string> Started;
};
