#include "platform/textrules.h"

#include <gtest/gtest.h>

TEST(TextRules, ReplaceEveryIgnoringCase)
{
    struct Row {
        const char *name;
        const char *text;
        const char *from;
        const char *to;
        const char *expected;
    };
    const Row rows[] = {
        {"every occurrence", "a=b=c", "=", "\\", "a\\b\\c"},
        {"letter case ignored", "C:\\Tools\\fs\\thumbs\\x", "c:\\TOOLS\\FS\\THUMBS\\", "", "x"},
        {"left to right, no overlap", "===", "==", ":", ":="},
        {"replacement not rescanned", "ab", "a", "aa", "aab"},
        {"replacement forming a new hit", "a==b", "=", "==", "a====b"},
        {"empty pattern changes nothing", "abc", "", "x", "abc"},
        {"no hit", "abc", "d", "x", "abc"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::replaceEveryIgnoringCase(QString::fromUtf8(row.text),
                                                     QString::fromUtf8(row.from),
                                                     QString::fromUtf8(row.to)),
                  QString::fromUtf8(row.expected))
            << row.name;
}
