#include "checkhtmlcommand.h"
#include "checklinkscommand.h"

#include "support/tempdir.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

template <typename Command>
Outcome run(Command command, const QStringList &args)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Outcome result;
    result.exitCode = command(args, out, err, QDir::tempPath());
    result.out = out.data();
    result.err = err.data();
    return result;
}

Outcome checkHtml(const QStringList &args)
{
    return run(batch::runCheckHtmlCommand, args);
}

const QByteArray kHead = "<!DOCTYPE html><html lang=en><head><title>t</title></head><body>\n";

// A site of two pages with errors, one clean, one with a warning alone.
void makeSite(const TemporaryDir &dir)
{
    writeFile(dir.filePath(QStringLiteral("b.html")), kHead + "<img src=a.png>\n<p>x</p></p>\n");
    writeFile(dir.filePath(QStringLiteral("a.html")), kHead + "<center>x</center>\n");
    writeFile(dir.filePath(QStringLiteral("sub/clean.html")), kHead + "<p>fine</p>\n");
    writeFile(dir.filePath(QStringLiteral("sub/warn.html")), kHead + "<h1>a</h1><h3>b</h3>\n");
}

} // namespace

TEST(BatchCheckHtml, GnuLinesSortedWithTotalsAndStatus)
{
    TemporaryDir dir;
    makeSite(dir);
    const Outcome outcome = checkHtml({ dir.path() });
    EXPECT_EQ(outcome.exitCode, 1);
    const std::string root = dir.path().toStdString();
    EXPECT_EQ(outcome.out.toStdString(),
        root + "/a.html:2:1: error: The “center” element is obsolete. Use CSS instead. [obsolete-element]\n"
            + root + "/b.html:2:1: error: An “img” element must have an “alt” attribute, except under certain "
                     "conditions. For details, consult guidance on providing text alternatives for images. "
                     "[img-alt]\n"
            + root + "/b.html:3:9: error: No “p” element in scope but a “p” end tag seen. [stray-end-tag]\n"
            + root + "/sub/warn.html:2:11: warning: The heading “h3” follows “h1”, skipping a level. "
                     "[heading-level]\n");
    EXPECT_TRUE(outcome.err.startsWith("4 pages, 3 errors, 1 warnings, ")) << outcome.err.constData();
}

TEST(BatchCheckHtml, IgnoredRulesWarningsAndTheSiteSettings)
{
    TemporaryDir dir;
    makeSite(dir);
    EXPECT_EQ(checkHtml({ dir.filePath(QStringLiteral("sub")) }).exitCode, 0); // a warning alone
    EXPECT_TRUE(checkHtml({ QStringLiteral("--errors-only"), dir.filePath(QStringLiteral("sub")) }).out.isEmpty());
    const Outcome ignored = checkHtml(
        { QStringLiteral("--ignore=img-alt,obsolete-element"), QStringLiteral("--ignore"),
            QStringLiteral("stray-end-tag"), dir.path() });
    EXPECT_EQ(ignored.exitCode, 0);
    EXPECT_EQ(ignored.out.count('\n'), 1);
    writeFile(dir.filePath(QStringLiteral(".folioscope-check.ini")),
        "[rules]\nimg-alt=off\nheading-level = OFF\nstray-end-tag=on\n");
    const Outcome site = checkHtml({ dir.path() });
    EXPECT_EQ(site.out.count('\n'), 2);
    EXPECT_FALSE(site.out.contains("[img-alt]"));
    EXPECT_FALSE(site.out.contains("[heading-level]"));
    // Read from --root when it is given.
    EXPECT_EQ(checkHtml({ QStringLiteral("--root"), dir.path(), dir.filePath(QStringLiteral("b.html")) })
                  .out.count('\n'),
        1);
}

