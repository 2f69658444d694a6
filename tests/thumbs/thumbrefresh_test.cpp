#include "thumbs/thumbrefresh.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A queue over real files in a temporary folder; the remake records the page and runs the
// test's action (the page changing while it is captured, a batch starting, ...).
struct QueueFixture {
    QTemporaryDir dir;
    QSet<QString> wanted;
    QStringList remade;
    std::function<void(const QString &page)> during;
    thumbs::ThumbRefreshQueue queue {
        [this](const QString &page) {
            remade.append(page);
            if (during)
                during(page);
        },
        [this](const QString &page) { return wanted.contains(page); }
    };

    QueueFixture() { queue.setQuietTime(0); }

    QString write(const QString &name, const QByteArray &content = "<p>x</p>")
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QString wantedPage(const QString &name)
    {
        wanted.insert(write(name));
        return dir.filePath(name);
    }
    bool idle() const { return queue.waitingCount() == 0 && !queue.isRemaking(); }
    void drain() { EXPECT_TRUE(QTest::qWaitFor([this] { return idle(); }, 10000)); }
    // Lets queued timers run without anything to wait for.
    static void spin()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

} // namespace

// Each wanted page is remade once however often it is named; a page gone or replaced by a
// folder before its turn is dropped, and one not wanted is never queued.
TEST(ThumbRefreshQueue, RemakesEachWantedPageOnceAndDropsThoseThatWent)
{
    QueueFixture f;
    const QString a = f.wantedPage(QStringLiteral("a.htm"));
    const QString b = f.write(QStringLiteral("b.htm"));
    const QString gone = f.wantedPage(QStringLiteral("gone.htm"));
    const QString folder = f.wantedPage(QStringLiteral("folder.htm"));
    const QString e = f.wantedPage(QStringLiteral("e.htm"));
    f.queue.pagesChanged({ a, a, b, gone, folder, e, a });
    EXPECT_EQ(f.queue.waitingCount(), 4);
    ASSERT_TRUE(QFile::remove(gone));
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().mkpath(folder));
    f.drain();
    f.remade.sort();
    EXPECT_EQ(f.remade, QStringList({ a, e }));
}

// What happens during a remake: the page changing again (remade once more: the newer content
// wins), a batch starting (nothing starts until it ends; the page given up is remade after),
// another folder being shown (the queue cleared: nothing more).
TEST(ThumbRefreshQueue, WhatHappensDuringARemakeDecidesWhatFollows)
{
    struct Row {
        const char *name;
        std::function<void(QueueFixture &, const QString &page)> during;
        int remakes;
    };
    const Row rows[] = {
        { "page saved again",
            [](QueueFixture &f, const QString &page) {
                f.write(QFileInfo(page).fileName(), "<p>newer and longer</p>");
            },
            2 },
        { "batch started", [](QueueFixture &f, const QString &) { f.queue.pause(); }, 2 },
        { "queue cleared",
            [](QueueFixture &f, const QString &page) {
                f.write(QFileInfo(page).fileName(), "<p>newer and longer</p>");
                f.queue.clear();
            },
            1 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QueueFixture f;
        const QString page = f.wantedPage(QStringLiteral("page.htm"));
        f.during = [&](const QString &changed) {
            f.during = nullptr;
            row.during(f, changed);
        };
        f.queue.pagesChanged({ page });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.remade.isEmpty(); }, 10000));
        QueueFixture::spin();
        if (f.queue.isPaused()) {
            EXPECT_EQ(f.remade.size(), 1); // nothing while the batch runs
            f.queue.resume();
        }
        f.drain();
        QueueFixture::spin();
        EXPECT_EQ(f.remade.size(), row.remakes);
    }
}

TEST(ThumbRefreshQueue, NothingStartsWhilePausedOrAfterAClear)
{
    QueueFixture f;
    const QString a = f.wantedPage(QStringLiteral("a.htm"));
    f.queue.pause();
    f.queue.pause();
    f.queue.pagesChanged({ a });
    QueueFixture::spin();
    f.queue.resume();
    QueueFixture::spin();
    EXPECT_TRUE(f.remade.isEmpty()); // pauses nest
    f.queue.resume();
    f.drain();
    EXPECT_EQ(f.remade, QStringList({ a }));

    f.queue.pagesChanged({ a });
    f.queue.clear();
    QueueFixture::spin();
    EXPECT_EQ(f.remade.size(), 1);
}

// A page just written waits for the quiet time before it is remade.
TEST(ThumbRefreshQueue, AFreshlySavedPageWaitsUntilQuiet)
{
    QueueFixture f;
    f.queue.setQuietTime(300);
    QElapsedTimer clock;
    clock.start();
    const QString a = f.wantedPage(QStringLiteral("a.htm"));
    f.queue.pagesChanged({ a });
    f.drain();
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_EQ(f.remade, QStringList({ a }));
}

// Ten thousand files changed at once: only the few wanted ones are queued, each remade once.
TEST(ThumbRefreshQueue, AStormOfChangesQueuesOnlyTheWantedPages)
{
    QueueFixture f;
    QStringList changed;
    for (int i = 0; i < 10000; ++i) {
        const QString name = QStringLiteral("p%1.htm").arg(i);
        changed.append(i % 2000 == 0 ? f.wantedPage(name) : f.dir.filePath(name));
    }
    f.queue.pagesChanged(changed);
    f.queue.pagesChanged(changed);
    EXPECT_EQ(f.queue.waitingCount(), 5);
    f.drain();
    EXPECT_EQ(f.remade.size(), 5);
}
