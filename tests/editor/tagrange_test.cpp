#include "editor/tagrange.h"

#include <QFile>

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
        { "< far back, > far ahead", QStringLiteral("<a><") + QString(300'000, u'x') + u'>',
            200'000, QStringLiteral("<") + QString(300'000, u'x') + u'>' },
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

TEST(TagHint, NameOfALongRangeReadsOnlyWhatItNeeds)
{
    const QString tail = QString(100'000, u'x') + u'>';
    const QString rows[] = { QStringLiteral("<td ") + tail, QStringLiteral("</td\n") + tail,
        QStringLiteral("<") + QString(254, u'n') + u' ' + tail,
        QStringLiteral("</") + QString(253, u'n') + u' ' + tail, QStringLiteral("<") + tail };
    for (const QString &text : rows) {
        qsizetype read = 0;
        const TextFetch fetch = [&](qsizetype from, qsizetype length) {
            read += length;
            return text.mid(from, length);
        };
        const QString name = locatedTagName(fetch, { 0, text.size() });
        EXPECT_EQ(name, tagHintName(text)) << name.size();
        if (name.size() < 100) {
            EXPECT_LT(read, 1000) << name.size();
        }
    }
}

// The shipped table has a hint for every HTML 4 element and the common HTML5 ones, each
// starting with "<" so that Shift+F1 can put it into the text.
TEST(TagHint, ShippedTableCoversTheElements)
{
    QFile file(QStringLiteral(FOLIOSCOPE_SOURCE_DIR "/data/tagsyntax.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList table = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const char *const elements[] = { "a", "abbr", "acronym", "address", "applet", "area", "b",
        "base", "basefont", "bdo", "big", "blockquote", "body", "br", "button", "caption", "center",
        "cite", "code", "col", "colgroup", "dd", "del", "dfn", "dir", "div", "dl", "dt", "em",
        "fieldset", "font", "form", "frame", "frameset", "h1", "h2", "h3", "h4", "h5", "h6", "head",
        "hr", "html", "i", "iframe", "img", "input", "ins", "isindex", "kbd", "label", "legend",
        "li", "link", "map", "menu", "meta", "noframes", "noscript", "object", "ol", "optgroup",
        "option", "p", "param", "pre", "q", "s", "samp", "script", "select", "small", "span",
        "strike", "strong", "style", "sub", "sup", "table", "tbody", "td", "textarea", "tfoot",
        "th", "thead", "title", "tr", "tt", "u", "ul", "var", "article", "aside", "audio", "canvas",
        "details", "figure", "footer", "header", "main", "mark", "nav", "section", "source",
        "summary", "time", "video" };
    for (const char *element : elements) {
        const QString located = QStringLiteral("</") + QLatin1String(element) + u" x=1>";
        const QString name = tagHintName(located);
        EXPECT_TRUE(lookupTagHint(table, name).startsWith(u'<')) << element;
    }
}
