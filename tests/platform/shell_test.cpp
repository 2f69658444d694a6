#include "platform/filenames.h"
#include "platform/safefile.h"
#include "platform/shell.h"
#include "support/handover.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(Shell, CommandLineAsConfigured)
{
    EXPECT_EQ(platform::LaunchCommandLine(QStringLiteral("/usr/bin/edit"), QStringLiteral("-n"),
                  QStringLiteral("/site/index.htm")),
        QStringLiteral("\"/usr/bin/edit\" -n \"/site/index.htm\""));
    EXPECT_EQ(platform::LaunchCommandLine(
                  QStringLiteral("/usr/bin/edit"), QString(), QStringLiteral("/site/index.htm")),
        QStringLiteral("\"/usr/bin/edit\"  \"/site/index.htm\""));
}

TEST(Shell, ParametersSplitLikeAShellWithoutExpansion)
{
    struct Row {
        const char *param;
        QStringList words;
    };
    const Row rows[] = {
        { "", {} },
        { "  -n   -x ", { QStringLiteral("-n"), QStringLiteral("-x") } },
        { "--title 'my page' \"a \\\"b\\\"\"",
            { QStringLiteral("--title"), QStringLiteral("my page"), QStringLiteral("a \"b\"") } },
        { "a\\ b $(rm -rf x) ;ls",
            { QStringLiteral("a b"), QStringLiteral("$(rm"), QStringLiteral("-rf"),
                QStringLiteral("x)"), QStringLiteral(";ls") } },
        { "'unclosed quote", { QStringLiteral("unclosed quote") } },
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::splitShellWords(QString::fromLatin1(row.param)), row.words)
            << row.param;
}

// A real program records the arguments it receives: file names reach it as one argument each,
// whatever characters they hold.
TEST(Shell, TheFileIsOneArgumentWhateverItsName)
{
    QTemporaryDir dir;
    const QString recorder = dir.filePath(QStringLiteral("recorder.sh"));
    writeArgumentRecorder(recorder);
    const QStringList names = { QStringLiteral("plain.htm"), QStringLiteral("two words.htm"),
        QStringLiteral("quote\"d'.htm"), QStringLiteral("semi;colon.htm"),
        QStringLiteral("$(touch pwned).htm"), QStringLiteral("`id`.htm") };
    for (const QString &name : names) {
        const QString file = dir.filePath(name);
        ASSERT_TRUE(platform::launchDetached(
            platform::launchCommandFor(recorder, QStringLiteral("-n 'x y'"), file)));
        const QList<QByteArray> got = recordedArguments(dir.path());
        ASSERT_EQ(got.size(), 3) << name.toStdString();
        EXPECT_EQ(got[0], "-n");
        EXPECT_EQ(got[1], "x y");
        EXPECT_EQ(QString::fromUtf8(got[2]), file);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("pwned"))));
    EXPECT_FALSE(platform::launchDetached({}));
    EXPECT_FALSE(platform::launchDetached({ dir.filePath(QStringLiteral("no such program")), {} }));
}

// Names made on Windows (Latin-1 bytes) are shown in their Latin-1 reading; the program and
// the file must reach the other program by their own bytes, not by that reading's UTF-8.
TEST(Shell, LatinOneNamesReachTheProgramByTheirBytes)
{
    TemporaryDir dir;
    const QByteArray folderBytes = QFile::encodeName(dir.path()) + "/r\xe9p";
    ASSERT_EQ(::mkdir(folderBytes.constData(), 0755), 0);
    const QString folder = platform::decodeFileName(folderBytes);
    ASSERT_EQ(folder, dir.path() + QStringLiteral("/r\u00e9p"));
    writeArgumentRecorder(folder + QStringLiteral("/recorder.sh"));
    const QByteArray fileBytes = folderBytes + "/caf\xe9.htm";
    const int page = ::open(fileBytes.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(page, 0);
    ::close(page);
    const QString file = platform::decodeFileName(fileBytes);

    ASSERT_TRUE(platform::launchDetached(platform::launchCommandFor(
        folder + QStringLiteral("/recorder.sh"), QStringLiteral("-n"), file)));
    EXPECT_EQ(recordedArguments(folder), (QList<QByteArray> { "-n", fileBytes }));
}

// The desktop's opener gets url.toEncoded(): a file:// address whose percent-escapes are the
// bytes of the name on disk, so that it finds the file again.
TEST(Shell, DefaultProgramGetsTheFilesBytesAsAFileAddress)
{
    TemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray folderUrl = "file://" + folder.toPercentEncoding("/");
    struct Row {
        const char *name;
        QByteArray bytes; // of the name on disk
        bool onDisk;
        const char *encoded; // the address's end
    };
    const Row rows[] = {
        { "Latin-1 name", "caf\xe9.htm", true, "/caf%E9.htm" },
        { "UTF-8 name", "caf\xc3\xa9.htm", true, "/caf%C3%A9.htm" },
        { "missing file", "n\xc3\xa9w.htm", false, "/n%C3%A9w.htm" },
        { "reserved characters", "a b#c?d%e&f.htm", true, "/a%20b%23c%3Fd%25e%26f.htm" },
    };
    UrlRecorder opener;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray path = folder + '/' + row.bytes;
        if (row.onDisk) {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
        }
        const QString shown = platform::decodeFileName(path);
        EXPECT_EQ(platform::localFileUrl(shown).toEncoded(), folderUrl + row.encoded);
        opener.opened.clear();
        EXPECT_TRUE(platform::openWithDefaultProgram(shown));
        EXPECT_EQ(opener.opened, QList<QByteArray> { folderUrl + row.encoded });
    }
    opener.opened.clear();
    EXPECT_TRUE(platform::openWithDefaultProgram(QStringLiteral("https://folioscope.org/")));
    EXPECT_EQ(opener.opened, QList<QByteArray> { "https://folioscope.org/" });
}
