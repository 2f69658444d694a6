#include "imaging/thumbstore.h"

#include <QDir>

#include <gtest/gtest.h>

using platform::PathStyle;
using thumbs::EncodeThumbFolder;
using thumbs::PageFileFor;
using thumbs::ThumbFileFor;

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