TEST(BatchCheckHtml, UsageErrorsExitTwoAndHelpNamesEveryRule)
{
    TemporaryDir dir;
    for (const QStringList &args : { QStringList {}, QStringList { QStringLiteral("--ignore=nope"), dir.path() },
             QStringList { QStringLiteral("--format=xml"), dir.path() },
             QStringList { QStringLiteral("--bogus"), dir.path() },
             QStringList { dir.filePath(QStringLiteral("missing.html")) } }) {
        const Outcome outcome = checkHtml(args);
        EXPECT_EQ(outcome.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(outcome.out.isEmpty());
        EXPECT_TRUE(outcome.err.startsWith("folioscope-batch check-html: "));
    }
    const Outcome help = checkHtml({ QStringLiteral("--help") });
    EXPECT_EQ(help.exitCode, 0);
    for (const char *rule : { "doctype", "parse-other", "heading-level", "attribute-not-allowed" })
        EXPECT_TRUE(help.out.contains(rule)) << rule;
}

TEST(BatchCheckHtml, JsonAndSarif)
{
    TemporaryDir dir;
    makeSite(dir);
    const QJsonArray json = QJsonDocument::fromJson(checkHtml({ QStringLiteral("--format=json"), dir.path() }).out).array();
    ASSERT_EQ(json.size(), 4);
    const QJsonObject first = json.at(0).toObject();
    EXPECT_EQ(first.value(u"rule").toString(), u"obsolete-element");
    EXPECT_EQ(first.value(u"severity").toString(), u"error");
    EXPECT_EQ(first.value(u"line").toInt(), 2);
    EXPECT_EQ(first.value(u"column").toInt(), 1);
    EXPECT_EQ(json.at(3).toObject().value(u"severity").toString(), u"warning");

    // The properties SARIF 2.1.0 requires, checked by hand: no schema validator is at hand.
    const QJsonObject sarif = QJsonDocument::fromJson(checkHtml({ QStringLiteral("--format=sarif"), dir.path() }).out).object();
    EXPECT_EQ(sarif.value(u"version").toString(), u"2.1.0");
    const QJsonArray runs = sarif.value(u"runs").toArray();
    ASSERT_EQ(runs.size(), 1);
    const QJsonObject driver = runs.at(0)[u"tool"][u"driver"].toObject();
    EXPECT_FALSE(driver.value(u"name").toString().isEmpty());
    QStringList ruleIds;
    for (const QJsonValue &rule : driver.value(u"rules").toArray())
        ruleIds.append(rule[u"id"].toString());
    const QJsonArray results = runs.at(0)[u"results"].toArray();
    ASSERT_EQ(results.size(), 4);
    for (const QJsonValue &result : results) {
        EXPECT_TRUE(ruleIds.contains(result[u"ruleId"].toString()));
        EXPECT_TRUE(QStringList({ QStringLiteral("error"), QStringLiteral("warning") }).contains(result[u"level"].toString()));
        EXPECT_FALSE(result[u"message"][u"text"].toString().isEmpty());
        const QJsonValue location = result[u"locations"][0][u"physicalLocation"];
        EXPECT_TRUE(location[u"artifactLocation"][u"uri"].toString().startsWith(u"file:///"));
        EXPECT_GE(location[u"region"][u"startLine"].toInt(), 1);
        EXPECT_GE(location[u"region"][u"startColumn"].toInt(), 1);
    }
}

TEST(BatchCheckHtml, CheckLinksWithHtmlReportsBothInOrder)
{
    TemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.html")), kHead + "<a href=gone.html>x</a> <center>y</center>\n");
    const Outcome outcome = run(batch::runCheckLinksCommand, { QStringLiteral("--html"), dir.path() });
    EXPECT_EQ(outcome.exitCode, 1);
    const QList<QByteArray> lines = outcome.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("a.html:2:9: broken link \"gone.html\""));
    EXPECT_TRUE(lines[1].contains("a.html:2:25: error: The “center” element is obsolete."));
    EXPECT_TRUE(outcome.err.contains("1 HTML errors, 0 HTML warnings")) << outcome.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(
        run(batch::runCheckLinksCommand, { QStringLiteral("--html"), QStringLiteral("--format=json"), dir.path() }).out)
                                 .object();
    EXPECT_EQ(json.value(u"links").toArray().size(), 1);
    EXPECT_EQ(json.value(u"html").toArray().size(), 1);
}
