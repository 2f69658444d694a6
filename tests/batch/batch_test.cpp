#include "imaging/looksstore.h"
#include "imaging/resample.h"
#include "imaging/thumbstore.h"
#include "support/batchrun.h"
#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/writefault.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString goldenPath(const QString &name)
{
    QDir dir(qEnvironmentVariable("FOLIOSCOPE_TEST_DATA"));
    if (!dir.exists(QStringLiteral("formatter")))
        dir.cd(QStringLiteral(".."));
    return dir.filePath(QStringLiteral("formatter/golden/") + name);
}

// A program folder with a style that signs whole-document runs.
void writeSigningStyle(const QTemporaryDir &dir)
{
    QDir().mkpath(dir.filePath(QStringLiteral("STYLES/THUMBS")));
    QFile options(dir.filePath(QStringLiteral("STYLES/THUMBS/options.ini")));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("[OPTIONS]\nUseWhileFormat=1\nDoIncludeDate=0\nDoIncludeTime=0\n"
                  "UserInfo=Tester\n");
}

} // namespace

TEST(BatchFormat, FileMatchesTheGoldenOutput)
{
    for (const char *mode : { "format", "compress", "trim" }) {
        const QString page = goldenPath(QStringLiteral("page.html"));
        const BatchRun result = runBatchTool(
            { QStringLiteral("format"), QStringLiteral("--mode"), QLatin1String(mode), page });
        EXPECT_EQ(result.exitCode, 0) << mode;
        EXPECT_EQ(result.out,
            fileBytes(goldenPath(
                QStringLiteral("page.") + QLatin1String(mode) + QStringLiteral(".expected"))))
            << mode;
    }
}

TEST(BatchFormat, StandardInputAndEncodings)
{
    // Not UTF-8: one character per byte, every byte back as it was.
    const QByteArray latin1 = "  <P>caf\xe9 \x80\xff</P>\r\n";
    const BatchRun result = runBatchTool({ QStringLiteral("format"), QStringLiteral("-") }, latin1);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray("  <p>\r\n  caf\xe9 \x80\xff\r\n  </p>\r\n"));
    const QByteArray utf8 = "<b>caf\xc3\xa9</b>";
    EXPECT_EQ(runBatchTool({ QStringLiteral("format") }, utf8).out, utf8 + "\r\n");
}

TEST(BatchFormat, WholeDocumentAndProgramFolder)
{
    QTemporaryDir dir;
    writeSigningStyle(dir);
    const QByteArray input = "  <p>x";
    const QByteArray signature = "<!--~ Tester, STYLE: THUMBS,  Folioscope v1.0  ~-->\r\n";
    EXPECT_EQ(runBatchTool({ QStringLiteral("format"), QStringLiteral("--whole"),
                           QStringLiteral("--program-folder"), dir.path() },
                  input)
                  .out,
        signature + "<P>\r\nx\r\n");
    EXPECT_EQ(
        runBatchTool(
            { QStringLiteral("format"), QStringLiteral("--program-folder=") + dir.path() }, input)
            .out,
        QByteArray("  <P>\r\n  x\r\n"));
}

TEST(BatchFormat, UsageAndErrors)
{
    struct Row {
        const char *name;
        QStringList args;
        int exitCode;
        const char *inOut; // expected in standard output
        const char *inErr; // expected in standard error
    };
    const Row rows[] = {
        { "tool help", { QStringLiteral("--help") }, 0, "format", "" },
        { "command help", { QStringLiteral("format"), QStringLiteral("--help") }, 0, "--whole",
            "" },
        { "missing file", { QStringLiteral("format"), QStringLiteral("/nonexistent/page.htm") }, 1,
            "", "/nonexistent/page.htm" },
        { "several files without --in-place",
            { QStringLiteral("format"), QStringLiteral("a.htm"), QStringLiteral("b.htm") }, 2, "",
            "--in-place" },
        { "--in-place without a file", { QStringLiteral("format"), QStringLiteral("--in-place") },
            2, "", "at least one FILE" },
        { "--in-place on standard input",
            { QStringLiteral("format"), QStringLiteral("--in-place"), QStringLiteral("-") }, 2, "",
            "standard input" },
        { "unknown mode",
            { QStringLiteral("format"), QStringLiteral("--mode"), QStringLiteral("x") }, 2, "",
            "unknown mode" },
        { "unknown option", { QStringLiteral("format"), QStringLiteral("--bogus") }, 2, "",
            "--bogus" },
        { "unknown command", { QStringLiteral("frobnicate") }, 2, "", "frobnicate" },
        { "no command", {}, 2, "", "no command" },
    };
    for (const Row &row : rows) {
        const BatchRun result = runBatchTool(row.args);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.name;
        EXPECT_TRUE(result.out.contains(row.inOut)) << row.name;
        EXPECT_TRUE(result.err.contains(row.inErr)) << row.name;
        if (row.exitCode != 0) {
            EXPECT_EQ(result.err.count('\n'), 1) << row.name << ": one line on standard error";
        }
    }
}

