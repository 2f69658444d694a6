#include "scan/folderscan.h"
#include "platform/filenames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/tempdir.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using scan::EntryFacts;
using scan::ScanOptions;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// Creates the files and folders of `paths` below `root`; a path ending in "/" is a folder.
void makeTree(const QString &root, const QStringList &paths)
{
    for (const QString &path : paths) {
        const QString full = root + QLatin1Char('/') + path;
        if (path.endsWith(QLatin1Char('/'))) {
            ASSERT_TRUE(QDir().mkpath(full)) << full.toStdString();
            continue;
        }
        ASSERT_TRUE(QDir().mkpath(QFileInfo(full).path()));
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
    }
}

// Paths found below `root`, relative to it, in the order of the scan.
QStringList relativeScan(const QString &root, const ScanOptions &options, bool recursive = true)
{
    QStringList found;
    const auto collect = [&](const QString &folder, const QString &name, const EntryFacts &) {
        found.append(QDir(root).relativeFilePath(folder + u8("/") + name));
    };
    if (recursive)
        scan::ScanFolder(root, options, collect);
    else
        scan::ScanOneFolder(root, options, collect);
    return found;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

ScanOptions withMask(const char *mask)
{
    ScanOptions options;
    options.mask = u8(mask);
    return options;
}

} // namespace

TEST(FolderScan, WhichEntriesAreFound)
{
    struct Row {
        const char *name;
        QStringList tree;
        const char *mask;
        QStringList expected; // in any order
    };
    const Row rows[] = {
        { "mask cuts extensions to four characters",
            { u8("a.htm"), u8("b.html"), u8("c.HTM"), u8("d.txt"), u8("e.h"), u8("README") },
            "*.htm", { u8("a.htm"), u8("b.html"), u8("c.HTM"), u8("e.h") } },
        { "JPEG is not JPG; .j and .jp are", { u8("a.jpeg"), u8("b.j"), u8("c.jp"), u8("d.JPG") },
            "*.JPG", { u8("b.j"), u8("c.jp"), u8("d.JPG") } },
        { "sub-folders are entered at any depth",
            { u8("old/a.html"), u8("old/deeper/b.htm"), u8("old/deeper/c.gif") }, "*.htm",
            { u8("old/a.html"), u8("old/deeper/b.htm") } },
        { "hidden files and folders are skipped",
            { u8(".hidden.htm"), u8(".git/x.htm"), u8("shown.htm") }, "*.htm",
            { u8("shown.htm") } },
        { "_vti_cnf folders in any case are not entered",
            { u8("_vti_cnf/a.htm"), u8("old_VTI_CNF_x/b.htm"), u8("c.htm") }, "*.htm",
            { u8("c.htm") } },
        { "a folder not entered is tested like a file", { u8("_vti_cnf.htm/a.htm") }, "*.htm",
            { u8("_vti_cnf.htm") } },
        { "a folder with an extension is entered, not listed", { u8("site.htm/a.htm") }, "*.htm",
            { u8("site.htm/a.htm") } },
        { "*.* matches nothing", { u8("a.htm"), u8("b.txt") }, "*.*", {} },
        { "empty folders give nothing", { u8("empty/"), u8("also/empty/") }, "*.htm", {} },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        makeTree(dir.path(), row.tree);
        EXPECT_EQ(sorted(relativeScan(dir.path(), withMask(row.mask))), sorted(row.expected));
    }
}

// Paths below `root` in the order of the unsorted listings of each folder, a sub-folder's
// entries where the sub-folder was met.
QStringList listingOrder(const QString &root, const QString &rel = QString())
{
    QStringList out;
    const QDir folder(root + QLatin1Char('/') + rel);
    for (const QString &name :
        folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Unsorted)) {
        const QString path = rel.isEmpty() ? name : rel + u8("/") + name;
        if (QFileInfo(folder.filePath(name)).isDir())
            out += listingOrder(root, path);
        else
            out.append(path);
    }
    return out;
}

