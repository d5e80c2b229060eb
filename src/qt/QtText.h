#pragma once

#include <QString>
#include <string>

// The program's text is 8-bit in the system's code page; the widgets hold Unicode.
// Lines the program joins with CR LF are shown as the toolkit's line breaks.
namespace QtText {
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);
// The text with every CR LF (and lone CR) turned into a line break.
QString Lines(const std::string& text);
}  // namespace QtText
