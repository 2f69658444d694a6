#include "editor/colourscan.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"

#include <gtest/gtest.h>

using namespace editor;

namespace {

const QByteArray kHeader
    = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
      "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
      "{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue0;"
      "\\red0\\green128\\blue128;}\r\n\\deflang1033\\pard\\plain\\f2\\fs18\\cf0 ";

QByteArray body(const QString &text)
{
    const QByteArray rtf = BuildColouredRtf(text, Palette());
    EXPECT_TRUE(rtf.startsWith(kHeader));
    return rtf.mid(kHeader.size());
}

} // namespace

TEST(BuildColouredRtf, BodiesOfTheWorkedCases)
{
    struct Row {
        const char *name;
        QString text;
        QByteArray body;
    };
    const Row rows[] = {
        { "worked example", QStringLiteral("<a href=\"x\">Hi</a>"),
            "\\cf1 <a href=\\cf2 \"x\"\\cf1 >\\cf0 Hi\\cf1 </a>}" },
        { "escapes, no tags", QStringLiteral("a{b}c\\d"), "\\cf0 a\\{b\\}c\\\\d}" },
        { "ends inside a quote", QStringLiteral("<a href=\"x"), "\\cf1 <a href=\\cf2 \"x\\cf1 }" },
        { "comment holding a tag", QStringLiteral("<!-- <b> -->"), "\\cf3 <!-- <b> -->\\cf0 }" },
        { "comment without end", QStringLiteral("<!-- x"), "\\cf3 <!-- x\\cf0 }" },
        { "shortest comment", QStringLiteral("<!-->x"), "\\cf3 <!-->\\cf0 \\cf0 x}" },
        { "two CR LF", QStringLiteral("\r\n\r\n"), "\\cf0 \r\n\\par \r\n\\par }" },
        { "lone LF and lone CR", QStringLiteral("a\nb\rc"), "\\cf0 a\r\n\\par b\r\n\\par c}" },
        { "tag cut by the next tag", QStringLiteral("<a<b>"), "\\cf1 <a\\cf1 <b>}" },
        { "quote ended by >", QStringLiteral("<a b=\"c>d"), "\\cf1 <a b=\\cf2 \"c\\cf1 >\\cf0 d}" },
        { "quotes outside tags", QStringLiteral("\"q\" 'x'"), "\\cf0 \"q\" 'x'}" },
        { "Latin-1 byte and tab", QStringLiteral("\u00e9\t"), "\\cf0 \xe9\t}" },
        { "beyond Latin-1", QStringLiteral("\u20ac\U0001F600"),
            "\\cf0 \\u8364?\\u-10179?\\u-8704?}" },
        { "empty", QString(), "}" },
    };
    for (const Row &row : rows)
        EXPECT_EQ(body(row.text), row.body) << row.name;
}

TEST(BuildColouredRtf, ColourTableFollowsThePalette)
{
    const QByteArray rtf = BuildColouredRtf(u"x", presetPalette(2));
    EXPECT_TRUE(rtf.contains("{\\colortbl\\red192\\green192\\blue192;\\red0\\green0\\blue255;"
                             "\\red192\\green192\\blue192;\\red192\\green192\\blue192;}"));
}

TEST(ReadColouredRtf, ReadsBackWhatTheWriterWrote)
{
    const QString text = QStringLiteral("<p class=\"a{b}\">x\\y</p>\r\n<!-- c\n-->\u00e9\u20ac\rz");
    const Palette palette = presetPalette(1);
    ColouredText read;
    QString error;
    ASSERT_TRUE(readColouredRtf(BuildColouredRtf(text, palette), &read, &error))
        << error.toStdString();
    EXPECT_EQ(read.text, QStringLiteral("<p class=\"a{b}\">x\\y</p>\n<!-- c\n-->\u00e9\u20ac\nz"));

    // The colours of the spans are the palette colours of the scanned classes.
    const QList<ColourRun> runs = colourRuns(read.text);
    ASSERT_EQ(read.spans.size(), runs.size());
    for (qsizetype i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(read.spans[i].start, runs[i].start) << i;
        EXPECT_EQ(read.spans[i].length, runs[i].length) << i;
        EXPECT_EQ(read.spans[i].colour, palette.colourOf(runs[i].cls)) << i;
    }
}

TEST(ReadColouredRtf, MalformedStreamsAreRefused)
{
    struct Row {
        const char *name;
        QByteArray rtf;
    };
    const Row rows[] = {
        { "not RTF", "<html>" },
        { "empty", "" },
        { "unclosed group", "{\\rtf1{\\colortbl;}\\cf0 abc" },
        { "extra brace", "{\\rtf1 a}}b" },
        { "colour out of table", "{\\rtf1{\\colortbl\\red1\\green2\\blue3;}\\cf7 x}" },
        { "ends after backslash", "{\\rtf1 x\\" },
        { "bad hex escape", "{\\rtf1 \\'zz}" },
    };
    for (const Row &row : rows) {
        ColouredText read;
        read.text = QStringLiteral("kept");
        QString error;
        EXPECT_FALSE(readColouredRtf(row.rtf, &read, &error)) << row.name;
        EXPECT_FALSE(error.isEmpty()) << row.name;
        EXPECT_EQ(read.text, QStringLiteral("kept")) << row.name;
    }
}

TEST(ReadColouredRtf, ToleratesWhatOtherWritersAdd)
{
    ColouredText read;
    QString error;
    ASSERT_TRUE(readColouredRtf("{\\rtf1{\\*\\generator x;}{\\colortbl;\\red255\\green0\\blue0;}"
                                "\\cf1 a\\'e9\\tab\\~\\u8364?\\line b{\\cf0 c}d}",
        &read, &error))
        << error.toStdString();
    EXPECT_EQ(read.text, QStringLiteral("a\u00e9\t\u20ac\nbcd"));
    const QList<ColourSpan> expected = { { 0, 6, 0xFF }, { 6, 1, 0 }, { 7, 1, 0xFF } };
    EXPECT_EQ(read.spans, expected);
}

TEST(ColourRuns, OpenCommentIsLeftOut)
{
    const QList<ColourRun> runs = colourRuns(u"a<b>c<!-- d");
    const QList<ColourRun> expected
        = { { 0, 1, ColourClass::Text }, { 1, 3, ColourClass::Tag }, { 4, 1, ColourClass::Text } };
    EXPECT_EQ(runs, expected);
}
