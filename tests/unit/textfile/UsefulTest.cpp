#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuillonError.h"
#include "Useful.h"

using namespace Useful;

TEST(Useful, SplittingAtTheFirstAndLastSeparator) {
    const std::string backup = "orig_Great_Library.txt";
    EXPECT_EQ(TextAfter(backup, "_"), "Great_Library.txt");
    EXPECT_EQ(TextAfterLast(backup, "_"), "Library.txt");
    EXPECT_EQ(TextBeforeLast(backup, "_"), "orig_Great");
    EXPECT_EQ(TextBefore(backup, "_"), "orig");
    // Separators longer than one character, and absent ones, which give the whole text.
    EXPECT_EQ(TextAfter("a--b--c", "--"), "b--c");
    EXPECT_EQ(TextBeforeLast("a--b--c", "--"), "a--b");
    for (auto split : {TextBefore, TextAfter, TextBeforeLast, TextAfterLast})
        EXPECT_EQ(split("no separator", "_"), "no separator");
    // Overlapping occurrences: the last one starts one character later.
    EXPECT_EQ(LastPosition("aaa", "aa"), 2);
    EXPECT_EQ(LastPosition("abc", "x"), 0);
    EXPECT_EQ(LastPosition("ab", "abc"), 0);
    // The match is exact: letter case counts.
    EXPECT_EQ(TextAfter("PathXpathxrest", "x"), "rest");
}

TEST(Useful, LinesAreSplitAtCrLfOnly) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{""});
    EXPECT_EQ(SplitLines("a\r\nb"), (Lines{"a", "b"}));
    // A closing CR LF leaves an empty last line; a lone CR or LF splits nothing.
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", "", ""}));
    EXPECT_EQ(SplitLines("a\rb\nc"), Lines{"a\rb\nc"});
}

TEST(Useful, PoppingTakesAPartOffTheText) {
    std::string line = "-path C:\\x";
    EXPECT_EQ(PopFirst(line, " "), "-path");
    EXPECT_EQ(line, "C:\\x");
    EXPECT_EQ(PopFirst(line, " "), "C:\\x");
    EXPECT_EQ(line, "");

    std::string path = "mods\\big\\file.txt";
    EXPECT_EQ(PopLast(path, "\\"), "file.txt");
    EXPECT_EQ(path, "mods\\big");
    std::string single = "file.txt";
    try {
        PopLast(single, "\\");
        ADD_FAILURE() << "PopLast without the separator must fail";
    } catch (const QuillonError& e) {
        EXPECT_EQ(e.Number, PlatformError::InvalidArgument);
    }
    EXPECT_EQ(single, "file.txt");
}

TEST(Useful, ReplaceAllDoesNotScanWhatItInserted) {
    EXPECT_EQ(ReplaceAll("%d\\a", "%d", "%d\\x"), "%d\\x\\a");
    EXPECT_EQ(ReplaceAll("%l%l-%l", "%l", "english"), "englishenglish-english");
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("none", "%d", "x"), "none");
    EXPECT_THROW(ReplaceAll("text", "", "x"), QuillonError);
}

TEST(Useful, FlagsAreReadLeniently) {
    for (const char* text : {"", "Yes", "True", "1", "2", "yes", "//", " no"})
        EXPECT_TRUE(ParseBool(text)) << '"' << text << '"';
    for (const char* text : {"No", "no", "False", "f", "0", "0x1", "Nonsense"})
        EXPECT_FALSE(ParseBool(text)) << '"' << text << '"';
    EXPECT_EQ(YesNo(true), "Yes");
    EXPECT_EQ(YesNo(false), "No");
    EXPECT_TRUE(ParseBool(YesNo(true)));
    EXPECT_FALSE(ParseBool(YesNo(false)));
}

TEST(Useful, TrimmingKnowsWhatWhiteSpaceIs) {
    EXPECT_EQ(TrimWhiteSpace(" \r\n\tKey\tValue\t \r\n"), "\tKey\tValue\t");
    EXPECT_EQ(TrimWhiteSpace(" \r\n "), "");
    EXPECT_EQ(TrimValue("  a b \t "), "a b \t");
    EXPECT_EQ(TrimValue("\r a \r"), "\r a \r");
    EXPECT_EQ(TrimValue(-12), "-12");
    EXPECT_EQ(TrimValue(7), "7");

    std::string text;
    AppendLine(text, "first");
    EXPECT_EQ(text, "first");
    AppendLine(text, "");
    AppendLine(text, "third");
    EXPECT_EQ(text, "first\r\n\r\nthird");
}

TEST(Useful, MinOfAndMaxOfClampNumbers) {
    EXPECT_EQ(MinOf(5, 3), 3);
    EXPECT_EQ(MaxOf(MinOf(40, 32), 2), 32);
    EXPECT_EQ(MinOf(-1, 0), -1);
    EXPECT_EQ(MaxOf(-1, -7), -1);
    EXPECT_EQ(MinOf(9, 4, 6), 4);
    EXPECT_EQ(MaxOf(9, 4, 16), 16);
}