TEST(FolderScan, OrderFollowsTheFileSystemListing)
{
    QTemporaryDir dir;
    makeTree(dir.path(),
        { u8("a.htm"), u8("m/1.htm"), u8("m/2.htm"), u8("m/n/3.htm"), u8("z.htm"), u8("b/4.htm") });
    const QStringList found = relativeScan(dir.path(), withMask("*.htm"));
    ASSERT_EQ(found.size(), 6);
    EXPECT_EQ(found, listingOrder(dir.path()));
}

// More entries than one batch of looks at the disk, from more folders than a batch keeps
// open: every entry still comes in listing order with the size and time of its own file.
TEST(FolderScan, LargeTreeKeepsOrderAndFacts)
{
    QTemporaryDir dir;
    const QDateTime base(QDate(2003, 5, 1), QTime(9, 0));
    for (int folder = 0; folder < 150; ++folder) {
        for (int file = 0; file < 20; ++file) {
            const QString rel = file < 5 ? u8("d%1/p%2.htm").arg(folder).arg(file)
                                         : u8("d%1/e/p%2.htm").arg(folder).arg(file);
            const QString path = dir.filePath(rel);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(QByteArray((folder * 20 + file) % 97, 'x'));
            out.setFileTime(
                base.addSecs(60 * ((folder + file) % 50)), QFileDevice::FileModificationTime);
        }
    }
    QStringList found;
    ScanOptions options = withMask("*.htm");
    scan::ScanFolder(dir.path(), options,
        [&](const QString &folder, const QString &name, const EntryFacts &facts) {
            const QFileInfo info(folder + u8("/") + name);
            found.append(QDir(dir.path()).relativeFilePath(info.filePath()));
            EXPECT_EQ(facts.size, info.size()) << found.last().toStdString();
            EXPECT_EQ(facts.modifiedSecs, info.lastModified().toSecsSinceEpoch())
                << found.last().toStdString();
        });
    ASSERT_EQ(found.size(), 3000);
    EXPECT_EQ(found, listingOrder(dir.path()));
}

// A listing longer than one piece, with folders and other entries among its files: the entries
// come in listing order, and the stop is polled once per entry listed, folders included.
TEST(FolderScan, LongListingKeepsOrderAndPolls)
{
    QTemporaryDir dir;
    QStringList tree;
    for (int i = 0; i < 2600; ++i)
        tree.append(u8("p%1.htm").arg(i));
    for (int i = 0; i < 40; ++i)
        tree.append({ u8("s%1/a.htm").arg(i), u8("s%1/t/b.htm").arg(i) });
    makeTree(dir.path(), tree);
    for (int i = 0; i < 300; ++i)
        makeTree(dir.path(), { u8("x%1.txt").arg(i) });
    ScanOptions options = withMask("*.htm");
    int polls = 0;
    options.stopRequested = [&polls] {
        ++polls;
        return false;
    };
    QStringList expected = listingOrder(dir.path());
    expected.removeIf([](const QString &path) { return path.endsWith(u8(".txt")); });
    EXPECT_EQ(relativeScan(dir.path(), options), expected);
    EXPECT_EQ(polls, 2600 + 300 + 40 * 4); // s, a.htm, t, b.htm
}