TEST(BatchFormat, InPlaceKeepsEncodingsAndSkipsWhatItCannotWrite)
{
    QTemporaryDir dir;
    const QString latin1 = dir.filePath(QStringLiteral("latin1.htm"));
    const QString utf8 = dir.filePath(QStringLiteral("utf8.htm"));
    const QString readOnly = dir.filePath(QStringLiteral("read-only.htm"));
    const QString missing = dir.filePath(QStringLiteral("missing.htm"));
    writeFile(latin1, "  <P>caf\xe9 \x80\xff</P>\r\n");
    writeFile(utf8, "<b>caf\xc3\xa9</b>");
    writeFile(readOnly, "<p>x");
    const auto readWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(utf8, readWrite);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QFile::Permissions utf8Permissions = QFile::permissions(utf8);

    const BatchRun result = runBatchTool({ QStringLiteral("format"), QStringLiteral("--in-place"),
        readOnly, latin1, missing, utf8 });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    const QList<QByteArray> problems = result.err.trimmed().split('\n');
    ASSERT_EQ(problems.size(), 2) << result.err.constData();
    EXPECT_TRUE(problems.at(0).contains(readOnly.toLocal8Bit())) << problems.at(0).constData();
    EXPECT_TRUE(problems.at(1).contains(missing.toLocal8Bit())) << problems.at(1).constData();

    // The others are done, each in its own encoding, with its permissions.
    EXPECT_EQ(fileBytes(latin1), QByteArray("  <p>\r\n  caf\xe9 \x80\xff\r\n  </p>\r\n"));
    EXPECT_EQ(fileBytes(utf8), QByteArray("<b>caf\xc3\xa9</b>\r\n"));
    EXPECT_EQ(QFile::permissions(utf8), utf8Permissions);
    // A read-only file is left as it was, also for the superuser.
    EXPECT_EQ(fileBytes(readOnly), QByteArray("<p>x"));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no temporary files left";
}

// Files far larger than the pieces they are read and written in, with characters of every
// UTF-8 length lying across the piece boundaries; without any tag the trim mode only turns
// line breaks into CR LF.
TEST(BatchFormat, LargeFilesComeBackWhole)
{
    QTemporaryDir dir;
    const QByteArray utf8Line = "ab\xf0\x9f\x98\x80\xc3\xa9 \xe2\x82\xac";
    const QByteArray latin1Line = "caf\xe9 \x80\xff x";
    for (const QByteArray &line : { utf8Line, latin1Line }) {
        const QString path = dir.filePath(QStringLiteral("big.htm"));
        writeFile(path, QByteArray(line + "\n").repeated(40000));
        const BatchRun result = runBatchTool(
            { QStringLiteral("format"), QStringLiteral("--mode"), QStringLiteral("trim"), path });
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out == QByteArray(line + "\r\n").repeated(40000)) << line.constData();
        EXPECT_EQ(runBatchTool({ QStringLiteral("format"), QStringLiteral("--in-place"),
                               QStringLiteral("--mode=trim"), path })
                      .exitCode,
            0);
        EXPECT_TRUE(fileBytes(path) == result.out) << line.constData();
    }
}

// A file that gives more than its size said when it was opened (as one still being written
// does: /proc files have the size 0) is refused, not read without end.
TEST(BatchFormat, AFileThatGrowsWhileReadIsRefused)
{
    const QString growing = QStringLiteral("/proc/self/status");
    for (const QStringList &args : { QStringList { QStringLiteral("format"), growing },
             QStringList { QStringLiteral("format"), QStringLiteral("--mode"),
                 QStringLiteral("compress"), growing } }) {
        const BatchRun result = runBatchTool(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err,
            "folioscope-batch format: cannot read /proc/self/status: The file grew while it was "
            "read.\n");
    }
}

