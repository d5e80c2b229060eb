#pragma once

#include <QString>
#include <string>

#include "Dialogs.h"

// The common file dialog as the toolkit's file dialog. The program's folders and
// file names use "\"; the dialog shows the system's own.
class QtCommonDialog : public CommonDialog {
  public:
    void ShowOpen() override;
    void ShowSave() override;

    // "description|pattern|..." pairs (patterns separated by ";") in the toolkit's
    // filter syntax ("description (pattern ...);;...").
    static QString ToolkitFilter(const std::string& filter);
    // A file name the dialog chose, in the program's form.
    static std::string ProgramFileName(const QString& chosen);

  private:
    void Show(bool save);
};
