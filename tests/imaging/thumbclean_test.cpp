#include "imaging/thumbclean.h"
#include "imaging/thumbstore.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::PathStyle;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

// A program folder with its thumbnail folder and a site beside it.
struct Store {
    TemporaryDir dir;
    QString thumbs = dir.filePath(u8("prog/THUMBS")) + u8("/");
    QString site = dir.filePath(u8("site"));

    // The thumbnail of `page` (relative to the site), made whether the page exists or not.
    QString thumbOf(const QString &page) const
    {
        const QString full = site + u8("/") + page;
        return imaging::ThumbFileFor(thumbs, platform::folderPart(full), full);
    }
    QString addPage(const char *page) const
    {
        touch(site + u8("/") + u8(page));
        return addThumb(page);
    }
    QString addThumb(const char *page) const
    {
        const QString thumb = thumbOf(u8(page));
        touch(thumb);
        return thumb;
    }
};

} // namespace

TEST(ThumbClean, OrphansGoPagesStay)
{
    Store store;
    const QString kept = store.addPage("index.htm");
    const QString keptDeep = store.addPage("sub/page.htm.bak");
    const QString gone = store.addThumb("gone.htm");
    const QString goneDeep = store.addThumb("old/x.html");
    touch(store.thumbs + u8("stray.jpg")); // in the folder itself: no page
    touch(store.thumbs + u8("=nowhere/short.jp")); // .jp and .j pass the mask too
    touch(store.thumbs + u8("=nowhere/a.jpeg")); // .JPEG is not .JPG
    touch(store.thumbs + u8("=nowhere/notes.txt")); // not a thumbnail
    touch(store.thumbs + u8("=nowhere/.hidden.jpg")); // hidden files are not seen

    const imaging::CleanResult result = imaging::CleanThumbFolder(store.thumbs, false);
    EXPECT_EQ(result.found, 6);
    EXPECT_EQ(result.removed, 4);
    EXPECT_TRUE(result.failed.isEmpty());
    EXPECT_EQ(result.message, u8("6 thumbnails found.\r\n\r\n4 orphaned thumbnails removed."));
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(QFile::exists(keptDeep));
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(QFile::exists(goneDeep));
    EXPECT_TRUE(QFile::exists(store.thumbs + u8("=nowhere/a.jpeg")));
    // The folder of the old pages held only thumbnails and is gone; the others stay.
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(goneDeep).path()));
    EXPECT_TRUE(QFileInfo::exists(store.thumbs + u8("=nowhere")));
}

