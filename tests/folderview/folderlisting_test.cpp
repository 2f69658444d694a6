#include "fakeselection.h"

#include "folderview/folderlisting.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/filerules.h"
#include "support/tempdir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileMask;
using platform::PathStyle;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

const char *kBuiltInFilter =
    "All HTML file types + Pictures|*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht|"
    "All HTML file types|*.htm;*.asp;*.sht;*.dht;*.cfm;*.jht|HTM(L) only|*.htm|"
    "JPG and GIF only|*.jpg;*.gif|ASP only|*.asp|SSI only|*.sht|DHTML only|*.dht|"
    "Cold Fusion only|*.cfm";

bool makeLink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData())
           == 0;
}

} // namespace

TEST(FolderListing, ParseFilterText)
{
    const auto builtIn = folderview::parseFilterText(u8(kBuiltInFilter));
    ASSERT_EQ(builtIn.size(), 8);
    EXPECT_EQ(builtIn.at(2).description, u8("HTM(L) only"));
    EXPECT_EQ(builtIn.at(2).mask, u8("*.htm"));
    EXPECT_EQ(folderview::maskAt(builtIn, 4), u8("*.asp"));

    struct Row {
        const char *name;
        const char *text;
        int pairs;
        const char *firstMask;
    };
    const Row rows[] = {
        {"no bar: no pairs, every file", "*.htm;*.asp", 0, "*.*"},
        {"empty text", "", 0, "*.*"},
        {"lone last description dropped", "HTM|*.htm|ASP", 1, "*.htm"},
        {"empty description kept", "|*.htm", 1, "*.htm"},
    };
    for (const Row &row : rows) {
        const auto pairs = folderview::parseFilterText(u8(row.text));
        EXPECT_EQ(pairs.size(), row.pairs) << row.name;
        EXPECT_EQ(folderview::maskAt(pairs, 0), u8(row.firstMask)) << row.name;
    }
}

