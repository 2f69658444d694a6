#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result runBatch(const QStringList &args, const QByteArray &input = {})
{
    QProcess process;
    process.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch"), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}

QString goldenPath(const QString &name)
{
    QDir dir(qEnvironmentVariable("FOLIOSCOPE_TEST_DATA"));
    if (!dir.exists(QStringLiteral("formatter")))
        dir.cd(QStringLiteral(".."));
    return dir.filePath(QStringLiteral("formatter/golden/") + name);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder with a style that signs whole-document runs.
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

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
        const Result result = runBatch(
            { QStringLiteral("format"), QStringLiteral("--mode"), QLatin1String(mode), page });
        EXPECT_EQ(result.exitCode, 0) << mode;
        EXPECT_EQ(result.out,
            readBytes(goldenPath(
                QStringLiteral("page.") + QLatin1String(mode) + QStringLiteral(".expected"))))
            << mode;
    }
}

TEST(BatchFormat, StandardInputAndEncodings)
{
    // Not UTF-8: one character per byte, every byte back as it was.
    const QByteArray latin1 = "  <P>caf\xe9 \x80\xff</P>\r\n";
    const Result result = runBatch({ QStringLiteral("format"), QStringLiteral("-") }, latin1);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray("  <p>\r\n  caf\xe9 \x80\xff\r\n  </p>\r\n"));
    const QByteArray utf8 = "<b>caf\xc3\xa9</b>";
    EXPECT_EQ(runBatch({ QStringLiteral("format") }, utf8).out, utf8 + "\r\n");
}

TEST(BatchFormat, WholeDocumentAndProgramFolder)
{
    QTemporaryDir dir;
    writeSigningStyle(dir);
    const QByteArray input = "  <p>x";
    const QByteArray signature = "<!--~ Tester, STYLE: THUMBS,  Folioscope v1.0  ~-->\r\n";
    EXPECT_EQ(runBatch({ QStringLiteral("format"), QStringLiteral("--whole"),
                           QStringLiteral("--program-folder"), dir.path() },
                  input)
                  .out,
        signature + "<P>\r\nx\r\n");
    EXPECT_EQ(
        runBatch(
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
        const Result result = runBatch(row.args);
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
    writeBytes(latin1, "  <P>caf\xe9 \x80\xff</P>\r\n");
    writeBytes(utf8, "<b>caf\xc3\xa9</b>");
    writeBytes(readOnly, "<p>x");
    const auto readWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(utf8, readWrite);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QFile::Permissions utf8Permissions = QFile::permissions(utf8);

    const Result result = runBatch({ QStringLiteral("format"), QStringLiteral("--in-place"),
        readOnly, latin1, missing, utf8 });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    const QList<QByteArray> problems = result.err.trimmed().split('\n');
    ASSERT_EQ(problems.size(), 2) << result.err.constData();
    EXPECT_TRUE(problems.at(0).contains(readOnly.toLocal8Bit())) << problems.at(0).constData();
    EXPECT_TRUE(problems.at(1).contains(missing.toLocal8Bit())) << problems.at(1).constData();

    // The others are done, each in its own encoding, with its permissions.
    EXPECT_EQ(readBytes(latin1), QByteArray("  <p>\r\n  caf\xe9 \x80\xff\r\n  </p>\r\n"));
    EXPECT_EQ(readBytes(utf8), QByteArray("<b>caf\xc3\xa9</b>\r\n"));
    EXPECT_EQ(QFile::permissions(utf8), utf8Permissions);
    // A read-only file is left as it was, also for the superuser.
    EXPECT_EQ(readBytes(readOnly), QByteArray("<p>x"));
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
        writeBytes(path, QByteArray(line + "\n").repeated(40000));
        const Result result = runBatch(
            { QStringLiteral("format"), QStringLiteral("--mode"), QStringLiteral("trim"), path });
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out == QByteArray(line + "\r\n").repeated(40000)) << line.constData();
        EXPECT_EQ(runBatch({ QStringLiteral("format"), QStringLiteral("--in-place"),
                               QStringLiteral("--mode=trim"), path })
                      .exitCode,
            0);
        EXPECT_TRUE(readBytes(path) == result.out) << line.constData();
    }
}
