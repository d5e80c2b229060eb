#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FileReference.h"

class FileInterface;

// The token file: the program's only way to read and write text files. One instance
// is bound to one file at a time and holds at most one open file. Read splits lines
// into tokens at the delimiter characters, gathers comments aside and reports the end
// of the file by returning the comment marker.
class FileAccess {
  public:
    FileAccess() = default;
    ~FileAccess();
    FileAccess(const FileAccess&) = delete;
    FileAccess& operator=(const FileAccess&) = delete;

    const std::string& CommentChar() const { return commentChar_; }
    const std::string& DelimiterChar() const { return delimiterChar_; }
    const std::string& DelimiterCharRight() const { return delimiterCharRight_; }
    const std::string& DelimiterCharLeft() const { return delimiterCharLeft_; }
    // True when no file is bound.
    bool FileAbsent() const;
    std::string FileName() const;
    // "" when no file is bound.
    std::string Path() const;
    long LineNumber() const { return lineNumber_; }
    // The gathered comment text; fetching it empties it.
    std::string Comment();
    bool EOfF() const;
    bool FileOpen() const { return input_ || output_; }
    const FileReference* Reference() const { return fileReference_.get(); }

    void Delete();
    void CloseFile();
    void OpenFileForInput();
    void OpenFileForOutput();
    void OpenFileForAppend();
    // Binds to a file by name. An empty Path keeps the bound file's folder, else
    // takes the interface's current folder; the folder used is written back.
    void SetFileByName(const std::string& FileName, std::string& Path,
                       FileInterface* NewFileInterface = nullptr);
    void SetFileByName(const std::string& FileName, const std::string& Path,
                       FileInterface* NewFileInterface = nullptr);
    void SetFileByReference(const FileReference& NewFileRef);
    void SetFileToTemp(FileInterface* NewFileInterface = nullptr);
    void CopyInto(FileAccess& Into, bool Force);
    void CopyFromReference(const FileReference& From, bool Force);
    void CopyToString(std::string& IntoString);

    std::string Read();
    // Read's token where it stands: valid until the file is closed or set up again.
    std::string_view ReadToken();
    bool ReadBool();
    std::string ReadLine();
    void WriteLine(const std::string& Line);
    void WriteWord(const std::string& Word);

    void Setup(const std::string& NewCommentChar, const std::string& NewDelimiterChar,
               const std::string& NewDelimiterCharRight, const std::string& NewDelimiterCharLeft,
               int NewFN);

  private:
    void UseInterface(FileInterface* NewFileInterface);
    const FileReference& Bound() const;
    void RemoveComments();
    void ForgetDelimiters();

    std::string commentChar_;
    std::string delimiterChar_;
    std::string delimiterCharRight_;
    std::string delimiterCharLeft_;
    int fileNumber_ = 0;
    FileInterface* fileInterface_ = nullptr;
    std::unique_ptr<FileReference> fileReference_;
    // The line being read (within the open file's text) and where its pending text
    // starts.
    std::string_view line_;
    std::size_t lineStart_ = 0;
    // Per delimiter character (those of DelimiterChar, then Right, then Left): where it
    // next occurs in line_, npos when it does not, kNotSought before a search.
    static constexpr std::size_t kNotSought = std::string::npos - 1;
    std::vector<std::size_t> nextDelimiters_;
    long lineNumber_ = 0;
    std::string comment_;
    std::unique_ptr<NativeFs::InputFile> input_;
    std::unique_ptr<NativeFs::OutputFile> output_;
    // Errors under way when the output was opened: more at destruction means the
    // writer was cut short.
    int outputExceptions_ = 0;
};