namespace {

struct stat statOf(const QString &path)
{
    struct stat info {
    };
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

} // namespace

// A replaced page keeps its hard links and, run by the superuser, its owner and group; run by
// another user who may write it but not give a new file its owner, it is written through.
TEST(BatchFormat, InPlaceKeepsHardLinksOwnerAndGroup)
{
    TemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString linked = dir.filePath(QStringLiteral("a.html"));
    const QString second = dir.filePath(QStringLiteral("b.html"));
    writeFile(linked, "<P>x</P>");
    ASSERT_EQ(::chmod(QFile::encodeName(linked).constData(), 0640), 0);
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(), QFile::encodeName(second).constData()),
        0);
    const ino_t inode = statOf(linked).st_ino;
    EXPECT_EQ(runBatchTool({ QStringLiteral("format"), QStringLiteral("--in-place"), linked }).exitCode,
        0);
    EXPECT_EQ(fileBytes(second), QByteArray("<p>\r\nx\r\n</p>\r\n"));
    EXPECT_EQ(statOf(linked).st_ino, inode);
    EXPECT_EQ(statOf(linked).st_mode & 07777, 0640u);

    if (::geteuid() != 0)
        GTEST_SKIP() << "giving files to other users needs the superuser";
    struct Row {
        const char *name;
        uid_t owner;
        gid_t group;
        bool asNobody; // run the tool as the user nobody (65534)
    };
    const Row rows[] = {
        { "the superuser replaces another user's page", 65534, 65534, false },
        { "nobody writes a page it may write but does not own", 4242, 4343, true },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString page = dir.filePath(QStringLiteral("owned.html"));
        writeFile(page, "<P>y</P>");
        const QByteArray native = QFile::encodeName(page);
        ASSERT_EQ(::chown(native.constData(), row.owner, row.group), 0);
        ASSERT_EQ(::chmod(native.constData(), row.asNobody ? 0666 : 0640), 0);
        QProcess process;
        if (row.asNobody)
            process.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(99);
            });
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch"),
            { QStringLiteral("format"), QStringLiteral("--in-place"), page });
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        EXPECT_EQ(fileBytes(page), QByteArray("<p>\r\ny\r\n</p>\r\n"));
        EXPECT_EQ(statOf(page).st_uid, row.owner);
        EXPECT_EQ(statOf(page).st_gid, row.group);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no temporary file left";
        QFile::remove(page);
    }
}

// Under an address-space limit, files that need more memory than it allows end in one line
// each and exit 1, never in an abort; the other files are still done.
TEST(BatchMemory, AFailedAllocationIsAMessageNotAnAbort)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#endif
#endif
    TemporaryDir dir;
    // Sparse: large to read, nothing on the disk.
    constexpr qint64 kLarge = qint64(320) << 20;
    constexpr rlim_t kLimit = rlim_t(640) << 20;
    const QString big = dir.filePath(QStringLiteral("big.html"));
    const QString bigList = dir.filePath(QStringLiteral("big.lst"));
    for (const QString &file : { big, bigList }) {
        QFile sparse(file);
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(kLarge));
    }
    const QString small = dir.filePath(QStringLiteral("small.html"));
    writeFile(small, "<P>x</P>");
    struct Row {
        const char *name;
        QStringList args;
        QString line;
    };
    const Row rows[] = {
        { "format", { QStringLiteral("format"), big },
            QStringLiteral("folioscope-batch format: not enough memory for ") + big },
        { "format in place, then a small page",
            { QStringLiteral("format"), QStringLiteral("--in-place"), big, small },
            QStringLiteral("folioscope-batch format: not enough memory for ") + big },
        { "colour-rtf", { QStringLiteral("colour-rtf"), big },
            QStringLiteral("folioscope-batch colour-rtf: not enough memory for ") + big },
        { "verify", { QStringLiteral("verify"), bigList },
            QStringLiteral("folioscope-batch verify: not enough memory for ") + bigList },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QProcess process;
        process.setChildProcessModifier([] {
            const rlimit limit { kLimit, kLimit };
            ::setrlimit(RLIMIT_AS, &limit);
        });
        process.start(
            QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch"), row.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1);
        EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardError()), row.line + u'\n');
    }
    EXPECT_EQ(fileBytes(small), QByteArray("<p>\r\nx\r\n</p>\r\n"));
    EXPECT_EQ(QFileInfo(big).size(), kLarge);
}

TEST(BatchThumbs, MakesTheThumbnailsOfThePagesInOrder)
{
    QTemporaryDir program;
    QTemporaryDir site;
    QStringList pages;
    for (const char *name : { "one.htm", "two.htm" }) {
        const QString page = site.filePath(QString::fromLatin1(name));
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html><body style='background:#ff0000'>x</body></html>");
        pages.append(page);
    }
    const BatchRun made
        = runBatchTool({ QStringLiteral("thumbs"), QStringLiteral("--base-index"), QStringLiteral("0"),
            QStringLiteral("--program-folder"), program.path(), pages.at(0), pages.at(1) });
    EXPECT_EQ(made.exitCode, 0) << made.err.constData();
    const QString lines = QStringLiteral("(1 of 2): ") + pages.at(0)
        + QStringLiteral("\n(2 of 2): ") + pages.at(1) + QStringLiteral("\n");
    EXPECT_EQ(made.out, lines.toLocal8Bit());
    for (const QString &page : pages) {
        const QString thumb = program.filePath(QStringLiteral("THUMBS/"))
            + site.path().replace(QLatin1Char('/'), QLatin1Char('=')) + QLatin1Char('/')
            + QFileInfo(page).fileName() + QStringLiteral(".jpg");
        const QImage picture(thumb);
        EXPECT_EQ(picture.size(), QSize(130, 100)) << thumb.toStdString();
        EXPECT_GT(qRed(picture.pixel(65, 50)), 200);
    }

    const BatchRun missing = runBatchTool({ QStringLiteral("thumbs"), QStringLiteral("--program-folder"),
        program.path(), site.filePath(QStringLiteral("gone.htm")) });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.count('\n'), 1) << missing.err.constData();
}

