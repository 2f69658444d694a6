// The HTML check on hostile pages, and its agreement with itself: a page checked twice, or
// laid out by the program's formatter, gives the same rules.
#include "formatter/formatselection.h"
#include "linkcheck/htmlcheck.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace {

std::map<std::string_view, int> ruleCounts(std::string_view text)
{
    std::map<std::string_view, int> counts;
    for (const linkcheck::HtmlProblem &problem : linkcheck::checkHtml(text))
        ++counts[problem.rule];
    return counts;
}

std::string repeated(std::string_view piece, size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        out.append(piece);
    return out;
}

QStringList testPages()
{
    QStringList pages;
    QDirIterator it(QStringLiteral(FOLIOSCOPE_TEST_SITE), { QStringLiteral("*.htm*") },
        QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        pages.append(it.next());
    pages.sort();
    return pages;
}

} // namespace

TEST(HtmlCheckRobustness, HostilePagesEndBoundedAndInTime)
{
    const std::vector<std::pair<const char *, std::string>> pages = {
        { "binary", [] {
             std::string bytes(1 << 20, '\0');
             for (size_t i = 0; i < bytes.size(); ++i)
                 bytes[i] = char((i * 2654435761u) >> 13);
             return bytes;
         }() },
        { "10 MB one line", "<p>" + repeated("<a href=x>y</a> &amp ", 500000) },
        { "NUL bytes", std::string(100000, '\0') + "<p>" + std::string(100000, '\0') },
        { "200,000 nested", repeated("<div><span>", 100000) + repeated("</i>", 100000) },
        { "nested formatting", "<i><div>" + repeated("<span>", 200000) + repeated("</i>", 5000) },
        { "a million attributes", "<p " + repeated("a=1 ", 1000000) + ">" },
        { "unclosed", repeated("<table><tr><td><select><option>", 50000) },
        { "foreign", repeated("<svg><math><mi><b>", 50000) },
    };
    for (const auto &[name, text] : pages) {
        SCOPED_TRACE(name);
        QElapsedTimer clock;
        clock.start();
        const auto problems = linkcheck::checkHtml(text);
        EXPECT_LE(problems.size(), linkcheck::kMaxHtmlProblems);
        EXPECT_LT(clock.elapsed(), 10000);
        for (const linkcheck::HtmlProblem &problem : problems)
            EXPECT_TRUE(linkcheck::isHtmlRuleId(problem.rule));
    }
}

TEST(HtmlCheckRobustness, SameRulesTwiceAndAfterTheFormatter)
{
    formatter::Style style;
    formatter::LoadProgramStyle(style, QCoreApplication::applicationDirPath(), QString());
    const QStringList pages = testPages();
    ASSERT_FALSE(pages.isEmpty());
    for (const QString &path : pages) {
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const std::string_view text(bytes.constData(), size_t(bytes.size()));
        EXPECT_EQ(linkcheck::checkHtml(text), linkcheck::checkHtml(text));
        formatter::Style fresh = style;
        const QByteArray formatted
            = formatter::FormatDocument(fresh, QString::fromUtf8(bytes), formatter::FormatMode::Format)
                  .toUtf8();
        const std::string_view after(formatted.constData(), size_t(formatted.size()));
        EXPECT_EQ(ruleCounts(text), ruleCounts(after));
    }
}
