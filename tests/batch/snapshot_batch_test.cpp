#include "support/batchrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result runSnapshot(const QStringList &args)
{
    const BatchRun run = runBatchTool(QStringList { QStringLiteral("snapshot") } + args);
    return { run.exitCode, QString::fromLocal8Bit(run.out), QString::fromLocal8Bit(run.err) };
}

class SnapshotBatch : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : { "a.htm", "b.page.html" }) {
            const QString path = QDir::toNativeSeparators(site.filePath(QLatin1String(name)));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("<html><body style='margin:0;background:#0000ff'></body></html>");
            pages.append(path);
        }
        out = output.filePath(QStringLiteral("shots"));
    }

    QStringList written() const { return QDir(out).entryList(QDir::Files); }

    QTemporaryDir site;
    QTemporaryDir output;
    QString out;
    QStringList pages;
};

} // namespace

TEST_F(SnapshotBatch, WritesWhatBatchExportWritesAndKeepsExistingFiles)
{
    const QStringList options = { QStringLiteral("--size"), QStringLiteral("200x150"),
        QStringLiteral("--scale"), QStringLiteral("50"), QStringLiteral("--bg"),
        QStringLiteral("#FF0000"), QStringLiteral("--out"), out };
    Result result = runSnapshot(options + pages);
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(result.out,
        QStringLiteral("(1 of 2): ") + pages.at(0) + QStringLiteral("\n(2 of 2): ") + pages.at(1)
            + QStringLiteral("\n"));
    EXPECT_TRUE(result.err.isEmpty()) << qPrintable(result.err);
    ASSERT_EQ(written(),
        QStringList({ QStringLiteral("snap_a_htm.jpg"), QStringLiteral("snap_b_page_html.jpg") }));
    const QImage image(out + QStringLiteral("/snap_a_htm.jpg"));
    ASSERT_EQ(image.size(), QSize(110, 85));
    EXPECT_LT(qAbs(qBlue(image.pixel(50, 40)) - 255), 16);
    EXPECT_GT(qRed(image.pixel(109, 2)), 230); // the background square at the top right

    // Existing snapshots stay unless --force.
    result = runSnapshot(options + pages);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.count(QStringLiteral("exists, not overwritten")), 2);
    result = runSnapshot(options + QStringList { QStringLiteral("--force") } + pages);
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
}

TEST_F(SnapshotBatch, BitmapsMissingPagesAndBadOptions)
{
    Result result = runSnapshot({ QStringLiteral("--format"), QStringLiteral("bmp"),
        QStringLiteral("--size"), QStringLiteral("100x80"), QStringLiteral("--crop-vert"),
        QStringLiteral("--crop-hori"), QStringLiteral("--shade"), QStringLiteral("0"),
        QStringLiteral("--out"), out, site.filePath(QStringLiteral("gone.htm")), pages.at(0) });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("gone.htm\" not found!")));
    EXPECT_EQ(written(), QStringList { QStringLiteral("snap_a_htm.bmp") });
    EXPECT_EQ(QImage(out + QStringLiteral("/snap_a_htm.bmp")).size(), QSize(84, 64));

    struct Row {
        QStringList args;
        const char *message;
    };
    const Row rows[] = {
        { { QStringLiteral("--size"), QStringLiteral("9x600") }, "Minimum size is 10x10 pixels!" },
        { { QStringLiteral("--size"), QStringLiteral("2001x600") },
            "Maximum size is 2000x3000 pixels!" },
        { { QStringLiteral("--scale"), QStringLiteral("101") },
            "101 is not a valid scaling factor: (5-100%)!" },
        { { QStringLiteral("--size"), QStringLiteral("50x50"), QStringLiteral("--scale"),
              QStringLiteral("20"), QStringLiteral("--crop-vert") },
            "Resulting snapshot would be smaller than 10x10 pixels. Please increase size values "
            "or scaling factor." },
        { { QStringLiteral("--bg"), QStringLiteral("red") }, "--bg takes a colour as #RRGGBB" },
        { { QStringLiteral("--format"), QStringLiteral("png") }, "--format takes jpg or bmp" },
        { { QStringLiteral("--nonsense") }, "unknown option --nonsense" },
    };
    for (const Row &row : rows) {
        result = runSnapshot(row.args + QStringList { QStringLiteral("--out"), out, pages.at(1) });
        EXPECT_EQ(result.exitCode, 2) << row.message;
        EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1) << row.message;
        EXPECT_TRUE(result.err.contains(QLatin1String(row.message))) << qPrintable(result.err);
    }
    EXPECT_EQ(written(), QStringList { QStringLiteral("snap_a_htm.bmp") });
    EXPECT_EQ(runSnapshot({}).exitCode, 2);
    EXPECT_EQ(runSnapshot({ QStringLiteral("--help") }).exitCode, 0);
}