// Folders and files removed while the scan runs drop out silently; the rest comes in order.
TEST(FolderScan, EntriesVanishingDuringTheScan)
{
    QTemporaryDir dir;
    QStringList tree;
    for (int folder = 0; folder < 30; ++folder)
        for (int file = 0; file < 40; ++file)
            tree.append(u8("d%1/deeper/p%2.htm").arg(folder).arg(file));
    for (int file = 0; file < 1500; ++file)
        tree.append(u8("big/q%1.htm").arg(file));
    makeTree(dir.path(), tree);
    const QStringList before = listingOrder(dir.path());
    ScanOptions options = withMask("*.htm");
    options.eventInterval = 0;
    int calls = 0;
    QStringList bigFiles = before.filter(u8("big/"));
    options.letEventsRun = [&] {
        // Folders before they are opened, files of the long listing also between its being
        // listed and its files being looked at.
        if (++calls == 5)
            for (int folder = 0; folder < 30; folder += 2)
                QDir(dir.filePath(u8("d%1").arg(folder))).removeRecursively();
        if (calls % 2 == 0 && !bigFiles.isEmpty())
            QFile::remove(dir.filePath(bigFiles.takeFirst()));
    };
    const QStringList found = relativeScan(dir.path(), options);
    EXPECT_LT(found.size(), before.size() - 15 * 40);
    const QStringList after = listingOrder(dir.path());
    // Whatever was seen still existed when the scan began, in the order it was listed.
    qsizetype next = 0;
    for (const QString &path : found) {
        next = before.indexOf(path, next);
        ASSERT_GE(next, 0) << path.toStdString();
    }
    // What was left alone is all there.
    for (const QString &path : after)
        EXPECT_TRUE(found.contains(path)) << path.toStdString();
}

// A deep tree and a wide one, searched with only a few file handles to spare: folders are not
// held open all the way down, nor one per folder waiting to be entered.
TEST(FolderScan, FewFileHandlesLoseNothing)
{
    QTemporaryDir dir;
    QString deep;
    QStringList tree;
    for (int level = 0; level < 80; ++level) {
        deep += u8("x/");
        tree.append(deep + u8("a%1.htm").arg(level));
    }
    for (int folder = 0; folder < 300; ++folder)
        tree.append(u8("w%1/e/b.htm").arg(folder));
    makeTree(dir.path(), tree);
    const QStringList expected = listingOrder(dir.path());

    rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit few { rlim_t(QDir(u8("/proc/self/fd")).count() + 16), limit.rlim_max };
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    const QStringList found = relativeScan(dir.path(), withMask("*.htm"));
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(found, expected);
}

TEST(FolderScan, OneFolderLooksAtEveryEntryWithoutEnteringAny)
{
    QTemporaryDir dir;
    makeTree(dir.path(), { u8("a.htm"), u8("old.htm/b.htm"), u8("sub/c.htm"), u8("d.txt") });
    EXPECT_EQ(sorted(relativeScan(dir.path(), withMask("*.htm"), false)),
        sorted({ u8("a.htm"), u8("old.htm") }));
}

// Searching the program folder: the thumbnail folder's own files, not those of its sub-folders.
TEST(FolderScan, ThumbnailFolderRule)
{
    QTemporaryDir dir;
    makeTree(dir.path(),
        { u8("logo.jpg"), u8("THUMBS/stray.jpg"), u8("THUMBS/=home=u/a.htm.jpg"),
            u8("pics/b.jpg") });
    ScanOptions options = withMask("*.jpg");
    options.descendEverywhere = false;
    options.thumbFolder = dir.filePath(u8("thumbs")); // letters compared without regard to case
    EXPECT_EQ(sorted(relativeScan(dir.path(), options)),
        sorted({ u8("logo.jpg"), u8("THUMBS/stray.jpg"), u8("pics/b.jpg") }));
    options.descendEverywhere = true;
    EXPECT_EQ(relativeScan(dir.path(), options).size(), 4);
    // Without a thumbnail folder every folder is entered.
    options.descendEverywhere = false;
    options.thumbFolder.clear();
    EXPECT_EQ(relativeScan(dir.path(), options).size(), 4);
}

TEST(FolderScan, LinksToFoldersAreNeverEntered)
{
    QTemporaryDir dir;
    makeTree(dir.path(), { u8("real/a.htm") });
    ASSERT_TRUE(QFile::link(dir.filePath(u8("real")), dir.filePath(u8("linked.htm"))));
    ASSERT_TRUE(QFile::link(dir.filePath(u8("real")), dir.filePath(u8("linked"))));
    // A link to its own parent would loop if it were followed.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(u8("real/up"))));
    ASSERT_TRUE(QFile::link(dir.filePath(u8("real/a.htm")), dir.filePath(u8("file-link.htm"))));
    ASSERT_TRUE(QFile::link(dir.filePath(u8("nowhere")), dir.filePath(u8("broken.htm"))));
    EXPECT_EQ(sorted(relativeScan(dir.path(), withMask("*.htm"))),
        sorted({ u8("real/a.htm"), u8("linked.htm"), u8("file-link.htm") }));
}

