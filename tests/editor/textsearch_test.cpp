#include "editor/textsearch.h"

#include <gtest/gtest.h>

using namespace editor;

TEST(FindForward, Options)
{
    struct Row {
        const char *name;
        const char16_t *text;
        qsizetype from;
        const char16_t *what;
        SearchOptions options;
        qsizetype expected;
    };
    const Row rows[] = {
        { "ignoring case", u"xABx", 0, u"ab", {}, 1 },
        { "matching case", u"xABx ab", 0, u"ab", { true, false }, 5 },
        { "from the end of a selection", u"abab", 1, u"ab", {}, 2 },
        { "no wrap", u"abab", 3, u"ab", {}, -1 },
        { "whole word skips inside words", u"cat concat cat_ cat.", 1, u"cat", { false, true },
            16 },
        { "whole word at the start", u"cat", 0, u"cat", { false, true }, 0 },
        { "empty search text", u"abc", 0, u"", {}, -1 },
    };
    for (const Row &row : rows) {
        EXPECT_EQ(findForward(QStringView(row.text), row.from, QStringView(row.what), row.options),
            row.expected)
            << row.name;
    }
}

TEST(OccurrencesFrom, ReplaceAllGoesOnAfterEachOccurrence)
{
    EXPECT_EQ(occurrencesFrom(u"aaaa", 0, u"a", {}), (QList<qsizetype> { 0, 1, 2, 3 }));
    EXPECT_EQ(occurrencesFrom(u"aaaa", 0, u"aa", {}), (QList<qsizetype> { 0, 2 }));
    EXPECT_EQ(occurrencesFrom(u"abab", 1, u"ab", {}), (QList<qsizetype> { 2 }));
}
