#include "replacecommand.h"

#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/writefault.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome replaceRun(const QStringList &args, const QString &programFolder)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Outcome result;
    result.exitCode = batch::runReplaceCommand(
        QStringList { QStringLiteral("--program-folder"), programFolder } + args, out, err,
        programFolder);
    result.out = out.data();
    result.err = err.data();
    return result;
}

// Runs with the temporary folder as the current one, as the diff names files from there.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString &folder)
        : m_old(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

const QByteArray kIndex = "<html><head><title>Tom &amp; Jerry</title></head>\r\n"
                          "<body class=\"tom\">\r\n<p>Tom &amp; Jerry</p>\r\n</body></html>\r\n";
const QByteArray kLatin1 = "<p>caf\xE9 Tom</p>\n";

} // namespace

TEST(BatchReplace, UsageErrorsExitTwo)
{
    TemporaryDir dir;
    struct Row {
        QStringList args;
        const char *problem;
    };
    const Row rows[] = {
        { { QStringLiteral("--find=a"), dir.path() }, "--find and --with are both needed" },
        { { QStringLiteral("--find=a"), QStringLiteral("--with=b") }, "no PATH given" },
        { { QStringLiteral("--find=a"), QStringLiteral("--with=b"), QStringLiteral("--scope=body"), dir.path() },
            "--scope needs all, text, attributes, attributes=NAME or tags" },
        { { QStringLiteral("--find=(a"), QStringLiteral("--with=b"), QStringLiteral("--regex"), dir.path() },
            "The regular expression is not valid: missing closing parenthesis (at character 3)." },
        { { QStringLiteral("--find=a"), QStringLiteral("--with=b"), QStringLiteral("--frob"), dir.path() },
            "unknown option --frob" },
        { { QStringLiteral("--find"), QStringLiteral("a"), QStringLiteral("--with") }, "--with needs a value" },
        { { QStringLiteral("--undo"), QStringLiteral("19990101-000000-000") },
            "There is no replace \"19990101-000000-000\" to undo." },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.problem);
        const Outcome outcome = replaceRun(row.args, dir.path());
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains(row.problem)) << outcome.err.toStdString();
    }
    const Outcome missing = replaceRun({ QStringLiteral("--find=a"), QStringLiteral("--with=b"),
                                           dir.filePath(QStringLiteral("none")) },
        dir.path());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("none: No such file or folder")) << missing.err.toStdString();
}

TEST(BatchReplace, DiffThenApplyThenUndo)
{
    const QString patch = QStandardPaths::findExecutable(QStringLiteral("patch"));
    if (patch.isEmpty())
        GTEST_SKIP() << "patch is not installed";
    TemporaryDir dir;
    const CurrentFolder here(dir.path());
    const QString program = dir.filePath(QStringLiteral("program"));
    ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("site/index.htm")), kIndex));
    ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("site/sub/latin.html")), kLatin1));
    ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("site/notes.txt")), "Tom"));
    const QStringList args = { QStringLiteral("--find"), QStringLiteral("tom"), QStringLiteral("--with"),
        QStringLiteral("Thomas"), QStringLiteral("--scope"), QStringLiteral("text"), QStringLiteral("site") };

    const Outcome preview = replaceRun(args, program);
    EXPECT_EQ(preview.exitCode, 0) << preview.err.toStdString();
    EXPECT_TRUE(preview.err.startsWith("2 files read, 2 files changed, 3 replacements, "))
        << preview.err.toStdString();
    EXPECT_FALSE(preview.out.contains("notes.txt")); // not an HTML file type
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("site/index.htm"))), kIndex);

    // The diff, applied by patch to a copy of the site, makes what --apply writes.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("copy"))));
    ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("copy/site/index.htm")), kIndex));
    ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("copy/site/sub/latin.html")), kLatin1));
    QProcess run;
    run.setWorkingDirectory(dir.filePath(QStringLiteral("copy")));
    run.start(patch, { QStringLiteral("-p1"), QStringLiteral("--quiet") });
    ASSERT_TRUE(run.waitForStarted());
    run.write(preview.out);
    run.closeWriteChannel();
    ASSERT_TRUE(run.waitForFinished());
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    const Outcome applied = replaceRun(args + QStringList { QStringLiteral("--apply") }, program);
    EXPECT_EQ(applied.exitCode, 0) << applied.err.toStdString();
    const QString id = QString::fromUtf8(applied.out.trimmed());
    EXPECT_EQ(id.size(), 19) << applied.out.toStdString();
    for (const char *name : { "site/index.htm", "site/sub/latin.html" })
        EXPECT_EQ(fileBytes(dir.filePath(QString::fromUtf8(name))),
            fileBytes(dir.filePath(QStringLiteral("copy/") + QString::fromUtf8(name))));
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("site/sub/latin.html"))), "<p>caf\xE9 Thomas</p>\n");

    const Outcome listed = replaceRun({ QStringLiteral("--list-undo") }, program);
    EXPECT_TRUE(listed.out.startsWith(QByteArray(id.toUtf8() + "  "))) << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains("2 files  \"tom\" -> \"Thomas\" (text)"));

    const Outcome undone = replaceRun({ QStringLiteral("--undo"), id }, program);
    EXPECT_EQ(undone.exitCode, 0) << undone.err.toStdString();
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("site/index.htm"))), kIndex);
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("site/sub/latin.html"))), kLatin1);

    const Outcome nothing = replaceRun({ QStringLiteral("--find=absent"), QStringLiteral("--with=x"),
                                           QStringLiteral("site") },
        program);
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.out.isEmpty());
}

TEST(BatchReplace, AFailedWriteExitsTwoNamingTheFilesWritten)
{
    TemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString small = dir.filePath(QStringLiteral("a.htm"));
    const QString large = dir.filePath(QStringLiteral("b.htm"));
    ASSERT_TRUE(putFile(small, "old"));
    ASSERT_TRUE(putFile(large, "old" + QByteArray(300 * 1024, ' ')));
    Outcome outcome;
    {
        const FileSizeLimit full(100 * 1024);
        outcome = replaceRun({ QStringLiteral("--find=old"), QStringLiteral("--with=new"),
                                 QStringLiteral("--apply"), small, large },
            program);
    }
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.err.contains((large + QStringLiteral(": cannot write: ")).toUtf8()))
        << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains((small + QStringLiteral(": written")).toUtf8()));
    EXPECT_EQ(outcome.out.trimmed().size(), 19); // the undo id of what was written
    EXPECT_EQ(fileBytes(small), "new");
}