// Pages that cannot be made as they should are named, one line each, and the batch goes on:
// a pipe is never loaded, a page that runs out of memory leaves no thumbnail, one that does
// not finish loading keeps the picture as far as it got, and one that reaches for a file a
// site is not made of is stored showing it blocked.
TEST(BatchThumbs, PagesThatWentWrongAreNamed)
{
    QTemporaryDir program;
    QTemporaryDir site;
    const auto write = [&site](const char *name, const QByteArray &content) {
        const QString page = site.filePath(QString::fromLatin1(name));
        QFile file(page);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return page;
    };
    const QString pipe = site.filePath(QStringLiteral("pipe.htm"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString hog = write("hog.htm",
        "<html><body>x<script>var a = []; for (;;) a.push(new Array(100000).fill(a.length));"
        "</script></body></html>");
    const QString endless
        = write("endless.htm", "<html><body>x<script>for (;;) {}</script></body></html>");
    const QString secret = write("secret.txt", "SECRET");
    const QString nosy = write("nosy.htm", "<html><body><iframe src='secret.txt'></iframe></body></html>");
    const QString good = write("good.htm", "<html><body style='background:#ff0000'></body></html>");
    const BatchRun made
        = runBatchTool({ QStringLiteral("thumbs"), QStringLiteral("--base-index"), QStringLiteral("0"),
            QStringLiteral("--program-folder"), program.path(), pipe, hog, endless, nosy, good });
    EXPECT_EQ(made.exitCode, 1);
    const QString prefix = QStringLiteral("folioscope-batch thumbs: ");
    // The engine may add its own diagnostics of the dying renderer.
    EXPECT_EQ(ownLines(QString::fromLocal8Bit(made.err), prefix),
        prefix + QStringLiteral("not a regular file: ") + pipe + QLatin1Char('\n') + prefix + hog
            + QStringLiteral(" ran out of memory; nothing saved\n") + prefix + endless
            + QStringLiteral(" did not finish loading; saved as far as it got\n") + prefix + nosy
            + QStringLiteral(": blocked ") + secret
            + QStringLiteral(", not a file a site is made of; saved showing it blocked\n"));
    const QString thumbs = program.filePath(QStringLiteral("THUMBS/"))
        + site.path().replace(QLatin1Char('/'), QLatin1Char('=')) + QLatin1Char('/');
    const auto thumbOf = [&](const QString &page) -> QString {
        return thumbs + QFileInfo(page).fileName() + QStringLiteral(".jpg");
    };
    EXPECT_FALSE(QFileInfo::exists(thumbOf(pipe)));
    EXPECT_FALSE(QFileInfo::exists(thumbOf(hog)));
    EXPECT_TRUE(QFileInfo::exists(thumbOf(endless)));
    EXPECT_TRUE(QFileInfo::exists(thumbOf(nosy)));
    EXPECT_GT(qRed(QImage(thumbOf(good)).pixel(65, 50)), 200);
}

// --only-changed goes by file times: it makes only the thumbnails that are missing or older
// than their pages, counts only those, and makes none when run again straight after.
TEST(BatchThumbs, OnlyChangedMakesTheOutOfDateThumbnails)
{
    QTemporaryDir program;
    QTemporaryDir site;
    QStringList pages;
    for (const char *name : { "one.htm", "two.htm", "three.htm" }) {
        pages.append(site.filePath(QString::fromLatin1(name)));
        writeFile(pages.last(), "<html><body style='background:#ff0000'>x</body></html>");
    }
    const auto run = [&] {
        return runBatchTool({ QStringLiteral("thumbs"), QStringLiteral("--base-index"),
            QStringLiteral("0"), QStringLiteral("--program-folder"), program.path(),
            QStringLiteral("--only-changed"), pages.at(0), pages.at(1), pages.at(2) });
    };
    const auto thumbOf = [&](int page) {
        return imaging::ThumbFileFor(
            program.filePath(QStringLiteral("THUMBS")), site.path(), pages.at(page));
    };
    const auto lines = [&](const QList<int> &made) {
        QString text;
        for (int k = 0; k < made.size(); ++k)
            text += QStringLiteral("(%1 of %2): ").arg(k + 1).arg(made.size())
                + pages.at(made.at(k)) + QLatin1Char('\n');
        return text.toLocal8Bit();
    };
    BatchRun result = run();
    EXPECT_EQ(result.out, lines({ 0, 1, 2 })) << result.err.constData();
    result = run();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray());

    // two.htm rewritten, its thumbnail older than it; three.htm's thumbnail gone.
    writeFile(pages.at(1), "<html><body style='background:#0000ff'>x</body></html>");
    const struct stat page = [&] {
        struct stat info {};
        stat(QFile::encodeName(pages.at(1)).constData(), &info);
        return info;
    }();
    const timespec older[2] = { { page.st_mtim.tv_sec - 5, 0 }, { page.st_mtim.tv_sec - 5, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(thumbOf(1)).constData(), older, 0), 0);
    ASSERT_TRUE(QFile::remove(thumbOf(2)));
    result = run();
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, lines({ 1, 2 }));
    EXPECT_GT(qBlue(QImage(thumbOf(1)).pixel(65, 50)), 200);
    EXPECT_TRUE(QFileInfo::exists(thumbOf(2)));
    EXPECT_EQ(run().out, QByteArray());
}

