#include "editor/textspot.h"

#include <gtest/gtest.h>

using namespace editor;

TEST(SpanNear, FindsTheReportedTextOnItsLine)
{
    struct Row {
        const char *name;
        const char16_t *text;
        int line;
        int column;
        const char16_t *expected;
        qsizetype start;
        qsizetype length;
    };
    const Row rows[] = {
        { "at its column", u"a\n<a href=\"x.htm\">", 2, 10, u"x.htm", 11, 5 },
        { "column counted in bytes", u"\u00e9\u00e9<img src=\"p.png\">", 1, 15, u"p.png", 12, 5 },
        { "nearest of two", u"x x x", 1, 5, u"x", 4, 1 },
        { "not on another line", u"x\ny", 2, 1, u"x", 2, 0 },
        { "text not there", u"abc", 1, 2, u"zz", 1, 0 },
        { "line past the end", u"ab\ncd", 9, 1, u"cd", 3, 2 },
        { "column past the line", u"ab\ncd", 1, 50, u"", 2, 0 },
        { "column before the line", u"ab\ncd", 2, -3, u"", 3, 0 },
    };
    for (const Row &row : rows) {
        const TextSpan span = spanNear(
            QString::fromUtf16(row.text), row.line, row.column, QString::fromUtf16(row.expected));
        EXPECT_EQ(span.start, row.start) << row.name;
        EXPECT_EQ(span.length, row.length) << row.name;
    }
}