TEST(FolderListing, isInThumbFolder)
{
    struct Row {
        const char *name;
        const char *folder;
        const char *thumbs;
        PathStyle style;
        bool expected;
    };
    const Row rows[] = {
        {"the folder itself", "C:\\TOOLS\\FS\\THUMBS", "C:\\TOOLS\\FS\\THUMBS\\",
         PathStyle::Windows, true},
        {"below it, lower case", "c:\\tools\\fs\\thumbs\\C==Web\\", "C:\\TOOLS\\FS\\THUMBS\\",
         PathStyle::Windows, true},
        {"the program folder", "C:\\TOOLS\\FS", "C:\\TOOLS\\FS\\THUMBS\\", PathStyle::Windows,
         false},
        {"a longer name", "C:\\TOOLS\\FS\\THUMBS2", "C:\\TOOLS\\FS\\THUMBS\\", PathStyle::Windows,
         false},
        {"posix itself", "/opt/fs/THUMBS", "/opt/fs/THUMBS/", PathStyle::Posix, true},
        {"posix below, other case", "/opt/fs/thumbs/=home=u/", "/opt/fs/THUMBS/", PathStyle::Posix,
         true},
        {"posix look-alike elsewhere", "/home/u/opt/fs/THUMBS", "/opt/fs/THUMBS/", PathStyle::Posix,
         false},
        {"posix longer name", "/opt/fs/THUMBSX", "/opt/fs/THUMBS/", PathStyle::Posix, false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(
            platform::isInThumbFolder(u8(row.folder), u8(row.thumbs), row.style), row.expected)
            << row.name;
}

TEST(FolderListing, FindListIndexIgnoresCase)
{
    const QStringList names = {u8("about.htm"), u8("index.htm"), u8("Index.html")};
    EXPECT_EQ(folderview::findListIndex(names, u8("INDEX.HTM")), 1);
    EXPECT_EQ(folderview::findListIndex(names, u8("index.html")), 2);
    EXPECT_EQ(folderview::findListIndex(names, u8("missing.htm")), -1);
    EXPECT_EQ(folderview::findListIndex({}, u8("a")), -1);
}

TEST(FolderListing, FileMask)
{
    struct Row {
        const char *name;
        const char *mask;
        const char *file;
        bool expected;
    };
    const Row rows[] = {
        {"plain", "*.htm", "page.htm", true},
        {"letter case", "*.htm", "PAGE.HTM", true},
        {"three letters take longer extensions", "*.htm", "page.html", true},
        {"... but only at the end", "*.htm", "page.htm.bak", false},
        {"no extension", "*.htm", "htm", false},
        {"several patterns", "*.jpg;*.gif", "logo.GIF", true},
        {"jpeg is not jpg", "*.jpg;*.gif", "photo.jpeg", false},
        {"two letters take only themselves", "*.h", "notes.htm", false},
        {"two letters", "*.h", "notes.h", true},
        {"blanks around patterns", " *.asp ; *.cfm ", "a.cfm", true},
        {"every file", "*.*", "README", true},
        {"empty mask", "", "anything", true},
        {"other wildcards", "index*", "Index.htm", true},
        {"other wildcards refuse", "index*", "myindex.htm", false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FileMask(u8(row.mask)).matches(u8(row.file)), row.expected) << row.name;
}

class ListFolder : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(u8(name)); }
    TemporaryDir dir;
};

TEST_F(ListFolder, OnlyRegularVisibleMatchingFilesSorted)
{
    for (const char *name : {"b.htm", "A.htm", "a.htm", "C.html", "c.txt", ".hidden.htm"})
        ASSERT_TRUE(putFile(path(name), "x"));
    ASSERT_TRUE(QDir().mkdir(path("folder.htm")));
    ASSERT_TRUE(makeLink(path("a.htm"), path("link-to-file.htm")));
    ASSERT_TRUE(makeLink(path("folder.htm"), path("link-to-folder.htm")));
    ASSERT_TRUE(makeLink(path("loop2.htm"), path("loop1.htm")));
    ASSERT_TRUE(makeLink(path("loop1.htm"), path("loop2.htm")));
    ASSERT_TRUE(makeLink(path("missing"), path("dangling.htm")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.htm")).constData(), 0600), 0);

    EXPECT_EQ(
        folderview::listMatchingFiles(dir.path(), u8("*.htm")),
        (QStringList{u8("A.htm"), u8("a.htm"), u8("b.htm"), u8("C.html"), u8("link-to-file.htm")}));
    EXPECT_EQ(folderview::listMatchingFiles(dir.path(), u8("*.*")).size(), 6);
}

// A link to a pipe or a device is no folder to enter.
TEST_F(ListFolder, SubFoldersAreFoldersAndLinksToFoldersOnly)
{
    for (const char *name : { "b", "A", ".hidden" })
        ASSERT_TRUE(QDir().mkdir(path(name)));
    ASSERT_TRUE(putFile(path("page.htm"), "x"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(makeLink(path("b"), path("link-to-folder")));
    ASSERT_TRUE(makeLink(path("pipe"), path("link-to-pipe.htm")));
    ASSERT_TRUE(makeLink(u8("/dev/null"), path("link-to-device.htm")));
    ASSERT_TRUE(makeLink(path("missing"), path("dangling")));
    EXPECT_EQ(folderview::listSubFolders(dir.path()),
        (QStringList { u8("A"), u8("b"), u8("link-to-folder") }));
}

TEST_F(ListFolder, NameThatIsNotUtf8IsListedWithoutHarm)
{
    ASSERT_TRUE(putFile(path("good.htm"), "x"));
    const QByteArray raw = QFile::encodeName(dir.path()) + "/bad\xFF\xFE.htm";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QStringList names = folderview::listMatchingFiles(dir.path(), u8("*.htm"));
    ASSERT_EQ(names.size(), 2);
    EXPECT_TRUE(names.at(0).startsWith(u8("bad")));
    EXPECT_EQ(names.at(1), u8("good.htm"));
}

TEST_F(ListFolder, MissingFolderOrAFileGivesNothing)
{
    ASSERT_TRUE(putFile(path("plain.htm"), "x"));
    EXPECT_TRUE(folderview::listMatchingFiles(path("vanished"), u8("*.*")).isEmpty());
    EXPECT_TRUE(folderview::listMatchingFiles(path("plain.htm"), u8("*.*")).isEmpty());
    EXPECT_TRUE(folderview::listMatchingFiles(QString(), u8("*.*")).isEmpty());
}
