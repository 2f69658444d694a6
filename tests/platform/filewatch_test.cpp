#include "platform/filewatch.h"

#include "support/tempdir.h"
#include "support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

using platform::FileWatch;

namespace {

void saveByRename(const QString &path, const QByteArray &bytes)
{
    writeFile(path + QStringLiteral(".tmp"), bytes);
    ASSERT_EQ(::rename(QFile::encodeName(path + QStringLiteral(".tmp")).constData(),
                  QFile::encodeName(path).constData()),
        0);
}

void touch(const QString &path)
{
    struct timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// Every report the watch gives until it has been silent for `silenceMs`.
QList<QStringList> reportsUntilSilent(QSignalSpy &spy, int silenceMs = 400)
{
    while (spy.wait(silenceMs)) {
    }
    QList<QStringList> reports;
    for (const QList<QVariant> &arguments : std::as_const(spy))
        reports.append(arguments.at(0).toStringList());
    return reports;
}

struct SaveStyle {
    const char *name;
    std::function<void()> save;
    std::vector<const char *> changed; // names, relative to the folder
};

class FileWatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char *name : {"a.htm", "b.htm", "c.css"})
            writeFile(path(name), "first");
    }
    QString path(const char *name) const
    {
        return dir.path() + QLatin1Char('/') + QString::fromUtf8(name);
    }
    QStringList paths(const std::vector<const char *> &names) const
    {
        QStringList result;
        for (const char *name : names)
            result.append(path(name));
        return result;
    }

    TemporaryDir dir;
};

} // namespace

// One report per save, naming just the files saved, whatever way a program saves.
TEST_F(FileWatchTest, EverySaveStyleGivesOneReportOfTheFilesSaved)
{
    const QList<SaveStyle> styles = {
        {"write in place", [this] { writeFile(path("a.htm"), "second"); }, {"a.htm"}},
        {"write a new file, rename it over",
            [this] { saveByRename(path("a.htm"), "second"); }, {"a.htm"}},
        {"delete, create anew",
            [this] {
                QFile::remove(path("a.htm"));
                writeFile(path("a.htm"), "second");
            },
            {"a.htm"}},
        {"touch", [this] { touch(path("b.htm")); }, {"b.htm"}},
        {"two writes in a row",
            [this] {
                writeFile(path("a.htm"), "second");
                writeFile(path("a.htm"), "third");
            },
            {"a.htm"}},
        {"several files saved together",
            [this] {
                writeFile(path("a.htm"), "second");
                saveByRename(path("c.css"), "second");
                touch(path("b.htm"));
            },
            {"a.htm", "b.htm", "c.css"}},
        {"a file not followed", [this] { writeFile(path("other.htm"), "x"); }, {}},
        {"a page replaced by a folder",
            [this] {
                QFile::remove(path("b.htm"));
                QDir(dir.path()).mkdir(QStringLiteral("b.htm"));
            },
            {"b.htm"}},
    };
    for (const SaveStyle &style : styles) {
        SCOPED_TRACE(style.name);
        QDir(dir.path()).rmdir(QStringLiteral("b.htm"));
        SetUp();
        FileWatch watch;
        watch.setFiles(paths({"a.htm", "b.htm", "c.css"}));
        QSignalSpy spy(&watch, &FileWatch::filesChanged);
        style.save();
        const QList<QStringList> reports = reportsUntilSilent(spy);
        if (style.changed.empty()) {
            EXPECT_TRUE(reports.isEmpty());
            continue;
        }
        ASSERT_EQ(reports.size(), 1);
        EXPECT_EQ(reports.first(), paths(style.changed));
    }
}

TEST_F(FileWatchTest, ALinkIsFollowedToItsTargetInAnotherFolder)
{
    QDir(dir.path()).mkdir(QStringLiteral("real"));
    writeFile(path("real/page.htm"), "first");
    ASSERT_TRUE(QFile::link(path("real/page.htm"), path("link.htm")));
    FileWatch watch;
    watch.setFiles({path("link.htm")});
    QSignalSpy spy(&watch, &FileWatch::filesChanged);
    writeFile(path("real/page.htm"), "second");
    EXPECT_EQ(reportsUntilSilent(spy), QList<QStringList>{{path("link.htm")}});
}

