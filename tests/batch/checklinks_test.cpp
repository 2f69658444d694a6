#include "checklinkscommand.h"

#include "support/tempdir.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome checkLinks(const QStringList &args, const QString &programFolder = QDir::tempPath())
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Outcome result;
    result.exitCode = batch::runCheckLinksCommand(args, out, err, programFolder);
    result.out = out.data();
    result.err = err.data();
    return result;
}

void makeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(BatchCheckLinks, UsageErrorsAndUnreadablePathsExitTwo)
{
    TemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("a.html"));
    makeFile(page, "<a href=\"a.html\">");
    const QString pipe = dir.filePath(QStringLiteral("pipe.html"));
    ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
    const QString huge = dir.filePath(QStringLiteral("huge.html"));
    QFile(huge).open(QIODevice::WriteOnly);
    QFile::resize(huge, qint64(40) << 20); // sparse: no time or disk spent
    const QString missing = dir.filePath(QStringLiteral("gone\nforged.html:1:1: x.html"));
    struct Row {
        QStringList args;
        QString problem;
    };
    // Every PATH that cannot be checked says so alike, with its reason.
    const QString cannotRead = QStringLiteral("folioscope-batch check-links: cannot read ");
    const Row rows[] = {
        { {}, QStringLiteral("no PATH given") },
        { { QStringLiteral("--frobnicate"), dir.path() },
            QStringLiteral("unknown option --frobnicate") },
        { { QStringLiteral("--format=xml"), dir.path() },
            QStringLiteral("--format needs gnu or json") },
        { { QStringLiteral("--format") }, QStringLiteral("--format needs gnu or json") },
        { { dir.path(), QStringLiteral("--root") }, QStringLiteral("--root needs a folder") },
        { { QStringLiteral("--root"), page, dir.path() }, QStringLiteral("no such folder") },
        { { missing },
            cannotRead + QString(missing).replace(u'\n', QStringLiteral("\\n"))
                + QStringLiteral(": No such file or directory\n") },
        { { pipe }, cannotRead + pipe + QStringLiteral(": not a regular file\n") },
        { { huge }, cannotRead + huge + QStringLiteral(": File too large\n") },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.problem.toStdString());
        const Outcome result = checkLinks(row.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err.count('\n'), 1);
        EXPECT_TRUE(result.err.contains(row.problem.toUtf8())) << result.err.toStdString();
    }
    const Outcome help = checkLinks({ QStringLiteral("--help") });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: folioscope-batch check-links "));
}

TEST(BatchCheckLinks, ReportsExitStatusAndTotals)
{
    TemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    makeFile(site + QStringLiteral("/index.html"),
        "<a href=\"a.html#x\">a</a> <a href=\"/docs/b.html\">b</a> <a href=\"https://x.org/\">");
    makeFile(site + QStringLiteral("/a.html"), "<p>no anchors</p>");
    makeFile(dir.filePath(QStringLiteral("docs/b.html")), "b");
    // The program's thumbnails are never pages of the site.
    makeFile(site + QStringLiteral("/THUMBS/p.html"), "<a href=\"nowhere.html\">");

    const QString programFolder = site;
    const Outcome broken = checkLinks({ site }, programFolder);
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.out,
        (site + QStringLiteral("/index.html:1:10: broken link \"a.html#x\": no anchor \"x\" in ")
            + site + QStringLiteral("/a.html\n") + site
            + QStringLiteral("/index.html:1:35: broken link \"/docs/b.html\": no such file\n"))
            .toUtf8());
    EXPECT_TRUE(broken.err.startsWith("2 pages, 3 links, 1 external links not checked, "
                                      "2 broken links, "))
        << broken.err.toStdString();

    // Another root, no fragments: nothing broken.
    const Outcome clean = checkLinks(
        { QStringLiteral("--no-fragments"), QStringLiteral("--root"), dir.path(), site },
        programFolder);
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_TRUE(clean.out.isEmpty());

    const Outcome json
        = checkLinks({ QStringLiteral("--format"), QStringLiteral("json"), site }, programFolder);
    EXPECT_EQ(json.exitCode, 1);
    const QJsonArray entries = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1][QStringLiteral("reason")].toString(), QStringLiteral("no such file"));
    EXPECT_EQ(entries[1][QStringLiteral("target")].toString(),
        dir.filePath(QStringLiteral("site/docs/b.html")));
}