TEST(ThumbClean, RemoveAllEmptiesOneLevelOfFolders)
{
    Store store;
    store.addPage("index.htm");
    store.addPage("sub/a.htm");
    store.addThumb("gone.htm");
    QDir().mkpath(store.thumbs + u8("=other/deeper/emptier")); // not visited below one level
    touch(store.thumbs + u8("=keep/readme.txt"));

    const imaging::CleanResult result = imaging::CleanThumbFolder(store.thumbs, true);
    EXPECT_EQ(result.removed, 3);
    EXPECT_EQ(result.message, u8("3 thumbnails removed."));
    EXPECT_TRUE(QFile::exists(store.site + u8("/index.htm"))) << "pages are never touched";
    EXPECT_EQ(QDir(store.thumbs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList({ u8("=keep"), u8("=other") }));
}

TEST(ThumbClean, EmptyAndVanishedFolders)
{
    Store store;
    ASSERT_TRUE(QDir().mkpath(store.thumbs));
    EXPECT_EQ(imaging::CleanThumbFolder(store.thumbs, false).message,
        u8("0 thumbnails found.\r\n\r\n0 orphaned thumbnails removed."));
    EXPECT_EQ(imaging::CleanThumbFolder(store.dir.filePath(u8("missing/")), true).message,
        u8("0 thumbnails removed."));
}

// Links lead out of the thumbnail folder: nothing outside it is ever deleted.
TEST(ThumbClean, NeverFollowsLinksOut)
{
    Store store;
    touch(store.dir.filePath(u8("outside/precious.jpg")));
    ASSERT_TRUE(QDir().mkpath(store.thumbs));
    ASSERT_TRUE(QFile::link(store.dir.filePath(u8("outside")), store.thumbs + u8("=linked")));
    ASSERT_TRUE(
        QFile::link(store.dir.filePath(u8("outside/precious.jpg")), store.thumbs + u8("=x.jpg")));
    imaging::CleanThumbFolder(store.thumbs, true);
    EXPECT_TRUE(QFile::exists(store.dir.filePath(u8("outside/precious.jpg"))));
    EXPECT_FALSE(QFileInfo(store.thumbs + u8("=x.jpg")).isSymLink());
}

// A folder that refuses deletions: the message counts only what is gone.
TEST(ThumbClean, ReadOnlyFolderIsNotCountedAsRemoved)
{
    Store store;
    const QString thumb = store.addThumb("locked/gone.htm");
    const QString folder = QFileInfo(thumb).path();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const imaging::CleanResult result = imaging::CleanThumbFolder(store.thumbs, false);
    QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(result.found, 1);
    if (::geteuid() == 0) {
        EXPECT_EQ(result.removed, 1) << "root deletes all the same";
    } else {
        EXPECT_EQ(result.removed, 0);
        EXPECT_EQ(result.failed, QStringList { thumb });
        EXPECT_TRUE(QFile::exists(thumb));
    }
}

// Folders "a=b" and "a/b" each keep a thumbnail of their own. The old rule (the "=" not
// escaped) gave them one file, which now belongs to "a/b" alone.
TEST(ThumbClean, EqualsSignFoldersKeepTheirOwnThumbnails)
{
    Store store;
    const QString odd = store.addPage("a=b/c=d/page.htm");
    const QString plain = store.addPage("a/b/c/d/page.htm");
    const QString percent = store.addPage("50%/page.htm");
    const QString orphan = store.addThumb("a=b/missing.htm");
    EXPECT_NE(odd, plain);
    EXPECT_EQ(QString(odd).replace(u8("%3D"), u8("=")), plain);
    EXPECT_FALSE(imaging::ThumbIsOrphaned(store.thumbs, odd));
    EXPECT_FALSE(imaging::ThumbIsOrphaned(store.thumbs, plain));
    EXPECT_FALSE(imaging::ThumbIsOrphaned(store.thumbs, percent));
    EXPECT_TRUE(imaging::ThumbIsOrphaned(store.thumbs, orphan));
    // A thumbnail named by the old rule for a folder holding "%" is not that folder's now.
    const QString oldPercent = QString(percent).replace(u8("%25"), u8("%"));
    touch(oldPercent);
    EXPECT_TRUE(imaging::ThumbIsOrphaned(store.thumbs, oldPercent));

    ASSERT_TRUE(QFile::remove(store.site + u8("/a/b/c/d/page.htm")));
    const imaging::CleanResult result = imaging::CleanThumbFolder(store.thumbs, false);
    EXPECT_EQ(result.removed, 3);
    EXPECT_TRUE(QFile::exists(odd));
    EXPECT_TRUE(QFile::exists(percent));
    EXPECT_FALSE(QFile::exists(plain));
    EXPECT_FALSE(QFile::exists(oldPercent));
}

// A page whose name is Latin-1 bytes (caf\xe9.htm) is shown as café.htm; its thumbnail keeps
// the UTF-8 name it always had and is found to belong to the page by the page's bytes.
TEST(ThumbClean, LatinOneNamedPagesKeepTheirThumbnails)
{
    Store store;
    ASSERT_TRUE(QDir().mkpath(store.site + u8("/d")));
    const QByteArray folderBytes = QFile::encodeName(store.site) + QByteArray("/d\xe9j\xe0");
    const QByteArray cafeBytes = QFile::encodeName(store.site) + QByteArray("/caf\xe9.htm");
    ASSERT_EQ(::mkdir(folderBytes.constData(), 0755), 0);
    for (const QByteArray &page : { cafeBytes, QByteArray(folderBytes + "/caf\xe9.htm") }) {
        const int fd = ::open(page.constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const QString cafe = store.addThumb("caf\u00e9.htm");
    const QString deeper = store.addThumb("d\u00e9j\u00e0/caf\u00e9.htm");
    EXPECT_TRUE(QFile::exists(store.thumbs + u8("=") + store.site.mid(1).replace(u'/', u'=')
        + u8("/caf\u00e9.htm.jpg")))
        << "the thumbnail's name is UTF-8";
    EXPECT_FALSE(imaging::ThumbIsOrphaned(store.thumbs, cafe));
    EXPECT_FALSE(imaging::ThumbIsOrphaned(store.thumbs, deeper));
    EXPECT_FALSE(imaging::ThumbOutOfDate(store.thumbs, store.site + u8("/caf\u00e9.htm")));
    EXPECT_EQ(imaging::CleanThumbFolder(store.thumbs, false).removed, 0);
    EXPECT_TRUE(QFile::exists(cafe));

    ASSERT_EQ(::unlink(cafeBytes.constData()), 0);
    EXPECT_TRUE(imaging::ThumbIsOrphaned(store.thumbs, cafe));
}

TEST(ThumbClean, OrphansInWindowsForm)
{
    const QString thumbs = u8("C:\\TOOLS\\FS\\THUMBS\\");
    struct Row {
        const char *name;
        const char *thumb;
        bool orphaned;
    };
    const Row rows[] = {
        { "network folder: kept", "C:\\TOOLS\\FS\\THUMBS\\==server=share=docs\\a.htm.jpg", false },
        { "missing drive folder", "C:\\TOOLS\\FS\\THUMBS\\Q==No=Such\\a.htm.jpg", true },
        { "drive root", "C:\\TOOLS\\FS\\THUMBS\\Q==\\a.htm.jpg", true },
        { "in the folder itself", "C:\\TOOLS\\FS\\THUMBS\\stray.jpg", true },
    };
    for (const Row &row : rows)
        EXPECT_EQ(imaging::ThumbIsOrphaned(thumbs, u8(row.thumb), PathStyle::Windows), row.orphaned)
            << row.name;
}

TEST(ThumbClean, ClearThumbDeletesAndTellsTheCache)
{
    Store store;
    touch(store.site + u8("/index.htm"));
    const QString thumb = store.addThumb("index.htm");
    QStringList told;
    const auto invalidate = [&told](const QString &path) { told.append(path); };
    imaging::ClearThumb(store.thumbs, store.site + u8("/index.htm"), invalidate);
    EXPECT_FALSE(QFile::exists(thumb));
    EXPECT_TRUE(QFile::exists(store.site + u8("/index.htm")));
    // Again, with the thumbnail gone already: no error, the cache is told all the same.
    imaging::ClearThumb(store.thumbs, store.site + u8("/index.htm"), invalidate);
    EXPECT_EQ(told, QStringList({ thumb, thumb }));
    imaging::ClearThumb(store.thumbs, store.site + u8("/index.htm"));
}

// A page folder deeper than a folder name may be long still has a thumbnail; the clean-up maps
// it back to its page and removes the levels it leaves empty.
TEST(ThumbClean, DeepFolderThumbnails)
{
    Store store;
    QString deep;
    for (int i = 0; i < 10; ++i)
        deep += QString(27, QChar(u'a' + i)) + u8("/");
    const QString page = deep + u8("index.htm");
    const QString thumb = store.addPage(page.toUtf8().constData());
    EXPECT_FALSE(imaging::ThumbIsOrphaned(store.thumbs, thumb));
    EXPECT_EQ(imaging::CleanThumbFolder(store.thumbs, false).removed, 0);
    EXPECT_TRUE(QFile::exists(thumb));

    ASSERT_TRUE(QFile::remove(store.site + u8("/") + page));
    EXPECT_TRUE(imaging::ThumbIsOrphaned(store.thumbs, thumb));
    const imaging::CleanResult result = imaging::CleanThumbFolder(store.thumbs, false);
    EXPECT_EQ(result.found, 1);
    EXPECT_EQ(result.removed, 1);
    EXPECT_TRUE(QDir(store.thumbs).isEmpty());
}
