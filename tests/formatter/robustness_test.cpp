#include "stylefixture.h"

#include "formatter/formatselection.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace formatter;

namespace {

// Generous: only a hang or a run quadratic in the input would exceed it, also under the
// sanitizers.
constexpr qint64 kMaxMilliseconds = 60000;

struct Timed {
    QString result;
    qint64 milliseconds = 0;
};

Timed timedRun(Style &style, const QString &source, FormatMode mode)
{
    QElapsedTimer timer;
    timer.start();
    Timed timed;
    timed.result = FormatSelection(style, source, QString(), mode);
    timed.milliseconds = timer.elapsed();
    return timed;
}

QString nestedTables(int depth)
{
    return QStringLiteral("<table><tr><td>").repeated(depth) + QStringLiteral("x")
        + QStringLiteral("</td></tr></table>").repeated(depth);
}

} // namespace

TEST(BadInput, SmallCasesKeepTheirText)
{
    struct Row {
        const char *name;
        QString source;
        QString format;
    };
    const Row rows[] = {
        { "unclosed comment", QStringLiteral("<p><!-- open\n"),
            QStringLiteral("<p>\r\n<!-- open\r\n") },
        { "unclosed tag", QStringLiteral("x <a href=y"), QStringLiteral("x <a href=y>\r\n") },
        { "lone < at the end", QStringLiteral("a <"), QStringLiteral("a <\r\n") },
        { "NUL characters", QString::fromUtf16(u"a\0b <b>c\0</b>", 13),
            QString::fromUtf16(u"a\0b <b>c\0</b>\r\n", 15) },
        { "unclosed script", QStringLiteral("<script>if (a<b)"),
            QStringLiteral("<script>if (a<b)\r\n") },
        { "only whitespace", QStringLiteral(" \n\t "), QString() },
    };
    for (const Row &row : rows) {
        Style style = shippedStyle();
        EXPECT_EQ(timedRun(style, row.source, FormatMode::Format).result, row.format) << row.name;
        for (FormatMode mode : { FormatMode::Compress, FormatMode::Trim })
            timedRun(style, row.source, mode);
    }
}

TEST(BadInput, LargeInputsStayLinear)
{
    const QString words = QStringLiteral("word <b>bold</b> \"quoted text\" ");
    const struct {
        const char *name;
        QString source;
    } rows[] = {
        { "10 MB single line", words.repeated(10'000'000 / words.size()) },
        { "10,000 nested tables", nestedTables(10'000) },
        { "unclosed cells", QStringLiteral("<td><b>x</b>").repeated(200'000) },
        { "opening brackets only", QString(2'000'000, QLatin1Char('<')) },
        { "bracket names", QStringLiteral("<a").repeated(1'000'000) },
        { "one long unbroken word", QString(5'000'000, QLatin1Char('w')) },
        { "10 MB without any tag", QStringLiteral("plain words, no markup\n").repeated(450'000) },
    };
    for (const auto &row : rows) {
        for (FormatMode mode : { FormatMode::Format, FormatMode::Compress, FormatMode::Trim }) {
            Style style = shippedStyle();
            const Timed timed = timedRun(style, row.source, mode);
            EXPECT_LT(timed.milliseconds, kMaxMilliseconds) << row.name << " mode " << int(mode);
            // Bounded output: indentation is capped, nothing grows with the nesting squared.
            EXPECT_LT(timed.result.size(), 20 * row.source.size() + 1000) << row.name;
        }
    }
}

TEST(BadInput, JunkStyleFiles)
{
    QByteArray tagIni;
    const QByteArray huge = "2147483647";
    for (int i = 0; i < 120; ++i) {
        tagIni += "[R" + QByteArray::number(i)
            + "]\nTagOpen=<TABLE>\nTagClose=</TABLE>\n"
              "isContentIndent="
            + huge + "\nisSelfIndent=" + huge + "\nCRLFLeading=" + huge + "\nCRLFFollowed=" + huge
            + "\nCommentLength=" + huge
            + "\nCommentSymbol=#\n"
              "DoGenerateSComment=1\nDoGenerateEComment=1\nEnableCounter=1\nStartComment="
            + QByteArray(5000, 's') + "\n";
    }
    Style style = styleFrom(tagIni, "LineSize=-2147483648\nSpacing=2147483647\nTagCase=99\n",
        "<TD>=zzz\n</TD>=1e9\n<TABLE>=1" + QByteArray(5000, '0') + "\n=1\n");
    const Timed timed = timedRun(style, nestedTables(2000), FormatMode::Format);
    EXPECT_LT(timed.milliseconds, kMaxMilliseconds);
    EXPECT_LT(timed.result.size(), 50'000'000);
    EXPECT_TRUE(timed.result.contains(QStringLiteral("<table>"))); // TagCase 99: unchanged
    EXPECT_FALSE(timedRun(style, nestedTables(10), FormatMode::Trim).result.isEmpty());
}