TEST(BatchThumbs, BadUsageIsOneLine)
{
    const QList<QStringList> rows = {
        { QStringLiteral("thumbs") },
        { QStringLiteral("thumbs"), QStringLiteral("--base-index"), QStringLiteral("7"),
            QStringLiteral("a.htm") },
        { QStringLiteral("thumbs"), QStringLiteral("--program-folder"),
            QStringLiteral("/no/such/folder"), QStringLiteral("a.htm") },
        { QStringLiteral("thumbs"), QStringLiteral("--bogus"), QStringLiteral("a.htm") },
    };
    for (const QStringList &args : rows) {
        const BatchRun result = runBatchTool(args);
        EXPECT_EQ(result.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }
    const BatchRun help = runBatchTool({ QStringLiteral("thumbs"), QStringLiteral("--help") });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: folioscope-batch thumbs"));
}

// The commands that render are run by the renderer beside the tool; the others need nothing
// beside it.
TEST(BatchThumbs, RenderingNeedsTheRendererBesideTheTool)
{
    QTemporaryDir alone;
    const QString tool = alone.filePath(QStringLiteral("folioscope-batch"));
    ASSERT_TRUE(QFile::copy(
        QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch"), tool));
    for (const char *command : { "thumbs", "snapshot" }) {
        const BatchRun result
            = runBatchTool({ QString::fromLatin1(command), QStringLiteral("--help") }, {}, tool);
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err,
            "folioscope-batch: cannot start " + QFile::encodeName(alone.path())
                + "/folioscope-render: No such file or directory\n");
    }
    const BatchRun search = runBatchTool({ QStringLiteral("search"), alone.path() }, {}, tool);
    EXPECT_EQ(search.exitCode, 0) << search.err.constData();
}

namespace {

QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x * y) & 0xff));
    return image;
}

// A binary PPM with `missing` bytes cut from the end of its pixel data.
QByteArray ppmBytes(const QImage &image, int missing = 0)
{
    QByteArray bytes
        = QStringLiteral("P6\n%1 %2\n255\n").arg(image.width()).arg(image.height()).toLatin1();
    for (int y = 0; y < image.height(); ++y)
        bytes.append(
            reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 3);
    bytes.chop(missing);
    return bytes;
}

} // namespace

