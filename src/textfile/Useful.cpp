#include "Useful.h"

#include "QuillonError.h"

namespace Useful {

void AppendLine(std::string& Text, const std::string& Line) {
    if (Text.empty())
        Text = Line;
    else
        Text += CrLf + Line;
}

std::string YesNo(bool Flag) {
    return Flag ? "Yes" : "No";
}

bool ParseBool(const std::string& Text) {
    if (Text.empty())
        return true;
    char first = Text[0];
    if (first >= 'A' && first <= 'Z')
        first = static_cast<char>(first - 'A' + 'a');
    return !(first == 'n' || first == 'f' || first == '0');
}

std::string TrimValue(const std::string& Value) {
    std::size_t start = Value.find_first_not_of(' ');
    if (start == std::string::npos)
        return "";
    std::size_t end = Value.find_last_not_of(' ');
    return Value.substr(start, end - start + 1);
}

std::string TrimValue(long Value) {
    return std::to_string(Value);
}

std::string TrimWhiteSpace(const std::string& Text) {
    std::size_t start = 0;
    while (start < Text.size() && IsWhiteSpace(Text[start]))
        ++start;
    std::size_t end = Text.size();
    while (end > start && IsWhiteSpace(Text[end - 1]))
        --end;
    return Text.substr(start, end - start);
}

long MinOf(long A, long B) {
    return A < B ? A : B;
}
long MinOf(long A, long B, long C) {
    return MinOf(MinOf(A, B), C);
}
long MaxOf(long A, long B) {
    return A > B ? A : B;
}
long MaxOf(long A, long B, long C) {
    return MaxOf(MaxOf(A, B), C);
}

long LastPosition(const std::string& Text, const std::string& Find) {
    if (Find.empty() || Find.size() > Text.size())
        return 0;
    std::size_t at = Text.rfind(Find);
    return at == std::string::npos ? 0 : static_cast<long>(at) + 1;
}

std::string TextBefore(const std::string& Text, const std::string& Separator) {
    std::size_t at = Text.find(Separator);
    return at == std::string::npos ? Text : Text.substr(0, at);
}

std::string TextAfter(const std::string& Text, const std::string& Separator) {
    std::size_t at = Text.find(Separator);
    return at == std::string::npos ? Text : Text.substr(at + Separator.size());
}

std::string TextBeforeLast(const std::string& Text, const std::string& Separator) {
    long at = LastPosition(Text, Separator);
    return at == 0 ? Text : Text.substr(0, static_cast<std::size_t>(at - 1));
}

std::string TextAfterLast(const std::string& Text, const std::string& Separator) {
    long at = LastPosition(Text, Separator);
    return at == 0 ? Text : Text.substr(static_cast<std::size_t>(at - 1) + Separator.size());
}

std::string PopFirst(std::string& Text, const std::string& Separator) {
    std::size_t at = Text.find(Separator);
    if (at == std::string::npos) {
        std::string all = Text;
        Text.clear();
        return all;
    }
    std::string first = Text.substr(0, at);
    Text.erase(0, at + Separator.size());
    return first;
}

std::string PopLast(std::string& Text, const std::string& Separator) {
    long at = LastPosition(Text, Separator);
    if (at == 0)
        throw QuillonError(PlatformError::InvalidArgument, "Useful",
                           "Invalid procedure call or argument");
    std::string last = Text.substr(static_cast<std::size_t>(at - 1) + Separator.size());
    Text.erase(static_cast<std::size_t>(at - 1));
    return last;
}

std::string ReplaceAll(const std::string& Text, const std::string& Find,
                       const std::string& Replacement) {
    if (Find.empty())
        throw QuillonError(PlatformError::InvalidArgument, "Useful",
                           "Invalid procedure call or argument");
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = Text.find(Find); at != std::string::npos; at = Text.find(Find, from)) {
        result.append(Text, from, at - from);
        result += Replacement;
        from = at + Find.size();
    }
    result.append(Text, from, std::string::npos);
    return result;
}

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = Text.find(CrLf); at != std::string::npos; at = Text.find(CrLf, start)) {
        lines.push_back(Text.substr(start, at - start));
        start = at + CrLf.size();
    }
    lines.push_back(Text.substr(start));
    return lines;
}

}  // namespace Useful
