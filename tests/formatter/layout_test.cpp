#include "stylefixture.h"

#include "formatter/formatselection.h"
#include "formatter/layout.h"

#include <gtest/gtest.h>

using namespace formatter;

namespace {

QString crlfLines(std::initializer_list<QStringView> lines)
{
    QString text;
    for (const QStringView line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// A section comment of CommentLength 40 with symbol "*": fill on both sides of the text.
QString starComment(const QString &indent, const QString &text)
{
    const QString fill((40 - text.size() - 10) / 2, QLatin1Char('*'));
    return indent + QStringLiteral("<!--~") + fill + QLatin1Char(' ') + text + QLatin1Char(' ')
        + fill + QStringLiteral("~-->");
}

QString format(Style &style, const QString &source, const QString &indent = QString())
{
    return FormatSelection(style, source, indent, FormatMode::Format);
}

const QByteArray kTableRule = "[TABLE]\nTagOpen=<TABLE>\nTagClose=</TABLE>\nisContentIndent=1\n";

} // namespace

TEST(FormatTokens, NoRulesKeepsTheSelectionIndent)
{
    Style style = styleFrom({}, "LineSize=10\n");
    EXPECT_EQ(format(style, QStringLiteral("<p>\n<div>one two three four</div>\r\n"),
                  QStringLiteral(" \t")),
        crlfLines({ u" \t<P>", u" \t<DIV>", u" \tone two", u" \tthree four", u" \t</DIV>" }));
}

TEST(FormatTokens, IndentationUnitsAndTabs)
{
    Style style = styleFrom(kTableRule
        + "[DIV]\nTagOpen=<DIV>\nTagClose=</DIV>\n"
          "isContentIndent=1\nisSelfIndent=1\n");
    EXPECT_EQ(format(style, QStringLiteral("<table><tr><table>x</table></tr></table>")),
        crlfLines({ u"<TABLE>", u"    <TR>", u"    <TABLE>", u"\tx", u"    </TABLE>", u"    </TR>",
            u"</TABLE>" }));
    // Closing tags never take the level below 0; the self indent counts before the tag.
    EXPECT_EQ(format(style, QStringLiteral("</div></table><div>x</div>y")),
        crlfLines({ u"</DIV>", u"</TABLE>", u"    <DIV>", u"\tx", u"    </DIV>", u"y" }));
}

TEST(FormatTokens, BlankLines)
{
    Style style = styleFrom("[H1]\nTagOpen=<H1>\nTagClose=</H1>\nCRLFLeading=3\n"
                            "[P]\nTagOpen=<P>\nTagClose=</P>\nCRLFLeading=1\nCRLFFollowed=2\n");
    EXPECT_EQ(format(style, QStringLiteral("<p>a</p><h1>b</h1>")),
        crlfLines({ u"<P>", u"a", u"</P>", u"", u"", u"", u"<H1>", u"b", u"</H1>" }));
}

TEST(FormatTokens, SectionCommentsAndCounters)
{
    Style style = styleFrom(kTableRule);
    RecTAGInfo &table = style.rules.rule(1);
    table.doGenerateSComment = table.doGenerateEComment = table.enableCounter = true;
    table.startComment = QStringLiteral("Table ");
    table.endComment = QStringLiteral("End ");
    table.commentSymbol = QStringLiteral("*");
    EXPECT_EQ(format(style, QStringLiteral("<table><table></table></table><table></table>")),
        crlfLines({ u"<!--~*********** Table 1 ***********~-->", u"<TABLE>",
            starComment(QStringLiteral("    "), QStringLiteral("Table 2")), u"    <TABLE>",
            u"    </TABLE>", starComment(QStringLiteral("    "), QStringLiteral("End 2")),
            u"</TABLE>", starComment(QString(), QStringLiteral("End 1")),
            starComment(QString(), QStringLiteral("Table 3")), u"<TABLE>", u"</TABLE>",
            starComment(QString(), QStringLiteral("End 3")) }));
    // Too short for any fill; unindented without Cindent; none at all when disabled.
    table.commentLength = 12;
    table.cindent = false;
    EXPECT_EQ(format(style, QStringLiteral("<table><table>")),
        crlfLines({ u"<!--~ Table 1 ~-->", u"<TABLE>", u"<!--~ Table 2 ~-->", u"    <TABLE>" }));
    style.options.doDisableComments = true;
    EXPECT_EQ(
        format(style, QStringLiteral("<table></table>")), crlfLines({ u"<TABLE>", u"</TABLE>" }));
}

TEST(FormatTokens, InlineRunEndingWithItsClosingTag)
{
    Style style = styleFrom("[B]\nTreatAsText=1\nTagOpen=<B>\nTagClose=</B>\nCRLFFollowed=2\n"
                            "DoGenerateEComment=1\nEndComment=b\nCommentLength=0\n");
    EXPECT_EQ(format(style, QStringLiteral("<b>x</b>y")),
        crlfLines({ u"<B>x</B>", u"<!--~ b ~-->", u"", u"y" }));
}

TEST(FormatTokens, VerbatimBlocksComeBackUnindented)
{
    Style style = styleFrom(kTableRule);
    const QString pre = QStringLiteral("<pre>\n  a  \n### b\n \n</pre>");
    EXPECT_EQ(format(style,
                  QStringLiteral("<table>\n  ") + pre
                      + QStringLiteral("<!--\n  c\n--><td><br></td>### d\n</table>")),
        crlfLines({ u"<TABLE>", u"<pre>", u"  a  ", u"### b", u" ", u"</pre>", u"<!--", u"  c",
            u"-->", u"    <TD><BR></TD>", u"    ### d", u"</TABLE>" }));
}

TEST(WrapLine, Rows)
{
    const QString words = QStringLiteral("abcd ").repeated(40); // 200 characters
    const QStringList pieces = WrapLine(words, 80, u"\"");
    for (const QString &piece : pieces) {
        EXPECT_LE(piece.size(), 80);
        EXPECT_TRUE(piece.endsWith(QLatin1Char(' ')));
    }
    EXPECT_EQ(pieces.join(QString()), words);

    struct Row {
        const char *name;
        const char16_t *line;
        int lineSize;
        const char16_t *excluder;
        std::initializer_list<const char16_t *> pieces;
    };
    const Row rows[] = {
        { "short line stays", u"a b", 3, u"\"", { u"a b" } },
        { "quoted value is never cut", u"a <x t=\"b c d\"> e", 6, u"\"",
            { u"a <x ", u"t=\"b c d\"> ", u"e" } },
        { "inside a tag is never cut", u"a <x t=\"b c\"> e", 4, u"<",
            { u"a ", u"<x t=\"b c\"> ", u"e" } },
        { "no usable space", u"abcdefgh", 3, u"\"", { u"abcdefgh" } },
        { "negative size cuts at every space", u"a b c", -5, u"\"", { u"a ", u"b ", u"c" } },
        // Formatting again turns the break after such a line into a trailing space.
        { "trailing spaces do not count", u"abc de  ", 6, u"\"", { u"abc de  " } },
        { "longer without them", u"abc def ", 6, u"\"", { u"abc ", u"def " } },
    };
    for (const Row &row : rows) {
        QStringList expected;
        for (const char16_t *piece : row.pieces)
            expected.append(QString::fromUtf16(piece));
        EXPECT_EQ(
            WrapLine(QString::fromUtf16(row.line), row.lineSize, QString::fromUtf16(row.excluder)),
            expected)
            << row.name;
    }
}

TEST(SignatureComment, Parts)
{
    StyleOptions options;
    const QDateTime at(QDate(2024, 3, 5), QTime(13, 7));
    EXPECT_EQ(SignatureComment(options, QStringLiteral("THUMBS"), at),
        QStringLiteral("<!--~ Unknown User, DATE: 2024-03-05, TIME: 01:07 pm, "
                       "STYLE: THUMBS,  Folioscope v1.0  ~-->"));
    options.doIncludeUser = options.doIncludeDate = options.doIncludeStyle = false;
    options.doIncludeVersion = false;
    EXPECT_EQ(SignatureComment(options, QString(), QDateTime(QDate(2024, 3, 5), QTime(0, 5))),
        QStringLiteral("<!--~ TIME: 12:05 am,  ~-->"));
    options.doIncludeTime = false;
    EXPECT_TRUE(SignatureComment(options, QString(), at).isEmpty());
}

TEST(FormatDocument, SignatureOnlyInWholeDocumentRuns)
{
    Style style = styleFrom({},
        "UseWhileFormat=1\nUseWhileCompress=1\nDoIncludeDate=0\n"
        "DoIncludeTime=0\nDoIncludeUser=0\n");
    const QString signature = QStringLiteral("<!--~ STYLE: THUMBS,  Folioscope v1.0  ~-->");
    const QString once = FormatDocument(style, QStringLiteral("<p>x"), FormatMode::Format);
    EXPECT_EQ(once, crlfLines({ signature, u"<P>", u"x" }));
    // The old signature is dropped, so formatting again does not stack them.
    EXPECT_EQ(FormatDocument(style, once, FormatMode::Format), once);
    EXPECT_EQ(FormatDocument(style, QStringLiteral("<p>x"), FormatMode::Compress),
        crlfLines({ signature, u"<P>x" }));
    EXPECT_EQ(format(style, QStringLiteral("<p>x")), crlfLines({ u"<P>", u"x" }));
    // All parts off: an empty first line.
    style.options.doIncludeStyle = style.options.doIncludeVersion = false;
    EXPECT_EQ(FormatDocument(style, QStringLiteral("<p>"), FormatMode::Format),
        crlfLines({ u"", u"<P>" }));
}

TEST(FormatSelection, OtherModesGiveNothing)
{
    Style style = styleFrom({});
    EXPECT_TRUE(FormatSelection(style, u"<p>x", QString(), static_cast<FormatMode>(3)).isEmpty());
}

TEST(FormatSelection, ProgressHooksAreThrottled)
{
    Style style = styleFrom({});
    const QString source = QStringLiteral("<p>x</p>\n").repeated(2000);
    QList<qsizetype> maxima;
    QList<qsizetype> positions;
    int yields = 0;
    FormatHooks hooks;
    hooks.setProgressMaximum = [&](qsizetype maximum) { maxima.append(maximum); };
    hooks.setProgress = [&](qsizetype position) { positions.append(position); };
    hooks.processEvents = [&] { ++yields; };
    // One pass lays the lines out as the tokenizer makes them: progress is the position in
    // the source for the whole run.
    FormatDocument(style, source, FormatMode::Format, hooks);
    EXPECT_EQ(maxima, (QList<qsizetype> { source.size() }));
    ASSERT_FALSE(positions.isEmpty());
    EXPECT_EQ(positions.last(), 0);
    EXPECT_TRUE(positions.contains(source.size()));
    // Every 1000 characters, not per character.
    EXPECT_EQ(yields, (source.size() - 1) / 1000);
}