// Every output format holds exactly the resampler's bytes.
TEST(BatchResize, WritesTheResamplersPicture)
{
    QTemporaryDir dir;
    const QImage source = gradient(64, 48);
    const QString in = dir.filePath(QStringLiteral("in.ppm"));
    writeFile(in, ppmBytes(source));
    for (const int filter : { 0, 5, 6 }) {
        QImage expected(130, 100, QImage::Format_RGB888);
        const imaging::FilterEntry &entry = imaging::FilterCatalog[size_t(filter)];
        ASSERT_TRUE(imaging::ResampleBitmap(source, expected, entry.filter, entry.support));
        for (const char *suffix : { "ppm", "png", "bmp" }) {
            const QString out = dir.filePath(QStringLiteral("out.") + QLatin1String(suffix));
            const BatchRun result = runBatchTool(
                { QStringLiteral("resize"), QStringLiteral("--filter"), QString::number(filter),
                    QStringLiteral("--size"), QStringLiteral("130x100"), in, out });
            EXPECT_EQ(result.exitCode, 0) << suffix << " " << result.err.constData();
            EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB888), expected)
                << suffix << " filter " << filter;
        }
    }
    // PNG and BMP come in too; Lanczos3 is the default filter.
    const QString png = dir.filePath(QStringLiteral("in.png"));
    ASSERT_TRUE(source.save(png));
    const QString out = dir.filePath(QStringLiteral("enlarged.bmp"));
    EXPECT_EQ(
        runBatchTool({ QStringLiteral("resize"), QStringLiteral("--size=100x80"), png, out }).exitCode,
        0);
    QImage expected(100, 80, QImage::Format_RGB888);
    const imaging::FilterEntry &lanczos = imaging::FilterCatalog[imaging::kLanczos3];
    ASSERT_TRUE(imaging::ResampleBitmap(source, expected, lanczos.filter, lanczos.support));
    EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB888), expected);
}

TEST(BatchResize, BadInputAndUsage)
{
    QTemporaryDir dir;
    const QImage source = gradient(20, 10);
    const QString good = dir.filePath(QStringLiteral("good.ppm"));
    writeFile(good, ppmBytes(source));
    writeFile(dir.filePath(QStringLiteral("short.ppm")), ppmBytes(source, 7));
    writeFile(
        dir.filePath(QStringLiteral("header.ppm")), "P6\n20 ten\n255\n" + QByteArray(600, 'x'));
    writeFile(dir.filePath(QStringLiteral("huge.ppm")), "P6\n99999 99999\n255\nxyz");
    writeFile(dir.filePath(QStringLiteral("text.ppm")), "P3\n1 1\n255\n1 2 3\n");
    writeFile(dir.filePath(QStringLiteral("empty.png")), QByteArray());
    const QString out = dir.filePath(QStringLiteral("out.png"));
    const auto inDir = [&dir](const char *name) { return dir.filePath(QLatin1String(name)); };

    struct Row {
        const char *name;
        QStringList args;
        int exitCode;
        const char *inErr;
    };
    const QString size = QStringLiteral("--size=8x8");
    const Row rows[] = {
        { "too few bytes", { size, inDir("short.ppm"), out }, 1, "short.ppm" },
        { "wrong header", { size, inDir("header.ppm"), out }, 1, "header.ppm" },
        { "absurd size in the header", { size, inDir("huge.ppm"), out }, 1, "huge.ppm" },
        { "text PPM", { size, inDir("text.ppm"), out }, 1, "not a PPM (P6), PNG or BMP" },
        { "zero-byte PNG", { size, inDir("empty.png"), out }, 1, "empty.png" },
        { "missing input", { size, inDir("none.ppm"), out }, 1, "none.ppm" },
        { "one pixel wide", { QStringLiteral("--size=1x8"), good, out }, 1, "one pixel wide" },
        { "one pixel high", { QStringLiteral("--size=8x1"), good, out }, 1, "one pixel wide" },
        { "output folder missing", { size, good, inDir("no/such/out.png") }, 1, "out.png" },
        { "no size", { good, out }, 2, "--size" },
        { "zero size", { QStringLiteral("--size=0x8"), good, out }, 2, "--size" },
        { "size beyond the limit", { QStringLiteral("--size=99999x99999"), good, out }, 2,
            "--size" },
        { "size not a size", { QStringLiteral("--size=big"), good, out }, 2, "--size" },
        { "filter out of range", { QStringLiteral("--filter=7"), size, good, out }, 2, "--filter" },
        { "JPEG output", { size, good, inDir("out.jpg") }, 2, "out.jpg" },
        { "one file only", { size, good }, 2, "OUT" },
    };
    for (const Row &row : rows) {
        const BatchRun result = runBatchTool(QStringList { QStringLiteral("resize") } + row.args);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.name;
        EXPECT_TRUE(result.err.contains(row.inErr)) << row.name << ": " << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << row.name << ": one line on standard error";
        EXPECT_FALSE(QFile::exists(out)) << row.name;
    }
    EXPECT_TRUE(
        runBatchTool({ QStringLiteral("resize"), QStringLiteral("--help") }).out.contains("Lanczos3"));
}