// A page whose script never ends holds the batch only for the engine's bounded wait; it is
// saved as far as it got and reported, and the next page is captured as it should be.
TEST_F(SnapshotBatch, APageThatNeverFinishesLoading)
{
    const QString endless = QDir::toNativeSeparators(site.filePath(QStringLiteral("endless.htm")));
    QFile file(endless);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<html><body style='background:#ff0000'>x<script>for (;;) {}</script></body></html>");
    file.close();
    const Result result = runSnapshot({ QStringLiteral("--size"), QStringLiteral("200x150"),
        QStringLiteral("--out"), out, endless, pages.at(0) });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
        QStringLiteral("folioscope-batch snapshot: ") + endless
            + QStringLiteral(" did not finish loading; saved as far as it got\n"));
    ASSERT_EQ(written(),
        QStringList({ QStringLiteral("snap_a_htm.jpg"), QStringLiteral("snap_endless_htm.jpg") }));
    const QImage next(out + QStringLiteral("/snap_a_htm.jpg"));
    EXPECT_LT(qAbs(qBlue(next.pixel(100, 70)) - 255), 16);
    EXPECT_LT(qRed(next.pixel(100, 70)), 16);
}

// A pipe is never loaded and a page that runs out of memory leaves no snapshot; a page that
// reaches for a file a site is not made of is saved showing it blocked. Each is named and the
// batch goes on. A page that asks to close its window while loading is captured whole.
TEST_F(SnapshotBatch, PagesThatCannotBeCapturedAreNamed)
{
    const QString pipe = QDir::toNativeSeparators(site.filePath(QStringLiteral("pipe.htm")));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const auto write = [this](const char *name, const QByteArray &content) {
        const QString page = QDir::toNativeSeparators(site.filePath(QLatin1String(name)));
        QFile file(page);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return page;
    };
    const QString hog = write("hog.htm",
        "<html><body>x<script>var a = []; for (;;) a.push(new Array(100000).fill(a.length));"
        "</script></body></html>");
    const QString secret = write("secret", "SECRET");
    const QString nosy = write("nosy.htm",
        "<html><body><script>location.href = 'secret';</script></body></html>");
    const QString closing = write("closing.htm",
        "<html><body style='margin:0;background:#00ff00'><script>window.close()</script>"
        "<img src='missing.png'></body></html>");
    const Result result = runSnapshot({ QStringLiteral("--size"), QStringLiteral("200x150"),
        QStringLiteral("--out"), out, pipe, hog, nosy, closing, pages.at(0) });
    EXPECT_EQ(result.exitCode, 1);
    const QString prefix = QStringLiteral("folioscope-batch snapshot: ");
    // The engine may add its own diagnostics of the dying renderer.
    EXPECT_EQ(ownLines(result.err, prefix),
        prefix + QStringLiteral("not a regular file: ") + pipe + QLatin1Char('\n') + prefix + hog
            + QStringLiteral(" ran out of memory; nothing saved\n") + prefix + nosy
            + QStringLiteral(": blocked ") + secret
            + QStringLiteral(", not a file a site is made of; saved showing it blocked\n"));
    ASSERT_EQ(written(),
        QStringList({ QStringLiteral("snap_a_htm.jpg"), QStringLiteral("snap_closing_htm.jpg"),
            QStringLiteral("snap_nosy_htm.jpg") }));
    const QImage closed(out + QStringLiteral("/snap_closing_htm.jpg"));
    EXPECT_GT(qGreen(closed.pixel(100, 70)), 230);
    EXPECT_LT(qRed(closed.pixel(100, 70)), 16);
}

// A file where the output folder should be: the first write fails with its reason, the batch
// ends there naming the page it did not get to, and nothing is left behind.
TEST_F(SnapshotBatch, AnOutputFolderThatCannotBeMade)
{
    QFile blocker(out);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString target = out + QStringLiteral("/more/snap_a_htm.jpg");
    const Result result = runSnapshot(
        QStringList { QStringLiteral("--out"), out + QStringLiteral("/more") } + pages);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, QStringLiteral("(1 of 2): ") + pages.at(0) + QStringLiteral("\n"));
    EXPECT_TRUE(
        result.err.startsWith(QStringLiteral("folioscope-batch snapshot: Cannot create file \"")
            + QDir::toNativeSeparators(target) + QStringLiteral("\".")))
        << qPrintable(result.err);
    EXPECT_TRUE(result.err.endsWith(
        QStringLiteral("\nfolioscope-batch snapshot: not written: ") + pages.at(1) + QLatin1Char('\n')))
        << qPrintable(result.err);
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 2);
    EXPECT_EQ(QDir(output.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("shots") });
}
