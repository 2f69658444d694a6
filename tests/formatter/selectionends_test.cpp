#include "stylefixture.h"

#include "formatter/formatselection.h"

#include <gtest/gtest.h>

using namespace formatter;

namespace {

// The editor's "Format" on a selection, with fresh counters as after a start.
QString formatSelected(const QString &text, FormatMode mode)
{
    Style style = shippedStyle();
    return FormatSelection(style, text, SelectionIndent(text), mode);
}

// Formats each selection `runs` times before the run that must change nothing, and gives
// the cases that changed.
QStringList unstable(const QList<const char16_t *> &selections, FormatMode mode, int runs = 1)
{
    QStringList changed;
    for (const char16_t *selection : selections) {
        QString result = QString::fromUtf16(selection);
        for (int run = 0; run < runs; ++run)
            result = formatSelected(result, mode);
        if (formatSelected(result, mode) != result)
            changed << QString::fromUtf16(selection);
    }
    return changed;
}

} // namespace

// A selection may end anywhere, inside a tag or an open cell too: formatting the result a
// second time changes nothing.
TEST(SelectionEnds, FormattingAgainChangesNothing)
{
    const QList<const char16_t *> selections = {
        u"a <",
        u"<td>x",
        u"<p>one <b>two",
        u"a <!--",
        u"<table><tr><td>a</td><td>",
        u"x <a href=\"y",
        u"<pre> a\n  b",
        u"x <s",
        u"<td><i>",
        u"<td><img src=x>",
        u"x <td",
        u"a <b",
        u"1< b",
        u"<\nR",
        // The formatter's own comments, which every run drops and makes anew, amid text.
        u"abc<!--~x~-->def",
        u"x<!--~x~--><b>y</b>",
        u"<<!--~-->h",
        u"< <!--~-->/b",
        u"<<form",
        u"<<!--~a~--><!--~b~-->h",
        u" </td",
        u" <table ssd>\n",
        u"<td>\r</td",
        u"<td>< /td",
        u" <!--><",
    };
    EXPECT_EQ(unstable(selections, FormatMode::Format), QStringList());
    EXPECT_EQ(unstable(selections, FormatMode::Trim), QStringList());
    // Compress keeps the space after a text run's last word or tag, and the line break that
    // ends its result becomes such a space: only the second run's result stays as it is.
    EXPECT_EQ(unstable(selections, FormatMode::Compress, 2), QStringList());
}

// What the fixed ends become: a tag name cut by the end is closed, a tag with blanks after
// its "<" is taken as written without them, an open cell, whose end is unknown, is laid out
// as one that holds text, and a dropped comment of the formatter keeps words apart.
TEST(SelectionEnds, OpenEndsInFormat)
{
    const struct {
        const char16_t *selection;
        const char16_t *result;
    } rows[] = {
        { u"x <s", u"x <s>\r\n" },
        { u"x <s\n", u"x <s>\r\n" },
        { u"x <td", u"x\r\n<td>\r\n" },
        { u"<td><i>", u"<td>\r\n  <i>\r\n" },
        { u"<td><i></td>", u"<td><i></td>\r\n" },
        { u"1< B >2", u"1<b>2\r\n" },
        { u"abc<!--~x~-->def", u"abc def\r\n" },
    };
    for (const auto &row : rows) {
        EXPECT_EQ(formatSelected(QString::fromUtf16(row.selection), FormatMode::Format),
            QString::fromUtf16(row.result))
            << QString::fromUtf16(row.selection).toStdString();
    }
}
// A selection keeps the indentation of the line where what the run lays out begins: the blank
// line before a leading table, or a leading comment, which comes back at its own column, must
// not take it away on the next run.
TEST(SelectionEnds, IndentOfWhereTheLayoutBegins)
{
    const struct {
        const char16_t *selection;
        const char16_t *indent;
    } rows[] = {
        { u" \t<p>\n<b>", u" \t" },
        { u"\n  <p>", u"  " },
        { u" \r\n \t\n\t x", u"\t " },
        { u"   ", u"" },
        { u"", u"" },
        { u" \r x", u" " },
        { u" <!--a\n  b-->\n\t <p>", u"\t " },
        { u"  <!--x--><p>", u"  " },
        { u" <PRE>\n  x</pre>\n", u"" },
        { u"  <!--~x~-->\n <td>", u" " },
        { u"\t<  script>  </SCRIPT x> y", u"\t" },
        { u" <!-- never closed\n  x", u"" },
    };
    for (const auto &row : rows) {
        EXPECT_EQ(
            SelectionIndent(QString::fromUtf16(row.selection)), QString::fromUtf16(row.indent));
    }
    EXPECT_EQ(formatSelected(QStringLiteral(" <table ssd>\n"), FormatMode::Format),
        QStringLiteral("\r\n <!--~*********** Table #1 ***********~-->\r\n <table ssd>\r\n"));
}
