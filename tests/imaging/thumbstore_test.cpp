#include "imaging/thumbstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>

using imaging::EncodeThumbFolder;
using imaging::PageFileFor;
using imaging::ThumbFileFor;
using platform::PathStyle;

namespace {

const QString kWinThumbs = QStringLiteral("C:\\TOOLS\\FS\\THUMBS\\");
const QString kPosixThumbs = QStringLiteral("/opt/fs/THUMBS/");

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

// The worked examples of the thumbnail store, in the Windows style on every platform.
TEST(ThumbStore, WorkedExamplesInWindowsStyle)
{
    struct Row {
        const char *name;
        const char *folder;
        const char *page;
        const char *tag;
        const char *thumb;
        const char *back;
    };
    const Row rows[] = {
        {"plain folder", "C:\\Web\\Site", "index.htm", "C==Web=Site\\",
         "C:\\TOOLS\\FS\\THUMBS\\C==Web=Site\\index.htm.jpg", "C:\\Web\\Site\\index.htm"},
        {"drive root", "C:\\", "index.htm", "C==\\", "C:\\TOOLS\\FS\\THUMBS\\C==\\index.htm.jpg",
         "C:\\index.htm"},
        {"long names and blanks", "D:\\My Web Pages\\Product Pages",
         "Summer Catalogue Overview.html", "D==My Web Pages=Product Pages\\",
         "C:\\TOOLS\\FS\\THUMBS\\D==My Web Pages=Product Pages\\Summer Catalogue Overview.html.jpg",
         "D:\\My Web Pages\\Product Pages\\Summer Catalogue Overview.html"},
        {"picture", "C:\\Web", "logo.gif", "C==Web\\",
         "C:\\TOOLS\\FS\\THUMBS\\C==Web\\logo.gif.jpg", "C:\\Web\\logo.gif"},
        {"network folder", "\\\\server\\share\\docs", "a.htm", "==server=share=docs\\",
         "C:\\TOOLS\\FS\\THUMBS\\==server=share=docs\\a.htm.jpg", ":\\server\\share\\docs\\a.htm"},
        {"second extension kept", "C:\\Web", "page.htm.bak", "C==Web\\",
         "C:\\TOOLS\\FS\\THUMBS\\C==Web\\page.htm.bak.jpg", "C:\\Web\\page.htm.bak"},
        {"equals sign in a folder: tags collide", "C:\\a=b", "x.htm", "C==a=b\\",
         "C:\\TOOLS\\FS\\THUMBS\\C==a=b\\x.htm.jpg", "C:\\a\\b\\x.htm"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = u8(row.folder);
        EXPECT_EQ(EncodeThumbFolder(folder, PathStyle::Windows), u8(row.tag));
        const QString thumb = ThumbFileFor(kWinThumbs, folder, u8(row.page), PathStyle::Windows);
        EXPECT_EQ(thumb, u8(row.thumb));
        EXPECT_EQ(PageFileFor(kWinThumbs, thumb, PathStyle::Windows), u8(row.back));
    }
}

TEST(ThumbStore, WindowsEdgeCases)
{
    // With or without the trailing backslash, one tag.
    EXPECT_EQ(EncodeThumbFolder(u8("C:\\Web\\Site\\"), PathStyle::Windows), u8("C==Web=Site\\"));
    EXPECT_EQ(EncodeThumbFolder(u8("C:\\Web\\Site\\\\"), PathStyle::Windows), u8("C==Web=Site\\"));
    // Only the file-name part of the page counts, after a backslash or a colon.
    EXPECT_EQ(ThumbFileFor(kWinThumbs, u8("C:\\Web"), u8("D:\\Other\\a.htm"), PathStyle::Windows),
              u8("C:\\TOOLS\\FS\\THUMBS\\C==Web\\a.htm.jpg"));
    EXPECT_EQ(ThumbFileFor(kWinThumbs, u8("C:\\Web"), u8("D:a.htm"), PathStyle::Windows),
              u8("C:\\TOOLS\\FS\\THUMBS\\C==Web\\a.htm.jpg"));
    // Pages in C:\a=b\ and C:\a\b\ share one thumbnail, which maps back to C:\a\b\.
    EXPECT_EQ(ThumbFileFor(kWinThumbs, u8("C:\\a=b"), u8("x.htm"), PathStyle::Windows),
              ThumbFileFor(kWinThumbs, u8("C:\\a\\b"), u8("x.htm"), PathStyle::Windows));
    // A picture lying directly in the thumbnail folder belongs to no folder.
    EXPECT_EQ(PageFileFor(kWinThumbs, u8("C:\\TOOLS\\FS\\THUMBS\\stray.jpg"), PathStyle::Windows),
              u8("stray"));
    // The thumbnail folder is found in any letter case.
    EXPECT_EQ(
        PageFileFor(kWinThumbs, u8("c:\\tools\\fs\\thumbs\\C==Web\\a.htm.jpg"), PathStyle::Windows),
        u8("C:\\Web\\a.htm"));
    // The page keeps its letter case; only the thumbnail folder is upper case.
    EXPECT_EQ(ThumbFileFor(kWinThumbs, u8("c:\\web"), u8("Index.HTM"), PathStyle::Windows),
              u8("C:\\TOOLS\\FS\\THUMBS\\c==web\\Index.HTM.jpg"));
}

// An "=" in a page's own name is not part of the tag and comes back unchanged.
TEST(ThumbStore, EqualsSignInFileNameSurvives)
{
    const QString thumb =
        ThumbFileFor(kWinThumbs, u8("C:\\Web"), u8("a=b==c.htm"), PathStyle::Windows);
    EXPECT_EQ(thumb, u8("C:\\TOOLS\\FS\\THUMBS\\C==Web\\a=b==c.htm.jpg"));
    EXPECT_EQ(PageFileFor(kWinThumbs, thumb, PathStyle::Windows), u8("C:\\Web\\a=b==c.htm"));
    const QString posix = ThumbFileFor(kPosixThumbs, u8("/srv"), u8("x=y.htm"), PathStyle::Posix);
    EXPECT_EQ(PageFileFor(kPosixThumbs, posix, PathStyle::Posix), u8("/srv/x=y.htm"));
}

TEST(ThumbStore, PosixTagsAndRoundTrips)
{
    struct Row {
        const char *name;
        const char *folder;
        const char *tag;
    };
    const Row rows[] = {
        {"plain", "/home/u/site", "=home=u=site/"},
        {"trailing slash", "/home/u/site/", "=home=u=site/"},
        {"root", "/", "=/"},
        {"blanks and backslash are plain characters", "/srv/My Pages/a\\b", "=srv=My Pages=a\\b/"},
        {"non-ASCII", "/home/j\u00FCrgen/\u30B5\u30A4\u30C8",
         "=home=j\u00FCrgen=\u30B5\u30A4\u30C8/"},
        {"equals sign escaped", "/x/a=b", "=x=a%3Db/"},
        {"escape character escaped", "/x/50%/off", "=x=50%25=off/"},
        {"an escape read once", "/x/%3D=", "=x=%253D%3D/"},
        {"a name that is all equals signs", "/==/x", "=%3D%3D=x/"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = u8(row.folder);
        EXPECT_EQ(EncodeThumbFolder(folder, PathStyle::Posix), u8(row.tag));
        const QString thumb = ThumbFileFor(kPosixThumbs, folder, u8("index.htm"), PathStyle::Posix);
        EXPECT_EQ(thumb, kPosixThumbs + u8(row.tag) + u8("index.htm.jpg"));
        const QString page = QDir::cleanPath(folder + u8("/index.htm"));
        EXPECT_EQ(PageFileFor(kPosixThumbs, thumb, PathStyle::Posix), page);
    }
}

// A folder name holding "=" no longer shares its tag with the folders it spells out.
TEST(ThumbStore, EqualsSignFoldersGetTagsOfTheirOwn)
{
    const QStringList folders
        = { u8("/x/a=b"), u8("/x/a/b"), u8("/x=a/b"), u8("/x/a%3Db"), u8("/x/a%b") };
    QStringList thumbs;
    for (const QString &folder : folders) {
        const QString thumb = ThumbFileFor(kPosixThumbs, folder, u8("p.html"), PathStyle::Posix);
        EXPECT_FALSE(thumbs.contains(thumb)) << thumb.toStdString();
        thumbs.append(thumb);
        EXPECT_EQ(PageFileFor(kPosixThumbs, thumb, PathStyle::Posix), folder + u8("/p.html"));
    }
    // The Windows form keeps its rule: such tags collide there.
    EXPECT_EQ(imaging::FolderOfThumbTag(u8("C==a=b"), PathStyle::Windows), u8("C:\\a\\b\\"));
}

// Native paths of this machine survive the trip through the thumbnail folder.
TEST(ThumbStore, NativeRoundTrip)
{
    const QString thumbs = QDir::toNativeSeparators(QDir::tempPath() + u8("/FS/THUMBS/"));
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    const QString thumb = ThumbFileFor(thumbs, folder, u8("page.html"));
    EXPECT_TRUE(thumb.startsWith(thumbs));
    EXPECT_EQ(PageFileFor(thumbs, thumb),
              platform::WithTrailingBackslash(folder) + u8("page.html"));
}

// A tag longer than a folder name may be (255 bytes, 255 units on Windows) is cut into levels
// that each fit; tags that fit stay as they are, and every thumbnail maps back to its page.
TEST(ThumbStore, DeepFolderTagsSplitIntoLevels)
{
    const auto repeated = [](const QString &name, int times) {
        QString folder;
        for (int i = 0; i < times; ++i)
            folder += u8("/") + name;
        return folder;
    };
    struct Row {
        const char *name;
        QString folder;
        PathStyle style;
        int levels;
    };
    const QString letters27(27, u'x');
    const Row rows[] = {
        { "254 bytes fit", u8("/") + QString(253, u'a'), PathStyle::Posix, 1 },
        { "255 bytes fit", u8("/") + QString(254, u'a'), PathStyle::Posix, 1 },
        { "256 bytes", u8("/") + QString(255, u'a'), PathStyle::Posix, 2 },
        { "ten names of 27 letters", repeated(letters27, 10), PathStyle::Posix, 2 },
        { "85 CJK letters", u8("/") + QString(85, QChar(0x4E2D)), PathStyle::Posix, 2 },
        { "84 CJK letters fit", u8("/") + QString(84, QChar(0x4E2D)), PathStyle::Posix, 1 },
        { "pairs at the cut", u8("/a") + QString::fromUcs4(U"\U0001F600").repeated(80),
            PathStyle::Posix, 2 },
        { "no level starts with a dot", u8("/") + QString(254, u'a') + u8("...b"),
            PathStyle::Posix, 2 },
        { "very deep", repeated(letters27, 80), PathStyle::Posix, 9 },
        { "Windows counts units", u8("C:\\") + QString(252, QChar(0x4E2D)), PathStyle::Windows, 1 },
        { "Windows, too long", u8("C:\\") + QString(254, u'a') + u8("\\b"), PathStyle::Windows,
            2 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString thumbFolder = row.style == PathStyle::Posix ? kPosixThumbs : kWinThumbs;
        const QChar sep = platform::separator(row.style);
        QString folder = row.folder;
        if (row.style == PathStyle::Windows)
            folder.replace(u'/', sep);
        const QString tag = EncodeThumbFolder(folder, row.style);
        const QStringList levels = tag.split(sep, Qt::SkipEmptyParts);
        ASSERT_EQ(levels.size(), row.levels) << tag.toStdString();
        for (qsizetype i = 0; i < levels.size(); ++i) {
            const qsizetype length = row.style == PathStyle::Posix ? levels[i].toUtf8().size()
                                                                   : levels[i].size();
            EXPECT_LE(length, imaging::kMaxThumbTagLevel) << i;
            EXPECT_TRUE(levels[i].isValidUtf16()) << i;
            EXPECT_TRUE(
                i + 1 == levels.size() || imaging::ThumbTagLevelContinues(levels[i], row.style))
                << i;
            EXPECT_FALSE(i > 0 && levels[i].startsWith(u'.')) << i;
        }
        const QString thumb = ThumbFileFor(thumbFolder, folder, u8("index.htm"), row.style);
        EXPECT_EQ(thumb, thumbFolder + tag + u8("index.htm.jpg"));
        EXPECT_EQ(imaging::TagOfThumbFile(thumb.mid(thumbFolder.size()), row.style),
            levels.join(QString()));
        EXPECT_EQ(PageFileFor(thumbFolder, thumb, row.style), folder + sep + u8("index.htm"));
    }
}

namespace {

// Writes a file modified `seconds` after a fixed moment.
void writeWithTime(const QString &path, double seconds)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    const double moment = 1.7e9 + seconds;
    timespec times[2];
    times[0].tv_sec = time_t(moment);
    times[0].tv_nsec = long((moment - double(times[0].tv_sec)) * 1e9);
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

// Only a page without a thumbnail, or one saved after it, is made again.
TEST(ThumbStore, OutOfDateByFileTimes)
{
    struct Row {
        const char *name;
        double page; // modification time; < 0: no page, NaN: a folder of that name
        double thumb; // < 0: no thumbnail
        bool outOfDate;
    };
    const double folder = std::nan("");
    const Row rows[] = {
        { "no thumbnail", 10, -1, true },
        { "page saved after its thumbnail", 20, 10, true },
        { "page newer by part of a second", 10.4, 10.1, true },
        { "thumbnail made after the page", 10, 20, false },
        { "same time", 10, 10, false },
        { "page missing", -1, 10, true },
        { "page replaced by a folder", folder, 10, true },
    };
    QTemporaryDir dir;
    const QString thumbs = dir.filePath(QStringLiteral("THUMBS"));
    QStringList pages;
    QStringList expected;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString page
            = dir.filePath(QStringLiteral("site/") + u8(row.name) + QStringLiteral(".htm"));
        if (std::isnan(row.page))
            ASSERT_TRUE(QDir().mkpath(page));
        else if (row.page >= 0)
            writeWithTime(page, row.page);
        if (row.thumb >= 0)
            writeWithTime(ThumbFileFor(thumbs, dir.filePath(QStringLiteral("site")), page),
                row.thumb);
        EXPECT_EQ(imaging::ThumbOutOfDate(thumbs, page), row.outOfDate);
        pages.append(page);
        if (row.outOfDate)
            expected.append(page);
    }
    EXPECT_EQ(imaging::PagesWithOutOfDateThumbs(thumbs, pages), expected);
}