TEST(FolderScan, MissingAndUnreadableFoldersAreSilent)
{
    QTemporaryDir dir;
    EXPECT_TRUE(relativeScan(dir.filePath(u8("missing")), withMask("*.htm")).isEmpty());
    makeTree(dir.path(), { u8("locked/a.htm"), u8("b.htm") });
    const QString locked = dir.filePath(u8("locked"));
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const QStringList found = relativeScan(dir.path(), withMask("*.htm"));
    QFile::setPermissions(
        locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Root reads the locked folder all the same.
    EXPECT_TRUE(found == QStringList { u8("b.htm") } || found.size() == 2);
}

// Names come as platform::decodeFileName makes them of the listing's bytes: UTF-8 when valid,
// else their Latin-1 reading. Each is whole after a longer or shorter one.
TEST(FolderScan, NamesAreDecodedAsTheFileSystemGivesThem)
{
    TemporaryDir dir;
    const QByteArray names[] = { "na\xc3\xafve-and-a-much-longer-name.htm", "caf\xe9.htm",
        "\xff\xfe.htm", "x.htm", "\xe4\xb8\xad\xe6\x96\x87.htm",
        "\xef\xbb\xbf"
        "bom.htm" };
    QStringList expected;
    for (const QByteArray &name : names) {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0) << path.constData();
        ::close(fd);
        expected.append(platform::decodeFileName(name));
    }
    QStringList found;
    scan::ScanFolder(dir.path(), withMask("*.htm"),
        [&](const QString &, const QString &name, const EntryFacts &) { found.append(name); });
    EXPECT_EQ(sorted(found), sorted(expected));
}

TEST(FolderScan, TrailingSeparatorAndFolderArgument)
{
    QTemporaryDir dir;
    makeTree(dir.path(), { u8("sub/a.htm") });
    ScanOptions options = withMask("*.htm");
    const QString expected = QDir::toNativeSeparators(dir.filePath(u8("sub/a.htm")));
    EXPECT_EQ(scan::ScanFolderPaths(dir.path() + u8("/"), options), QStringList { expected });
    EXPECT_EQ(scan::ScanFolderPaths(dir.path() + u8("//"), options), QStringList { expected });
    QString folderSeen;
    scan::ScanFolder(
        dir.path(), options, [&](const QString &folder, const QString &, const EntryFacts &facts) {
            folderSeen = folder;
            EXPECT_EQ(facts.size, 0);
        });
    EXPECT_EQ(folderSeen, QDir::toNativeSeparators(dir.filePath(u8("sub"))));
}

TEST(FolderScan, StopAndEvents)
{
    QTemporaryDir dir;
    QStringList tree;
    for (int i = 0; i < 50; ++i)
        tree.append(u8("f%1/p.htm").arg(i));
    makeTree(dir.path(), tree);

    ScanOptions options = withMask("*.htm");
    int polls = 0;
    int events = 0;
    options.stopRequested = [&polls] { return ++polls > 10; };
    options.letEventsRun = [&events] { ++events; };
    options.eventInterval = 0;
    int found = 0;
    EXPECT_FALSE(scan::ScanFolder(dir.path(), options,
        [&found](const QString &, const QString &, const EntryFacts &) { ++found; }));
    EXPECT_LT(found, 10);
    EXPECT_GT(found, 0); // what was found before the stop is still reported
    EXPECT_GE(events, polls); // at every entry, at least, once the interval is 0

    // A long interval lets no events run during a short scan, and nothing stops it.
    options.stopRequested = {};
    options.eventInterval = 60000;
    events = 0;
    EXPECT_TRUE(scan::ScanFolder(
        dir.path(), options, [](const QString &, const QString &, const EntryFacts &) {}));
    EXPECT_EQ(events, 0);
}
