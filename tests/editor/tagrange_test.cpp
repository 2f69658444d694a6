#include "editor/tagrange.h"

#include <gtest/gtest.h>

using namespace editor;

TEST(LocateTagAroundCaret, Ranges)
{
    struct Row {
        const char *name;
        QString text;
        qsizetype caret;
        QString expected; // empty: no range
    };
    const QString page = QStringLiteral("<p>text <b class=x>bold</b>");
    const Row rows[] = {
        { "inside a tag", page, 12, QStringLiteral("<b class=x>") },
        { "just after <", page, 9, QStringLiteral("<b class=x>") },
        { "on the >", page, 18, QStringLiteral("<b class=x>") },
        { "text between tags", page, 5, QStringLiteral(">text <b class=x>").prepend(u"<p") },
        { "before the first <", page, 0, QString() },
        { "after the last >", page, page.size(), QString() },
        { "no > after", QStringLiteral("<a href"), 4, QString() },
        { "< beyond one block back", QStringLiteral("<") + QString(300, u'x') + u'>', 250,
            QStringLiteral("<") + QString(300, u'x') + u'>' },
    };
    for (const Row &row : rows) {
        const TextRange range = locateTagAroundCaret(row.text, row.caret);
        const QString found = range.isValid() ? row.text.mid(range.start, range.length) : QString();
        EXPECT_EQ(found, row.expected) << row.name;
    }
}

TEST(LocateTagAroundCaret, LooksAtMostAMillionCharactersEachWay)
{
    const QString farBack = QStringLiteral("<") + QString(kTagSearchLimit, u'x') + u'>';
    EXPECT_FALSE(locateTagAroundCaret(farBack, kTagSearchLimit + 1).isValid());
    EXPECT_TRUE(locateTagAroundCaret(farBack, kTagSearchLimit).isValid());
    const QString farAhead = QStringLiteral("<") + QString(kTagSearchLimit, u'x') + u'>';
    EXPECT_FALSE(locateTagAroundCaret(farAhead, 1).isValid());
    EXPECT_TRUE(locateTagAroundCaret(farAhead, 2).isValid());
}

TEST(TagHint, NamesAndLookup)
{
    const QStringList table = { QStringLiteral("<TABLE> <TABLE ...> : <TABLE border=n>  a table "),
        QStringLiteral("<TD> cell: <TD align=...>"), QStringLiteral("<TD> second: never used"),
        QStringLiteral("<BR> no colon") };
    struct Row {
        const char *located;
        const char *name;
        const char *hint;
    };
    const Row rows[] = {
        { "</table border=1>", "<table>", "<TABLE border=n>  a table" },
        { "<table>", "<table>", "<TABLE border=n>  a table" },
        { "<td align=center>", "<td>", "<TD align=...>" },
        { "</td>", "<td>", "<TD align=...>" },
        { "<b>text</td>", "<b>", "" },
        { "<tablex>", "<tablex>", "" },
        { "<br>", "<br>", "" },
        { "<td\nalign=x>", "<td>", "<TD align=...>" },
    };
    for (const Row &row : rows) {
        const QString name = tagHintName(QString::fromLatin1(row.located));
        EXPECT_EQ(name, QString::fromLatin1(row.name)) << row.located;
        EXPECT_EQ(lookupTagHint(table, name), QString::fromLatin1(row.hint)) << row.located;
    }
    const QStringList longLine = { QStringLiteral("<P>:") + QString(2000, u'y') };
    EXPECT_EQ(lookupTagHint(longLine, QStringLiteral("<p>")).size(), 1000);
}
