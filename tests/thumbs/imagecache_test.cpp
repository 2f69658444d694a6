#include "thumbs/imagecache.h"

#include "imaging/jpegcodec.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using thumbs::ImageCache;

namespace {

QString path(const char *name)
{
    return QStringLiteral("/prog/THUMBS/=site/") + QString::fromUtf8(name) + QStringLiteral(".jpg");
}

// Decodes any path into a picture of one colour per path; "bad" paths fail.
struct FakeDecoder {
    QHash<QString, int> decoded;
    QImage operator()(const QString &file)
    {
        ++decoded[file];
        if (file.contains(QStringLiteral("bad")))
            return {};
        QImage image(thumbs::kThumbWidth, thumbs::kThumbHeight, QImage::Format_RGB32);
        image.fill(QColor::fromRgb(uint(qHash(file)) | 0xff000000u));
        return image;
    }
};

struct Cache {
    FakeDecoder fake;
    ImageCache cache;
    explicit Cache(int max)
        : cache(max, [this](const QString &file) { return fake(file); })
    { }
};

} // namespace

TEST(ImageCache, DirectoryEntriesAndLookup)
{
    Cache c(200);
    EXPECT_EQ(c.cache.lookup(path("a.htm")), -1);
    EXPECT_TRUE(c.cache.load(path("b.htm")));
    EXPECT_TRUE(c.cache.load(path("a.htm")));
    EXPECT_TRUE(c.cache.load(path("a.htm"))); // cached: not decoded again
    EXPECT_EQ(c.fake.decoded.value(path("a.htm")), 1);
    EXPECT_EQ(c.cache.directory(),
        QStringList({ QStringLiteral("T0000001") + path("b.htm") + QStringLiteral("*0"),
            QStringLiteral("T0000002") + path("a.htm") + QStringLiteral("*1") }));
    EXPECT_EQ(c.cache.lookup(path("a.htm")), 1);
    EXPECT_EQ(c.cache.loadCounter(), 2);
    // The path is compared exactly, and must be followed by the slot: a longer name of which
    // it is the start is another thumbnail.
    EXPECT_EQ(c.cache.lookup(path("A.htm")), -1);
    EXPECT_EQ(c.cache.lookup(path("a")), -1);
    EXPECT_EQ(c.cache.lookup(QStringLiteral("/prog/THUMBS/=site/a.htm")), -1);
}

TEST(ImageCache, StarInAPosixNameIsPartOfThePath)
{
    Cache c(200);
    c.cache.load(path("x.htm"));
    ASSERT_TRUE(c.cache.load(path("a*1.htm")));
    EXPECT_EQ(c.cache.lookup(path("a*1.htm")), 1);
    EXPECT_EQ(c.cache.lookup(path("a")), -1);
}

// CACHE_MAX + 1 pictures: the next one takes the slot of the one loaded longest ago.
TEST(ImageCache, EvictionReusesTheOldestSlot)
{
    Cache c(2);
    for (const char *name : { "1.htm", "2.htm", "3.htm" })
        c.cache.load(path(name));
    EXPECT_EQ(c.cache.slotCount(), 3);
    c.cache.load(path("4.htm"));
    EXPECT_EQ(c.cache.slotCount(), 3);
    EXPECT_EQ(c.cache.lookup(path("4.htm")), 0);
    EXPECT_EQ(c.cache.lookup(path("1.htm")), -1);
    // Back to the first: it is decoded again into the slot of the second.
    c.cache.load(path("1.htm"));
    EXPECT_EQ(c.cache.lookup(path("1.htm")), 1);
    EXPECT_EQ(c.cache.lookup(path("2.htm")), -1);
    EXPECT_EQ(c.fake.decoded.value(path("1.htm")), 2);
    EXPECT_EQ(c.cache.directory().size(), 3);
}

