// The batch tool on a disk that fills half-way through a file (a file-size limit on the tool's
// process): exit 1 with a line on stderr, the old file whole, no temporary file left.

#include "support/testfiles.h"
#include "support/writefault.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QByteArray kOld = "the old file, whole\r\n";

struct Invocation {
    QStringList args;
    QString target; // the file that must stay whole; empty when only stdout is written
    QString stdoutFile; // where standard output goes, as a shell's ">" would put it
    qint64 limit = 0; // 0: no limit
};

struct Result {
    int exitCode = -1;
    QStringList errLines;
};

Result runBatch(const Invocation &run)
{
    QProcess process;
    if (!run.stdoutFile.isEmpty())
        process.setStandardOutputFile(run.stdoutFile, QIODevice::Truncate);
    const qint64 limit = run.limit;
    if (limit > 0)
        process.setChildProcessModifier([limit] { FileSizeLimit::applyInChild(limit); });
    process.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch"), run.args);
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        return {};
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts) };
}

QByteArray manyParagraphs(int count)
{
    QByteArray page = "<html><body>\r\n";
    for (int i = 0; i < count; ++i)
        page += "<p>paragraph " + QByteArray::number(i) + "</p>\r\n";
    return page + "</body></html>\r\n";
}

class BatchWriteFaults : public testing::Test
{
protected:
    QString path(const QString &name) const { return QDir::toNativeSeparators(dir.filePath(name)); }

    // A folder of pages to search, and the list that searching it gives, to verify.
    void makeSite(int files)
    {
        for (int i = 0; i < files; ++i)
            ASSERT_TRUE(putFile(path(QStringLiteral("site/page%1.htm").arg(i)), "x"));
        const Result search = runBatch({ { QStringLiteral("search"), path(QStringLiteral("site")) },
            {}, path(QStringLiteral("site.lst")) });
        ASSERT_EQ(search.exitCode, 0);
    }

    QTemporaryDir dir;
};

