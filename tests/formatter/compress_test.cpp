#include "stylefixture.h"

#include "formatter/compress.h"
#include "formatter/formatselection.h"

#include <gtest/gtest.h>

using namespace formatter;

namespace {

QString run(Style &style, const QString &source, FormatMode mode)
{
    return FormatSelection(style, source, QString(), mode);
}

} // namespace

TEST(CompressTokens, JoinsTokenLines)
{
    Style style = styleFrom("[B]\nTreatAsText=1\nTagOpen=<B>\nTagClose=</B>\n");
    EXPECT_EQ(run(style, QStringLiteral("<p>\n  Hello  <b>big</b>\n  world\n</p>\n<hr>"),
                  FormatMode::Compress),
        QStringLiteral("<P> Hello <B>big</B> world </P><HR>\r\n"));
}

TEST(CompressTokens, Comments)
{
    Style style = styleFrom({});
    const QString source = QStringLiteral("<p>a<!-- one\ntwo\nthree -->b</p>");
    EXPECT_EQ(run(style, source, FormatMode::Compress), QStringLiteral("<P>ab</P>\r\n"));
    style.options.doPurgeComments = false;
    EXPECT_EQ(run(style, source, FormatMode::Compress),
        QStringLiteral("<P>a<!-- one\r\ntwo\r\nthree -->b</P>\r\n"));
}

TEST(CompressTokens, BlocksStandApart)
{
    Style style = styleFrom({});
    EXPECT_EQ(run(style, QStringLiteral("<p>a\n<pre>\n x  \n</pre>\nb <td><br></td>"),
                  FormatMode::Compress),
        QStringLiteral("<P>a \r\n<pre>\r\n x  \r\n</pre>\r\nb \r\n<TD><BR></TD>\r\n"));
}

TEST(TrimSource, Rows)
{
    Style style = styleFrom({}, {}, "<TD>=1\n</TD>=1\n<b>=1\n<LI>=10\n</LI>=0\n<P>=junk\n");
    struct Row {
        const char *name;
        const char16_t *source;
        const char16_t *expected;
    };
    const Row rows[] = {
        { "cell over three lines", u"<td>\n    text\n</td>\n", u"<td>text</td>\r\n" },
        { "empty source", u"", u"" },
        { "lower-case key never matches", u"<b> x </b>", u"<b> x </b>\r\n" },
        { "value 10 is active", u"<li>\n x </li>", u"<li>x </li>\r\n" },
        { "junk value is inactive", u"<p> x </p>", u"<p> x </p>\r\n" },
        { "rest copied unchanged", u"<TD ALIGN=x> <!-- c --> </TD>\r\n<Pre>  </pre>",
            u"<TD ALIGN=x><!-- c --></TD>\r\n<Pre>  </pre>\r\n" },
        { "unclosed tag at the end", u"a  <td", u"a  <td\r\n" },
        { "lone CR splits lines", u"a\rb", u"a\r\nb\r\n" },
    };
    for (const Row &row : rows) {
        EXPECT_EQ(run(style, QString::fromUtf16(row.source), FormatMode::Trim),
            QString::fromUtf16(row.expected))
            << row.name;
    }
}
