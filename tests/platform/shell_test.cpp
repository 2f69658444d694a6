#include "platform/shell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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
    {
        QFile script(recorder);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nout=\"$(dirname \"$0\")/args.$$\"\n"
                     "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.tmp\"\n"
                     "mv \"$out.tmp\" \"$(dirname \"$0\")/args\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    const QStringList names = { QStringLiteral("plain.htm"), QStringLiteral("two words.htm"),
        QStringLiteral("quote\"d'.htm"), QStringLiteral("semi;colon.htm"),
        QStringLiteral("$(touch pwned).htm"), QStringLiteral("`id`.htm") };
    for (const QString &name : names) {
        const QString file = dir.filePath(name);
        QFile::remove(dir.filePath(QStringLiteral("args")));
        ASSERT_TRUE(platform::launchDetached(
            platform::launchCommandFor(recorder, QStringLiteral("-n 'x y'"), file)));
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(dir.filePath(QStringLiteral("args"))) && timer.elapsed() < 10000)
            QTest::qWait(20);
        QFile args(dir.filePath(QStringLiteral("args")));
        ASSERT_TRUE(args.open(QIODevice::ReadOnly)) << name.toStdString();
        const QList<QByteArray> got = args.readAll().split('\0');
        ASSERT_EQ(got.size(), 4) << name.toStdString();
        EXPECT_EQ(got[0], "-n");
        EXPECT_EQ(got[1], "x y");
        EXPECT_EQ(QString::fromUtf8(got[2]), file);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("pwned"))));
    EXPECT_FALSE(platform::launchDetached({}));
}