// A folder that goes away reports its files once; when it comes back, it is followed again.
TEST_F(FileWatchTest, AFolderDeletedOrRenamedIsReportedOnceAndFollowedWhenBack)
{
    QDir(dir.path()).mkdir(QStringLiteral("site"));
    writeFile(path("site/page.htm"), "first");
    FileWatch watch;
    watch.setFiles({path("site/page.htm")});
    QSignalSpy spy(&watch, &FileWatch::filesChanged);
    ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("site"), QStringLiteral("moved")));
    EXPECT_EQ(reportsUntilSilent(spy), QList<QStringList>{{path("site/page.htm")}});

    spy.clear();
    writeFile(path("moved/page.htm"), "not followed any more");
    EXPECT_TRUE(reportsUntilSilent(spy).isEmpty());

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("site")));
    writeFile(path("site/page.htm"), "back");
    EXPECT_EQ(reportsUntilSilent(spy, 1500), QList<QStringList>{{path("site/page.htm")}});
    spy.clear();
    writeFile(path("site/page.htm"), "watched again");
    EXPECT_EQ(reportsUntilSilent(spy), QList<QStringList>{{path("site/page.htm")}});
    EXPECT_FALSE(watch.isPolling());
}

TEST_F(FileWatchTest, PastTheWatchLimitFoldersArePolledAndThatIsSaidOnce)
{
    QDir(dir.path()).mkdir(QStringLiteral("one"));
    QDir(dir.path()).mkdir(QStringLiteral("two"));
    writeFile(path("one/a.htm"), "first");
    writeFile(path("two/b.htm"), "first");
    FileWatch watch;
    watch.setFolderLimit(1);
    QSignalSpy limit(&watch, &FileWatch::pollingStarted);
    watch.setFiles({path("one/a.htm"), path("two/b.htm"), path("a.htm")});
    EXPECT_EQ(limit.size(), 1);
    EXPECT_TRUE(watch.isPolling());
    QSignalSpy spy(&watch, &FileWatch::filesChanged);
    writeFile(path("two/b.htm"), "second, longer");
    writeFile(path("a.htm"), "second, longer");
    const QList<QStringList> reports = reportsUntilSilent(spy, 1500);
    QStringList seen;
    for (const QStringList &report : reports)
        seen += report;
    seen.sort();
    EXPECT_EQ(seen, QStringList({path("a.htm"), path("two/b.htm")}));
    EXPECT_EQ(limit.size(), 1);
}

// A file rewritten without pause is reported at most ten times a second, and its last
// state is always reported.
TEST_F(FileWatchTest, ASteadyStreamOfWritesIsReportedAtTheIntervalAndEndsWithTheLast)
{
    FileWatch watch;
    watch.setFiles({path("a.htm")});
    QSignalSpy spy(&watch, &FileWatch::filesChanged);
    QElapsedTimer clock;
    clock.start();
    qint64 lastReport = -1;
    QObject::connect(&watch, &FileWatch::filesChanged, [&] { lastReport = clock.elapsed(); });
    int writes = 0;
    while (clock.elapsed() < 1000) {
        writeFile(path("a.htm"), QByteArray::number(++writes));
        QTest::qWait(5);
    }
    const qint64 lastWrite = clock.elapsed();
    const int reportsWhileWriting = int(spy.size());
    reportsUntilSilent(spy);
    EXPECT_GE(reportsWhileWriting, 3);
    EXPECT_LE(spy.size(), 1 + lastWrite / 100 + 1);
    EXPECT_GE(lastReport, lastWrite);
}

// Setting the files anew, as a list read again does, loses no change not yet reported.
TEST_F(FileWatchTest, SettingTheSameFilesAgainKeepsAChangeNotYetReported)
{
    FileWatch watch;
    watch.setTiming(300, 0, 100);
    watch.setFiles(paths({"a.htm", "b.htm"}));
    QSignalSpy spy(&watch, &FileWatch::filesChanged);
    writeFile(path("a.htm"), "second");
    QTest::qWait(100);
    watch.setFiles(paths({"a.htm", "b.htm", "c.css"}));
    EXPECT_EQ(reportsUntilSilent(spy, 800), QList<QStringList>{paths({"a.htm"})});
}

// With no inotify instance left to this user, the folders are polled and that is said once.
TEST_F(FileWatchTest, WithoutAnInotifyInstanceEveryFolderIsPolled)
{
    rlimit files {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    rlimit none = files;
    none.rlim_cur = 0; // no new descriptor, so no inotify instance
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    FileWatch watch;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    QSignalSpy limit(&watch, &FileWatch::pollingStarted);
    watch.setFiles(paths({"a.htm", "b.htm"}));
    EXPECT_EQ(limit.size(), 1);
    EXPECT_TRUE(watch.isPolling());
    QSignalSpy spy(&watch, &FileWatch::filesChanged);
    writeFile(path("b.htm"), "second, longer");
    EXPECT_EQ(reportsUntilSilent(spy, 1500), QList<QStringList>{paths({"b.htm"})});
}
