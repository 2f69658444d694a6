#include "scan/listrecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "scan/listtestutil.h"

using listtest::u8;
using listtest::writeBytes;

using scan::ListEntry;

TEST(ListRecord, FieldsOfARecord)
{
    struct Row {
        const char *record;
        ListEntry expected;
    };
    const Row rows[] = {
        { "C:\\Web\\Site\\*index*.htm*2048*2001-03-17  14:05",
            { u8("C:\\Web\\Site\\"), u8("index"), u8(".htm"), u8("2048"),
                u8("2001-03-17  14:05") } },
        { "/a/*b*.htm", { u8("/a/"), u8("b"), u8(".htm"), {}, {} } },
        { "only one field", { u8("only one field"), {}, {}, {}, {} } },
        { "", {} },
        { "a*b*c*d*e*f*g", { u8("a"), u8("b"), u8("c"), u8("d"), u8("e") } },
        { "****", {} },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.record);
        EXPECT_EQ(scan::entryFromRecord(u8(row.record)), row.expected);
    }
    const ListEntry full = rows[0].expected;
    EXPECT_EQ(full.record(), u8(rows[0].record));
    EXPECT_EQ(full.path(), u8("C:\\Web\\Site\\index.htm"));
}

TEST(ListRecord, RecordFromTheDisk)
{
    QTemporaryDir dir;
    const QDateTime when(QDate(2001, 3, 17), QTime(14, 5, 59));
    writeBytes(dir.filePath(u8("index.htm")), QByteArray(2048, 'x'), when);
    writeBytes(dir.filePath(u8("archive.tar.gz")), "z", when);
    writeBytes(dir.filePath(u8("README")), "", when);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u8("old.htm")));
    const QString folder = QDir::toNativeSeparators(dir.path());
    const QString slash = QDir::separator();

    struct Row {
        const char *file;
        const char *name, *ext, *size;
    };
    for (const Row &row : { Row { "index.htm", "index", ".htm", "2048" },
             Row { "archive.tar.gz", "archive.tar", ".gz", "1" },
             Row { "README", "README", "", "0" }, Row { "old.htm", "old", ".htm", "0" } }) {
        SCOPED_TRACE(row.file);
        const QFileInfo info(dir.filePath(u8(row.file)));
        // The folder gets exactly one separator, however many it came with.
        for (const QString &given : { folder, QString(folder + slash + slash) }) {
            const ListEntry entry = scan::makeListEntry(given, info);
            EXPECT_EQ(entry.folder, folder + slash);
            EXPECT_EQ(entry.name, u8(row.name));
            EXPECT_EQ(entry.ext, u8(row.ext));
            EXPECT_EQ(entry.size, u8(row.size));
        }
    }
    EXPECT_EQ(scan::MakeListRecord(folder, QFileInfo(dir.filePath(u8("index.htm")))),
        folder + slash + u8("*index*.htm*2048*2001-03-17  14:05"));

    // A search builds its records its own way; they must be the same.
    QStringList searched;
    scan::ScanOptions options;
    options.mask = u8("*.htm;*.gz");
    ASSERT_TRUE(scan::appendFolderRecords(searched, dir.path(), false, options));
    searched.sort();
    QStringList expected;
    for (const char *file : { "index.htm", "archive.tar.gz", "old.htm" })
        expected.append(scan::MakeListRecord(folder, QFileInfo(dir.filePath(u8(file)))));
    expected.sort();
    EXPECT_EQ(searched, expected);

    // The entries made straight from a search, and the records streamed, are those records.
    ASSERT_TRUE(QDir(dir.path()).mkpath(u8("sub/deeper")));
    writeBytes(dir.filePath(u8("sub/a.htm")), "aa", when);
    writeBytes(dir.filePath(u8("sub/deeper/b.tar.gz")), "b", when.addSecs(-3600));
    writeBytes(dir.filePath(u8("sub/deeper/c.htm")), "c", when.addSecs(-3600));
    writeBytes(dir.filePath(u8("sub/no*record.htm")), "", when);
    QStringList records;
    ASSERT_TRUE(scan::appendFolderRecords(records, dir.path(), true, options));
    EXPECT_EQ(records.size(), 5);
    QList<ListEntry> entries;
    ASSERT_TRUE(scan::appendFolderEntries(entries, dir.path(), true, options));
    EXPECT_EQ(entries, scan::entriesFromRecords(records));
    QStringList streamed;
    ASSERT_TRUE(scan::forEachFolderRecord(
        dir.path(), true, options, [&](const QString &record) { streamed.append(record); }));
    EXPECT_EQ(streamed, records);
}