TEST(ImageCache, ClearedSlotIsReusedFirst)
{
    Cache c(2);
    for (const char *name : { "1.htm", "2.htm", "3.htm" })
        c.cache.load(path(name));
    c.cache.invalidate(path("3.htm"));
    EXPECT_EQ(c.cache.lookup(path("3.htm")), -1);
    EXPECT_TRUE(c.cache.directory().first().startsWith(QStringLiteral("D0000003")));
    // The dead slot keeps its picture until it is reused.
    EXPECT_FALSE(c.cache.picture(2).isNull());
    c.cache.load(path("4.htm"));
    EXPECT_EQ(c.cache.lookup(path("4.htm")), 2);
    EXPECT_EQ(c.cache.lookup(path("1.htm")), 0);
    // Invalidating what is not cached changes nothing.
    const QStringList before = c.cache.directory();
    c.cache.invalidate(path("9.htm"));
    EXPECT_EQ(c.cache.directory(), before);
}

TEST(ImageCache, RefreshReplacesOnlyCachedPictures)
{
    Cache c(200);
    c.cache.load(path("a.htm"));
    QImage red(thumbs::kThumbWidth, thumbs::kThumbHeight, QImage::Format_RGB32);
    red.fill(Qt::red);
    c.cache.refresh(path("a.htm"), red);
    EXPECT_EQ(c.cache.picture(0).pixel(5, 5), qRgb(255, 0, 0));
    c.cache.refresh(path("b.htm"), red);
    EXPECT_EQ(c.cache.slotCount(), 1);
    EXPECT_EQ(c.cache.lookup(path("b.htm")), -1);
}

TEST(ImageCache, FailedDecodeAddsNothing)
{
    Cache c(200);
    EXPECT_FALSE(c.cache.load(path("bad.htm")));
    EXPECT_EQ(c.cache.slotCount(), 0);
    EXPECT_TRUE(c.cache.directory().isEmpty());
    EXPECT_EQ(c.cache.loadCounter(), 0);
}

// Past 9,999,999 loads the counter takes eight digits and the entries are never found again.
TEST(ImageCache, CounterBeyondSevenDigits)
{
    Cache c(200);
    c.cache.setLoadCounter(9999998);
    c.cache.load(path("a.htm"));
    EXPECT_EQ(c.cache.lookup(path("a.htm")), 0);
    c.cache.load(path("b.htm"));
    EXPECT_TRUE(c.cache.directory().contains(
        QStringLiteral("T10000000") + path("b.htm") + QStringLiteral("*1")));
    EXPECT_EQ(c.cache.lookup(path("b.htm")), -1);
    c.cache.load(path("b.htm"));
    EXPECT_EQ(c.cache.slotCount(), 3);
}

// Real files: whatever lies in the store, a picture of the thumbnail size or nothing.
TEST(ImageCache, StoredFilesOfEveryKind)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        const QString file = dir.filePath(QString::fromUtf8(name));
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return file;
    };
    QImage picture(thumbs::kThumbWidth, thumbs::kThumbHeight, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QByteArray good = imaging::encodeJpeg(picture, 70);
    QImage wide(400, 30, QImage::Format_RGB32);
    wide.fill(Qt::green);
    struct Row {
        const char *name;
        QByteArray bytes;
        bool cached;
    };
    const Row rows[] = {
        { "good.jpg", good, true },
        { "other size.jpg", imaging::encodeJpeg(wide, 70), true },
        { "zero.jpg", QByteArray(), false },
        { "truncated.jpg", good.left(good.size() / 3), false },
        { "garbage.jpg", QByteArray(5000, 'x'), false },
    };
    ImageCache cache(200);
    for (const Row &row : rows) {
        const QString file = write(row.name, row.bytes);
        EXPECT_EQ(cache.load(file), row.cached) << row.name;
        const int slot = cache.lookup(file);
        EXPECT_EQ(slot >= 0, row.cached) << row.name;
        if (slot >= 0) {
            EXPECT_EQ(cache.picture(slot).size(), QSize(130, 100)) << row.name;
        }
    }
    EXPECT_FALSE(cache.load(dir.filePath(QStringLiteral("missing.jpg"))));
}