TEST(BatchCleanThumbs, PrintsTheMenuMessage)
{
    QTemporaryDir dir;
    const QString thumbs = dir.filePath(QStringLiteral("THUMBS"));
    writeFile(thumbs + QStringLiteral("/=no=such=folder/a.htm.jpg"), "x");
    writeFile(thumbs + QStringLiteral("/=no=such=folder/b.htm.jpg"), "x");
    writeFile(dir.filePath(QStringLiteral("page.htm")), "x");
    writeFile(imaging::ThumbFileFor(thumbs, dir.path(), QStringLiteral("page.htm")), "x");
    // The baselines of the visual check go with their pages too.
    const QString looks = dir.filePath(QStringLiteral("LOOKS/"));
    writeFile(looks + QStringLiteral("=no=such=folder/a.htm.1280.png"), "x");
    writeFile(imaging::looksFileFor(looks, dir.filePath(QStringLiteral("page.htm")), 390), "x");

    BatchRun result = runBatchTool(
        { QStringLiteral("clean-thumbs"), QStringLiteral("--program-folder"), dir.path() });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray("3 thumbnails found.\n\n2 orphaned thumbnails removed.\n"
                                     "1 of 2 baseline renders removed.\n"));
    result = runBatchTool({ QStringLiteral("clean-thumbs"), QStringLiteral("--all"),
        QStringLiteral("--program-folder=") + dir.path() });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray("1 thumbnails removed.\n1 of 1 baseline renders removed.\n"));
    EXPECT_TRUE(QDir(thumbs).isEmpty());

    const BatchRun missing = runBatchTool({ QStringLiteral("clean-thumbs"),
        QStringLiteral("--program-folder"), dir.filePath(QStringLiteral("nowhere")) });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err.count('\n'), 1);
    EXPECT_EQ(runBatchTool({ QStringLiteral("clean-thumbs"), QStringLiteral("--bogus") }).exitCode, 2);
    EXPECT_TRUE(runBatchTool({ QStringLiteral("clean-thumbs"), QStringLiteral("--help") })
                    .out.contains("--all"));
}

// The clean-up keeps the thumbnail of a page with a Latin-1 name, and takes what writers
// killed half-way left in every store, when stale, and nothing else.
TEST(BatchCleanThumbs, LatinOneNamesAndWriterLeftovers)
{
    TemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString site = dir.filePath(QStringLiteral("site"));
    ASSERT_TRUE(QDir().mkpath(site));
    const QByteArray cafeBytes = QFile::encodeName(site) + QByteArray("/caf\xe9.htm");
    const int fd = ::open(cafeBytes.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString cafe = site + QStringLiteral("/caf\u00e9.htm");
    const QString thumb
        = imaging::ThumbFileFor(program + QStringLiteral("/THUMBS"), site, cafe);
    writeFile(thumb, "x");

    struct Leftover {
        const char *name;
        int ageSeconds;
        bool removed;
    };
    const QString tag = QFileInfo(thumb).dir().dirName();
    const Leftover leftovers[] = {
        { "prg.ini.aVHpsM", 3600, true },
        { "prg.ini.Bq7XzT", 30, false },
        { "FILELISTS/site.lst.Q1w2E3", 3600, true },
        { "SNAPSHOTS/snap_index_htm.jpg.DgUHRj", 3600, true },
        { "SNAPSHOTS/holiday.jpg.backup", 3600, false },
        { "notes.txt.backup", 3600, false },
    };
    const auto writeAged = [](const QString &file, int ageSeconds) {
        writeFile(file, "x");
        ASSERT_TRUE(ageFile(file, ageSeconds));
    };
    QStringList files;
    for (const Leftover &leftover : leftovers) {
        files.append(program + u'/' + QString::fromUtf8(leftover.name));
        writeAged(files.last(), leftover.ageSeconds);
    }
    const QString staleThumb = program + QStringLiteral("/THUMBS/") + tag
        + QStringLiteral("/caf\u00e9.htm.jpg.Zx9Cv8");
    writeAged(staleThumb, 3600);

    const BatchRun result = runBatchTool(
        { QStringLiteral("clean-thumbs"), QStringLiteral("--program-folder"), program });
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, QByteArray("1 thumbnails found.\n\n0 orphaned thumbnails removed.\n"));
    EXPECT_TRUE(QFile::exists(thumb));
    EXPECT_FALSE(QFile::exists(staleThumb));
    for (qsizetype i = 0; i < files.size(); ++i)
        EXPECT_EQ(QFile::exists(files[i]), !leftovers[i].removed) << leftovers[i].name;
}