TEST(ListRecord, DateText)
{
    EXPECT_EQ(scan::listDate(QDateTime(QDate(2001, 3, 7), QTime(4, 5))), u8("2001-03-07  04:05"));
    EXPECT_EQ(
        scan::listDate(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))), u8("1999-12-31  23:59"));
    EXPECT_EQ(scan::listDate(QDateTime()), QString());
}

// The date of a record is the local time of its minute, also where the offset from UTC changes:
// on the hour in Berlin, on the half hour on Lord Howe Island, and before 1970.
TEST(ListRecord, LocalDatesAcrossOffsetChanges)
{
    const QByteArray oldZone = qgetenv("TZ");
    struct Row {
        const char *zone;
        QDateTime utc; // an offset change lies within the next hours
    };
    const Row rows[] = {
        { "Europe/Berlin", QDateTime(QDate(2021, 3, 28), QTime(0, 0), Qt::UTC) },
        { "Europe/Berlin", QDateTime(QDate(2021, 10, 31), QTime(0, 0), Qt::UTC) },
        { "Australia/Lord_Howe", QDateTime(QDate(2021, 4, 3), QTime(14, 0), Qt::UTC) },
        { "Australia/Lord_Howe", QDateTime(QDate(2021, 10, 2), QTime(15, 0), Qt::UTC) },
        { "America/New_York", QDateTime(QDate(1965, 4, 25), QTime(6, 0), Qt::UTC) },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.zone);
        qputenv("TZ", row.zone);
        for (qint64 step = -7; step < 180; step += 7) {
            const qint64 secs = row.utc.toSecsSinceEpoch() + step * 60 + step % 60;
            const ListEntry entry = scan::makeListEntry(u8("/s"), u8("a.htm"), { 1, secs });
            EXPECT_EQ(entry.date, scan::listDate(QDateTime::fromSecsSinceEpoch(secs).toLocalTime()))
                << secs;
        }
    }
    if (oldZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldZone);
}

TEST(ListRecord, RemoveDuplicateRecords)
{
    struct Row {
        const char *name;
        QStringList records;
        QStringList expected;
    };
    const Row rows[] = {
        { "the lowest size and date of a key stays",
            { u8("/s/*a*.htm*20*2001-01-02  00:00"), u8("/s/*a*.htm*10*2001-01-01  00:00"),
                u8("/s/*a*.htm*10*2000-01-01  00:00") },
            { u8("/s/*a*.htm*10*2000-01-01  00:00") } },
        { "keys that differ in letter case are different",
            { u8("/s/*INDEX*.HTM*1*d"), u8("/s/*index*.htm*1*d") },
            { u8("/s/*INDEX*.HTM*1*d"), u8("/s/*index*.htm*1*d") } },
        { "a key and its other case interleave",
            { u8("/s/*a*.htm*10*d"), u8("/s/*A*.htm*15*d"), u8("/s/*a*.htm*20*d"),
                u8("/s/*a*.htm*10*d") },
            { u8("/s/*a*.htm*10*d"), u8("/s/*A*.htm*15*d") } },
        { "sorted without regard to case", { u8("/s/*c*.htm"), u8("/s/*B*.htm"), u8("/s/*a*.htm") },
            { u8("/s/*a*.htm"), u8("/s/*B*.htm"), u8("/s/*c*.htm") } },
        { "short records take part", { u8("x"), u8("x"), u8("x*"), u8("") }, { u8(""), u8("x") } },
        { "nothing stays nothing", {}, {} },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QStringList records = row.records;
        scan::RemoveDuplicateRecords(records);
        EXPECT_EQ(records, row.expected);
    }
}

TEST(ListRecord, TitlesAndStartPages)
{
    EXPECT_EQ(scan::ListTitle(u8("site.lst")), u8(" Files found in \"site.lst\":"));
    for (const char *name : { "index", "INDEX", "Default", "start", "WELCOME" })
        EXPECT_TRUE(scan::isStartPageName(u8(name))) << name;
    for (const char *name : { "index2", "home", "", "my index" })
        EXPECT_FALSE(scan::isStartPageName(u8(name))) << name;
}

TEST(ListRecord, SearchRecordsLeaveOutNamesARecordCannotHold)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(u8("a.htm")), "a");
    writeBytes(dir.filePath(u8("star*.htm")), "b");
    // A line break would split the list line in two broken records.
    writeBytes(dir.filePath(u8("new\nline.htm")), "c");
    writeBytes(dir.filePath(u8("old\rline.htm")), "d");
    QStringList records;
    scan::ScanOptions options;
    options.mask = u8("*.htm");
    int withLineBreak = 0;
    EXPECT_TRUE(scan::appendFolderRecords(records, dir.path(), false, options, &withLineBreak));
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(scan::entryFromRecord(records.first()).name, u8("a"));
    EXPECT_EQ(withLineBreak, 2);
    EXPECT_FALSE(scan::fitsInRecord(dir.path(), u8("new\nline.htm")));
}
