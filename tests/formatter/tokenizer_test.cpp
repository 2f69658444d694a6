#include "stylefixture.h"

#include "formatter/formatselection.h"
#include "formatter/tagkey.h"
#include "formatter/tokenizer.h"

#include <gtest/gtest.h>

using namespace formatter;

namespace {

struct KeyRow {
    const char *name;
    const char16_t *tag;
    const char16_t *key;
};

const KeyRow kKeyRows[] = {
    { "attributes end the name", u"<td align=left>", u"<TD>" },
    { "space before the bracket", u"</Table >", u"</TABLE>" },
    { "digits belong to the name", u"<h2>", u"<H2>" },
    { "exclamation mark ends the name", u"<!DOCTYPE HTML>", u"<>" },
    { "unclosed at the end", u"<a", u"<A" },
    { "comment", u"<!-- x -->", u"<!--" },
    { "own comment", u"<!--~ x ~-->", u"<!--~" },
    { "line break ends the name", u"<td\nalign=left>", u"<TD>" },
    { "non-ASCII letters end the name", u"<b\u00C4>", u"<B>" },
};

struct CaseRow {
    const char *name;
    int tagCase;
    const char16_t *tag;
    const char16_t *expected;
};

const CaseRow kCaseRows[] = {
    { "upper: name only", 1, u"<a href=x.htm>", u"<A href=x.htm>" },
    { "lower: name only", 2, u"<A HREF=X.HTM>", u"<a HREF=X.HTM>" },
    { "lower: Latin-1 capitals", 2, u"<\u00C4\u00D6\u00DC\u00C5>", u"<\u00E4\u00F6\u00FC\u00C5>" },
    { "upper leaves Latin-1 alone", 1, u"<\u00E4b>", u"<\u00E4B>" },
    { "quote ends the name", 2, u"<A\"B\">", u"<a\"B\">" },
    { "unchanged", 3, u"<Ab cD>", u"<Ab cD>" },
};

QStringList tokenTexts(const QString &source, const Style &style)
{
    return TokenizeSource(source, style.options, style.rules).tokenTexts();
}

QStringList list(std::initializer_list<QStringView> lines)
{
    QStringList out;
    for (const QStringView line : lines)
        out.append(line.toString());
    return out;
}

const QByteArray kBoldRule = "[B]\nTreatAsText=1\nTagOpen=<B>\nTagClose=</B>\n";

} // namespace

TEST(TagKey, Rows)
{
    for (const KeyRow &row : kKeyRows)
        EXPECT_EQ(TagKey(QString::fromUtf16(row.tag)), QString::fromUtf16(row.key)) << row.name;
}

TEST(TagKey, NameCase)
{
    for (const CaseRow &row : kCaseRows) {
        QString tag = QString::fromUtf16(row.tag);
        convertTagNameCase(tag, 0, row.tagCase);
        EXPECT_EQ(tag, QString::fromUtf16(row.expected)) << row.name;
    }
}

TEST(TokenizeSource, WorkedExample)
{
    const QString source = QStringLiteral("<p>Hello <b>world</b>\n<!-- note -->\n</p>");
    const Style plain = styleFrom({});
    const TokenLists tokens = TokenizeSource(source, plain.options, plain.rules);
    EXPECT_EQ(tokens.tokenTexts(),
        list({ u"<P>", u"Hello ", u"<B>", u"world", u"</B> ", u"###<!--:1", u"</P>" }));
    EXPECT_EQ(tokens.verbatimStore(), list({ u"###<!--:1", u"<!-- note -->" }));

    const Style bold = styleFrom(kBoldRule);
    EXPECT_EQ(
        tokenTexts(source, bold), list({ u"<P>", u"Hello <B>world</B> ", u"###<!--:1", u"</P>" }));
}

TEST(TokenizeSource, EdgeCases)
{
    struct Row {
        const char *name;
        const char16_t *source;
        std::initializer_list<QStringView> tokens;
    };
    const Row rows[] = {
        { "no tags", u"  one\n two\t\tthree  ", { u"one two three " } },
        { "character after the last tag", u"<br>x", { u"<BR>", u"x" } },
        { "unclosed comment", u"a<!-- b\n<p>", { u"a", u"###<!--:1" } },
        { "old signature leaves nothing", u"<!--~ sig ~-->\n<p>", { u"<P>" } },
        { "cell with only an image", u"<td><img src=a.png></td>", { u"###<TD>:1" } },
        { "empty cell", u"<TD></TD>", { u"###<TD>:1" } },
        { "cell with text", u"<td>x</td>", { u"<TD>", u"x", u"</TD>" } },
        { "cell with a space between tags", u"<td><br> <br></td>",
            { u"<TD>", u"<BR> ", u"<BR>", u"</TD>" } },
        { "tag keeps one space", u"<b> x", { u"<B> ", u"x" } },
        { "block tag keeps none", u"<td> x", { u"<TD>", u"x" } },
        { "quoted > ends the tag", u"<a title=\"1>2\">", { u"<A title=\"1>", u"2\">" } },
        { "blank before the name", u"< b  class=x >", { u"<B class=x>" } },
        { "lone < at the end stays text", u"a <", { u"a <" } },
        { "text that looks like a marker", u"### x\n<pre>p</pre>", { u"### x ", u"###<PRE>:1" } },
    };
    const Style plain = styleFrom({});
    for (const Row &row : rows) {
        const QString source = QString::fromUtf16(row.source);
        EXPECT_EQ(tokenTexts(source, plain), list(row.tokens)) << row.name;
    }
}