TEST(BatchColourRtf, WritesTheEditorsDocument)
{
    const QByteArray body = "\\cf1 <a href=\\cf2 \"x\"\\cf1 >\\cf0 Hi\\cf1 </a>}";
    BatchRun result = runBatchTool({ QStringLiteral("colour-rtf") }, "<a href=\"x\">Hi</a>");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.startsWith("{\\rtf1\\ansi"));
    EXPECT_TRUE(result.out.endsWith(QByteArray(QByteArray("\\fs18\\cf0 ") + body)));
    EXPECT_TRUE(result.out.contains("{\\colortbl\\red0\\green0\\blue0;"));

    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.htm"));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<a href=\"x\">Hi</a>");
    file.close();
    result = runBatchTool({ QStringLiteral("colour-rtf"), QStringLiteral("--preset=4"), page });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(
        result.out.contains("{\\colortbl\\red0\\green0\\blue0;\\red192\\green192\\blue192;"));
    EXPECT_TRUE(result.out.endsWith(body));

    struct Row {
        const char *name;
        QStringList args;
        int exitCode;
        const char *inErr;
    };
    const Row rows[] = {
        { "preset out of range", { QStringLiteral("--preset"), QStringLiteral("5") }, 2,
            "--preset" },
        { "preset without value", { QStringLiteral("--preset") }, 2, "--preset" },
        { "unknown option", { QStringLiteral("--bogus") }, 2, "--bogus" },
        { "two files", { QStringLiteral("a"), QStringLiteral("b") }, 2, "only one FILE" },
        { "missing file", { QStringLiteral("/nonexistent/page.htm") }, 1, "/nonexistent/page.htm" },
    };
    for (const Row &row : rows) {
        result = runBatchTool(QStringList { QStringLiteral("colour-rtf") } + row.args);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.name;
        EXPECT_TRUE(result.err.contains(row.inErr)) << row.name;
        EXPECT_EQ(result.err.count('\n'), 1) << row.name;
        EXPECT_TRUE(result.out.isEmpty()) << row.name;
    }
    result = runBatchTool({ QStringLiteral("colour-rtf"), QStringLiteral("--help") });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("--preset N"));
}

// Baselines, then a comparison that finds a changed page, a new one and a missing one, with
// a report folder; a damaged baseline is named and an update replaces it.
TEST(BatchVisualCheck, LinesTotalsExitStatusAndReport)
{
    TemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    const QString program = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    writeFile(site + QStringLiteral("/a.htm"), "<body style='margin:0'><div style='height:50px;background:#00f'></div>");
    writeFile(site + QStringLiteral("/sub/b.html"), "<p>unchanged</p>");
    const QStringList common { QStringLiteral("visual-check"), QStringLiteral("--widths=400"),
        QStringLiteral("--program-folder"), program };
    const QString a = QDir(site).filePath(QStringLiteral("a.htm"));
    const QString b = QDir(site).filePath(QStringLiteral("sub/b.html"));

    BatchRun result = runBatchTool(common + QStringList { QStringLiteral("--update"), site });
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, (a + QStringLiteral(" [400px]: baseline stored\n") + b + QStringLiteral(" [400px]: baseline stored\n")).toUtf8());

    writeFile(a, "<body style='margin:0'><div style='height:50px;background:#f00'></div>");
    writeFile(site + QStringLiteral("/c.htm"), "<p>new");
    const QString report = dir.filePath(QStringLiteral("report"));
    result = runBatchTool(common + QStringList { QStringLiteral("--report"), report, site, site + QStringLiteral("/gone.htm") });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.startsWith((a + QStringLiteral(" [400px]: changed 6.25% of pixels in 1 region (0,0 400x50)\n")).toUtf8()))
        << result.out.constData();
    EXPECT_TRUE(result.out.contains((b + QStringLiteral(" [400px]: same\n")).toUtf8()));
    EXPECT_TRUE(result.out.contains("c.htm [400px]: new page (no baseline)\n"));
    EXPECT_TRUE(result.err.contains("no such file: "));
    EXPECT_TRUE(result.err.endsWith("visual-check: 4 renders: 1 same, 1 changed, 1 new, 1 failed\n")) << result.err.constData();
    EXPECT_EQ(QDir(report).entryList(QDir::Files).size(), 4) << "before, after, difference and index.html";

    writeFile(imaging::looksFileFor(program + QStringLiteral("/LOOKS/"), b, 400), "not a picture");
    result = runBatchTool(common + QStringList { b });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("damaged baseline")) << result.err.constData();
    EXPECT_EQ(runBatchTool(common + QStringList { QStringLiteral("--update"), b }).exitCode, 0);
    EXPECT_EQ(runBatchTool(common + QStringList { b }).exitCode, 0);

    for (const QString &bad : { QStringLiteral("--widths=5"), QStringLiteral("--threshold=2"), QStringLiteral("--bogus") })
        EXPECT_EQ(runBatchTool({ QStringLiteral("visual-check"), bad, site }).exitCode, 2) << bad.toStdString();
    EXPECT_EQ(runBatchTool({ QStringLiteral("visual-check") }).exitCode, 2);
    EXPECT_TRUE(runBatchTool({ QStringLiteral("visual-check"), QStringLiteral("--help") }).out.contains("--mask"));
}
