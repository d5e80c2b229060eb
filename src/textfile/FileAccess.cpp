#include "FileAccess.h"

#include <algorithm>
#include <exception>

#include "FileInterface.h"
#include "QuillonError.h"
#include "Useful.h"

namespace {
const char* const kSource = "FileAccess";

[[noreturn]] void BadFileMode() {
    throw QuillonError(PlatformError::BadFileMode, "Platform", "Bad file mode");
}

// Useful::TrimWhiteSpace and Useful::TrimValue on a part of a line, which stays where
// it is: a token is copied once, when it is handed out.
std::string_view TrimmedWhiteSpace(std::string_view text) {
    while (!text.empty() && Useful::IsWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && Useful::IsWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimmedValue(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(' ') - start + 1);
}
}  // namespace

FileAccess::~FileAccess() {
    try {
        CloseFile();
    } catch (...) {
        // A destructor cannot report; the file layer leaves the old file whole.
    }
}

bool FileAccess::FileAbsent() const {
    return !fileReference_ || fileReference_->FileAbsent();
}

std::string FileAccess::FileName() const {
    return fileReference_ ? fileReference_->FileName() : "";
}

std::string FileAccess::Path() const {
    return fileReference_ ? fileReference_->Path() : "";
}

const FileReference& FileAccess::Bound() const {
    if (!fileReference_)
        throw QuillonError(FileError::OpenBeforeSetup, kSource, "Attempted file open before setup");
    return *fileReference_;
}

std::string FileAccess::Comment() {
    std::string comment;
    comment.swap(comment_);
    return comment;
}

bool FileAccess::EOfF() const {
    if (!FileOpen())
        throw QuillonError(FileError::EndOfFileBeforeOpen, kSource,
                           "Attempted end of file check before file open");
    return !input_ || input_->AtEnd();
}

void FileAccess::Delete() {
    CloseFile();
    Bound().Delete();
}

void FileAccess::CloseFile() {
    line_ = {};
    lineStart_ = 0;
    comment_.clear();
    input_.reset();
    if (output_) {
        std::unique_ptr<NativeFs::OutputFile> output = std::move(output_);
        // Closed while an error raised since the open unwinds (by a destructor or a
        // guard): the unfinished file is dropped, so the old one stays whole.
        if (std::uncaught_exceptions() > outputExceptions_)
            return;
        output->Close();
    }
}

void FileAccess::OpenFileForInput() {
    if (FileName().empty())
        throw QuillonError(FileError::OpenBeforeSetup, kSource, "Attempted file open before setup");
    CloseFile();
    ++fileNumber_;
    input_ = fileReference_->OpenFileForInput();
    lineNumber_ = 0;
}

void FileAccess::OpenFileForOutput() {
    if (FileName().empty())
        throw QuillonError(FileError::OpenBeforeSetup, kSource, "Attempted file open before setup");
    CloseFile();
    ++fileNumber_;
    outputExceptions_ = std::uncaught_exceptions();
    output_ = fileReference_->OpenFileForOutput();
}

void FileAccess::OpenFileForAppend() {
    if (FileName().empty())
        throw QuillonError(FileError::OpenBeforeSetup, kSource, "Attempted file open before setup");
    CloseFile();
    ++fileNumber_;
    outputExceptions_ = std::uncaught_exceptions();
    output_ = fileReference_->OpenFileForAppend();
}

void FileAccess::UseInterface(FileInterface* NewFileInterface) {
    if (NewFileInterface)
        fileInterface_ = NewFileInterface;
    else if (!fileInterface_)
        throw QuillonError(FileError::NoInterfaceForAccess, kSource,
                           "Failed to provide interface when initializing FileAccess");
}

void FileAccess::SetFileByName(const std::string& FileName, std::string& Path,
                               FileInterface* NewFileInterface) {
    UseInterface(NewFileInterface);
    CloseFile();
    if (Path.empty() && fileReference_)
        Path = fileReference_->Path();
    if (Path.empty())
        Path = fileInterface_->CurrentPath();
    auto reference = std::make_unique<FileReference>();
    reference->Setup(Path, FileName, fileInterface_);
    fileReference_ = std::move(reference);
}

void FileAccess::SetFileByName(const std::string& FileName, const std::string& Path,
                               FileInterface* NewFileInterface) {
    std::string path = Path;
    SetFileByName(FileName, path, NewFileInterface);
}

void FileAccess::SetFileByReference(const FileReference& NewFileRef) {
    CloseFile();
    auto reference = std::make_unique<FileReference>();
    reference->CopySetup(NewFileRef);
    fileInterface_ = reference->GetFileInterface();
    fileReference_ = std::move(reference);
}

void FileAccess::SetFileToTemp(FileInterface* NewFileInterface) {
    UseInterface(NewFileInterface);
    CloseFile();
    auto reference = std::make_unique<FileReference>();
    reference->Setup(fileInterface_->TempPath(), "temp.tmp", fileInterface_);
    fileReference_ = std::move(reference);
}

void FileAccess::CopyInto(FileAccess& Into, bool Force) {
    CloseFile();
    Bound().CopyIntoAccess(Into, Force);
}

void FileAccess::CopyFromReference(const FileReference& From, bool Force) {
    CloseFile();
    From.CopyIntoReference(Bound(), Force);
}

void FileAccess::CopyToString(std::string& IntoString) {
    IntoString.clear();
    OpenFileForInput();
    while (!EOfF())
        IntoString += ReadLine() + Useful::CrLf;
    CloseFile();
    if (IntoString.size() > 1)
        IntoString.erase(IntoString.size() - 2);
}

void FileAccess::ForgetDelimiters() {
    nextDelimiters_.assign(
        delimiterChar_.size() + delimiterCharRight_.size() + delimiterCharLeft_.size(), kNotSought);
}

void FileAccess::RemoveComments() {
    // Most lines hold no marker character at all: one search for each character that
    // starts a marker (find_first_of would search the set at every character).
    bool marked = false;
    for (std::size_t i = 0; i < commentChar_.size() && !marked; ++i)
        marked = (i == 0 || commentChar_[i] != commentChar_[i - 1]) &&
                 line_.find(commentChar_[i]) != std::string_view::npos;
    if (!marked)
        return;
    std::string gathered;
    // The marker text is cut into runs of one repeated character, each a marker.
    std::size_t start = 0;
    while (start < commentChar_.size()) {
        std::size_t end = start + 1;
        while (end < commentChar_.size() && commentChar_[end] == commentChar_[start])
            ++end;
        const std::string_view marker = std::string_view(commentChar_).substr(start, end - start);
        start = end;
        std::size_t at = line_.find(marker);
        if (at == std::string_view::npos)
            continue;
        // The marker keeps what follows it as written: "Key // note" gathers "// note".
        gathered += TrimmedWhiteSpace(line_.substr(at));
        line_ = TrimmedWhiteSpace(line_.substr(0, at));
    }
    if (!gathered.empty())
        Useful::AppendLine(comment_, gathered);
}

std::string FileAccess::Read() {
    return std::string(ReadToken());
}

std::string_view FileAccess::ReadToken() {
    if (!FileOpen())
        throw QuillonError(FileError::ReadBeforeOpen, kSource,
                           "Attempted file read before file open");
    // A file open for writing has nothing to read; its end is no answer.
    if (!input_)
        BadFileMode();
    for (;;) {
        while (lineStart_ >= line_.size()) {
            if (input_->AtEnd())
                return commentChar_;
            line_ = TrimmedWhiteSpace(input_->ReadLine());
            lineStart_ = 0;
            ForgetDelimiters();
            ++lineNumber_;
            if (!line_.empty())
                RemoveComments();
        }
        // The pending text is the rest of the line from lineStart_. Tokens are taken
        // from it in place, and each delimiter's next occurrence is sought again only
        // once the reader has passed it: a line of a million tokens is read in one pass
        // over it, not in a million.
        const std::size_t size = line_.size() - lineStart_;
        std::size_t delimiter = 0;
        // 1-based position in the pending text of the first occurrence of the next
        // delimiter character, 0 when it has none left.
        auto position = [&](char c) -> std::size_t {
            std::size_t& at = nextDelimiters_[delimiter++];
            if (at == kNotSought || (at != std::string_view::npos && at < lineStart_))
                at = line_.find(c, lineStart_);
            return at == std::string_view::npos ? 0 : at - lineStart_ + 1;
        };
        // 1-based positions, as the token rules are stated.
        std::size_t length = size + 1;
        std::size_t next = size + 1;
        bool hit = false;
        for (char c : delimiterChar_) {
            const std::size_t p = position(c);
            if (p > 0 && p <= length) {
                length = p - 1;
                next = p + 1;
                hit = true;
            }
        }
        for (char c : delimiterCharRight_) {
            const std::size_t p = position(c);
            if (p > 0 && p <= length) {
                length = p;
                next = p + 1;
                hit = true;
            }
        }
        for (char c : delimiterCharLeft_) {
            const std::size_t p = position(c);
            if (p > 1 && p < length) {
                length = p - 1;
                next = p;
                hit = true;
            }
        }
        std::string_view token;
        if (hit) {
            token = TrimmedWhiteSpace(line_.substr(lineStart_, std::min(length, size)));
            lineStart_ += std::min(next - 1, size);
        } else {
            token = TrimmedValue(line_.substr(lineStart_));
            lineStart_ = line_.size();
        }
        if (!token.empty())
            return token;
    }
}

bool FileAccess::ReadBool() {
    return Useful::ParseBool(Read());
}

std::string FileAccess::ReadLine() {
    if (!input_)
        BadFileMode();
    if (input_->AtEnd())
        return "";
    ++lineNumber_;
    return std::string(input_->ReadLine());
}

void FileAccess::WriteLine(const std::string& Line) {
    WriteWord(Line + Useful::CrLf);
}

void FileAccess::WriteWord(const std::string& Word) {
    if (!output_)
        BadFileMode();
    output_->Write(Word);
}

void FileAccess::Setup(const std::string& NewCommentChar, const std::string& NewDelimiterChar,
                       const std::string& NewDelimiterCharRight,
                       const std::string& NewDelimiterCharLeft, int NewFN) {
    if (NewFN < 0)
        throw QuillonError(FileError::InvalidSetupArgument, kSource,
                           "Invalid argument supplied to FileAccessSetup");
    commentChar_ = NewCommentChar;
    delimiterChar_ = NewDelimiterChar;
    delimiterCharRight_ = NewDelimiterCharRight;
    delimiterCharLeft_ = NewDelimiterCharLeft;
    // A line under way is read on by the new rules.
    ForgetDelimiters();
    fileNumber_ = NewFN >= 1 ? NewFN : fileNumber_;
}
