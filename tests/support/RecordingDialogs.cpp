#include "RecordingDialogs.h"

RecordingDialogs::RecordingDialogs() : previous_(CurrentDialogService()) {
    SetDialogService(this);
}

RecordingDialogs::~RecordingDialogs() {
    SetDialogService(previous_);
}

MsgResult RecordingDialogs::MsgBox(const std::string& text, MsgIcon icon, MsgButtons buttons,
                                   const std::string& title) {
    Boxes.push_back(Box{text, icon, buttons, title});
    if (!Answers.empty()) {
        MsgResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::No;
}

namespace {
std::string NextOf(std::deque<std::string>& answers) {
    if (answers.empty())
        return "";
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
}
}  // namespace

std::string RecordingDialogs::InputBox(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) {
    Inputs.push_back(Input{prompt, title, defaultText});
    return NextOf(InputAnswers);
}

std::string RecordingDialogs::BrowseForFolder(const std::string& title,
                                              const std::string& startFolder) {
    Folders.push_back(FolderRequest{title, startFolder});
    return NextOf(FolderAnswers);
}

void QueuedFileDialog::Answer() {
    Titles.push_back(DialogTitle);
    FileName.clear();
    if (Files.empty())
        return;
    FileName = Files.front();
    Files.pop_front();
}