TEST(TokenizeSource, VerbatimBlocksKeepTheirCharacters)
{
    const Style plain = styleFrom({});
    const QString source = QStringLiteral("x<PRE>\n\tA  b\n### not a marker\n \n</pre >y<script>"
                                          "if (a<b) {}\n</SCRIPT>");
    const TokenLists tokens = TokenizeSource(source, plain.options, plain.rules);
    EXPECT_EQ(tokens.tokenTexts(), list({ u"x", u"###<PRE>:1", u"y", u"###<SCRIPT>:2" }));
    EXPECT_EQ(tokens.verbatimStore(),
        list({ u"###<PRE>:1", u"<PRE>", u"\tA  b", u"### not a marker", u" ", u"</pre >",
            u"###<SCRIPT>:2", u"<script>if (a<b) {}", u"</SCRIPT>" }));
}

TEST(TokenizeSource, SimpleCellIsOneLine)
{
    const Style lower = styleFrom({}, "TagCase=2\n");
    const TokenLists tokens = TokenizeSource(
        QStringLiteral("<TD>\n\t<IMG  SRC=\"A B.png\"></TD>"), lower.options, lower.rules);
    EXPECT_EQ(tokens.verbatimStore(), list({ u"###<TD>:1", u"<td> <img SRC=\"A B.png\"></td>" }));
}

TEST(TokenizeSource, InlineRules)
{
    const Style style = styleFrom(kBoldRule
        + "[H]\nTreatAsText=1\nTagOpen=<H1>\nTagClose=</H>\n"
          "[BR]\nTreatAsText=1\nTagOpen=<BR>\nCRLFLeading=1\n"
          "[SPAN]\nTreatAsText=1\nTagOpen=<SPAN>\nTagClose=</SPAN>\n"
          "CRLFFollowed=1\n");
    EXPECT_EQ(tokenTexts(QStringLiteral("<h1>a</h3> b"), style), list({ u"<H1>a</H3> b" }));
    EXPECT_EQ(tokenTexts(QStringLiteral("a<br>b <span>c</span>d"), style),
        list({ u"a", u"<BR>b <SPAN>c</SPAN>", u"d" }));
}

// A "<" begins a tag only when, after any blanks, a letter, "/", "!" or "?" follows it;
// any other "<" is a character of the text, in every mode.
TEST(TokenizeSource, LessThanThatBeginsNoTagIsText)
{
    struct Row {
        const char *name;
        const char16_t *source;
        const char16_t *format;
        const char16_t *compress;
        const char16_t *trim;
    };
    const Row rows[] = {
        { "comparison", u"1 < 2 and 3 > 2", u"1 < 2 and 3 > 2\r\n", u"1 < 2 and 3 > 2\r\n",
            u"1 < 2 and 3 > 2\r\n" },
        { "less or equal", u"a <= b", u"a <= b\r\n", u"a <= b\r\n", u"a <= b\r\n" },
        { "digit", u"<3", u"<3\r\n", u"<3\r\n", u"<3\r\n" },
        { "at the very end", u"x <", u"x <\r\n", u"x <\r\n", u"x <\r\n" },
        { "letter: a tag", u"a<b", u"a\r\n<B>\r\n", u"a<B>\r\n", u"a<b\r\n" },
        { "blanks are cleaned away", u"< b >", u"<B>\r\n", u"<B>\r\n", u"< b >\r\n" },
        { "slash after a blank", u"a < /b", u"a\r\n</B>\r\n", u"a </B>\r\n", u"a < /b\r\n" },
        { "exclamation mark", u"< !", u"<!>\r\n", u"<!>\r\n", u"< !\r\n" },
        { "question mark", u"<?xml", u"<?XML>\r\n", u"<?XML>\r\n", u"<?xml\r\n" },
        { "text inside a trimmed element", u"<b> 1 < 2 </b>", u"<B>\r\n1 < 2\r\n</B>\r\n",
            u"<B> 1 < 2 </B>\r\n", u"<b>1 < 2</b>\r\n" },
    };
    Style style = styleFrom({}, {}, "<B>=1\n</B>=1\n");
    for (const Row &row : rows) {
        const QString source = QString::fromUtf16(row.source);
        EXPECT_EQ(FormatSelection(style, source, QString(), FormatMode::Format),
            QString::fromUtf16(row.format))
            << row.name;
        EXPECT_EQ(FormatSelection(style, source, QString(), FormatMode::Compress),
            QString::fromUtf16(row.compress))
            << row.name;
        EXPECT_EQ(FormatSelection(style, source, QString(), FormatMode::Trim),
            QString::fromUtf16(row.trim))
            << row.name;
    }
}