// One row per command that writes a file; the limit cuts each file half-way.
TEST_F(BatchWriteFaults, EveryWritingCommandFailsWholly)
{
    const QString page = path(QStringLiteral("big.htm"));
    ASSERT_TRUE(putFile(page, manyParagraphs(20'000)));
    // Small files sit in the writer's buffer until the end: the cut shows only then.
    const QString smallPage = path(QStringLiteral("small.htm"));
    ASSERT_TRUE(putFile(smallPage, manyParagraphs(200)));
    const QString picture = path(QStringLiteral("in.png"));
    QImage small(20, 20, QImage::Format_RGB888);
    small.fill(Qt::darkCyan);
    ASSERT_TRUE(small.save(picture));
    const QString shot = path(QStringLiteral("a.htm"));
    ASSERT_TRUE(putFile(shot, "<html><body style='background:#08f'>a</body></html>"));
    makeSite(400);
    const QString listOut = path(QStringLiteral("out/found.lst"));

    struct Row {
        const char *what;
        Invocation run;
        QString mustName; // in the line on stderr
        bool inPlace = false; // the target is the input itself, not an old file of kOld
    };
    const Row rows[] = {
        { "format --in-place",
            { { QStringLiteral("format"), QStringLiteral("--in-place"), page }, page, {}, 150'000 },
            page, true },
        { "format --in-place, a small page",
            { { QStringLiteral("format"), QStringLiteral("--in-place"), smallPage }, smallPage, {},
                2'000 },
            smallPage, true },
        { "resize, a small picture",
            { { QStringLiteral("resize"), QStringLiteral("--size"), QStringLiteral("40x30"),
                  picture, path(QStringLiteral("out/small.bmp")) },
                path(QStringLiteral("out/small.bmp")), {}, 2'000 },
            path(QStringLiteral("out/small.bmp")) },
        { "resize",
            { { QStringLiteral("resize"), QStringLiteral("--size"), QStringLiteral("400x300"),
                  picture, path(QStringLiteral("out/big.bmp")) },
                path(QStringLiteral("out/big.bmp")), {}, 100'000 },
            path(QStringLiteral("out/big.bmp")) },
        // The engine itself needs some room to write: the picture is larger than that.
        { "snapshot",
            { { QStringLiteral("snapshot"), QStringLiteral("--format"), QStringLiteral("bmp"),
                  QStringLiteral("--size"), QStringLiteral("1024x768"), QStringLiteral("--force"),
                  QStringLiteral("--out"), path(QStringLiteral("out")), shot },
                path(QStringLiteral("out/snap_a_htm.bmp")), {}, 1'000'000 },
            path(QStringLiteral("out/snap_a_htm.bmp")) },
        { "format to standard output", { { QStringLiteral("format"), page }, {}, listOut, 100'000 },
            QStringLiteral("cannot write") },
        { "search to standard output",
            { { QStringLiteral("search"), path(QStringLiteral("site")) }, {}, listOut, 4'000 },
            QStringLiteral("cannot write") },
        { "verify to standard output",
            { { QStringLiteral("verify"), path(QStringLiteral("site.lst")) }, {}, listOut, 4'000 },
            QStringLiteral("cannot write") },
    };
    const auto entries = [](const QString &folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    ASSERT_TRUE(putFile(listOut, kOld));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QString target = row.run.target;
        if (!target.isEmpty() && !row.inPlace) {
            ASSERT_TRUE(putFile(target, kOld));
        }
        const QByteArray old = target.isEmpty() ? QByteArray() : fileBytes(target);
        const QString folder = QFileInfo(target.isEmpty() ? row.run.stdoutFile : target).path();
        const QStringList before = entries(folder);

        const Result result = runBatch(row.run);
        EXPECT_EQ(result.exitCode, 1);
        ASSERT_EQ(result.errLines.size(), 1) << result.errLines.join(u'\n').toStdString();
        EXPECT_TRUE(result.errLines.first().contains(row.mustName))
            << result.errLines.first().toStdString();
        if (!target.isEmpty()) {
            EXPECT_EQ(fileBytes(target), old);
        }
        EXPECT_EQ(entries(folder), before);

        // Without the limit the same run goes through: the cut alone made it fail.
        Invocation free = row.run;
        free.limit = 0;
        EXPECT_EQ(runBatch(free).exitCode, 0);
        if (!target.isEmpty()) {
            EXPECT_NE(fileBytes(target), old);
        }
    }
}

} // namespace

namespace {

// The engine needs more room to write than a thumbnail takes, so no size limit can cut a
// thumbnail alone: a folder in its place, or a file in the place of the thumbnail folder, makes
// the write fail instead. The line names the thumbnail file and the reason.
TEST_F(BatchWriteFaults, ThumbsNamesThePageTheFileAndTheReason)
{
    const QString page = path(QStringLiteral("site/a.htm"));
    ASSERT_TRUE(putFile(page, "<html><body>a</body></html>"));
    const QString tag = QDir::toNativeSeparators(path(QStringLiteral("site"))).replace(u'/', u'=');
    struct Row {
        const char *name;
        QString program;
        QString inTheWay; // a folder where the thumbnail goes, or a file where THUMBS goes
        bool folder;
        QString reason;
    };
    const QString program = path(QStringLiteral("program"));
    const QString thumb = program + QStringLiteral("/THUMBS/") + tag + QStringLiteral("/a.htm.jpg");
    const QString other = path(QStringLiteral("other"));
    const Row rows[] = {
        { "a folder in the thumbnail's place", program, thumb, true,
            thumb + QStringLiteral(": Is a directory") },
        { "a file in the thumbnail folder's place", other, other + QStringLiteral("/THUMBS"), false,
            other + QStringLiteral("/THUMBS/") + tag + QStringLiteral("/a.htm.jpg: cannot create ")
                + other + QStringLiteral("/THUMBS: Not a directory") },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.folder)
            ASSERT_TRUE(QDir().mkpath(row.inTheWay));
        else
            ASSERT_TRUE(putFile(row.inTheWay, "x"));
        const Result result = runBatch({ { QStringLiteral("thumbs"),
            QStringLiteral("--program-folder"), row.program, page } });
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.errLines,
            QStringList { QStringLiteral("folioscope-batch thumbs: cannot store the thumbnail of ")
                + page + QStringLiteral(" as ") + row.reason });
        EXPECT_EQ(QFileInfo(row.inTheWay).isDir(), row.folder);
        EXPECT_EQ(strayFiles(QFileInfo(row.inTheWay).path(), { QFileInfo(row.inTheWay).fileName() }),
            QStringList {});
    }
}

} // namespace
