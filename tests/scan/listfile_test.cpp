#include "scan/listfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "scan/listtestutil.h"

using listtest::u8;
using listtest::writeBytes;

TEST(ListFile, LinesOfAListFile)
{
    struct Row {
        const char *name;
        QByteArray bytes;
        QStringList expected;
    };
    const Row rows[] = {
        { "CR LF", "/a/*b*.htm*1*d\r\n/a/*c*.htm*2*d\r\n",
            { u8("/a/*b*.htm*1*d"), u8("/a/*c*.htm*2*d") } },
        { "LF alone", "one\ntwo\n", { u8("one"), u8("two") } },
        { "CR alone", "one\rtwo\r", { u8("one"), u8("two") } },
        { "no line end after the last line", "one\r\ntwo", { u8("one"), u8("two") } },
        { "blank lines are dropped", "\r\n\r\none\n\n\rtwo\r\n\r\n", { u8("one"), u8("two") } },
        { "empty file", "", {} },
        { "NUL bytes stay in their line", QByteArray("a\0b\r\nc", 6),
            { QString(u8("a")) + QChar(0) + u8("b"), u8("c") } },
        { "Latin-1 names", "/web/*caf\xe9*.htm\r\n", { u8("/web/*café*.htm") } },
        { "UTF-8 names", "/web/*caf\xc3\xa9*.htm\r\n", { u8("/web/*café*.htm") } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(scan::listRecordsFromBytes(row.bytes), row.expected);
    }
}

TEST(ListFile, WritesCrLfAndReadsItBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u8("site.lst"));
    const QStringList records = { u8("/web/*café*.htm*12*2001-03-17  14:05"), u8("/web/*b**0*") };
    QString error;
    ASSERT_TRUE(scan::writeListFile(path, records, &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path),
        QByteArray("/web/*caf\xc3\xa9*.htm*12*2001-03-17  14:05\r\n/web/*b**0*\r\n"));
    QStringList back;
    ASSERT_TRUE(scan::readListFile(path, &back, &error));
    EXPECT_EQ(back, records);
    ASSERT_TRUE(scan::writeListFile(path, {}, &error));
    EXPECT_EQ(fileBytes(path), QByteArray());
}

TEST(ListFile, FailedWriteLeavesTheOldListWhole)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u8("FILELISTS"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + u8("/site.lst");
    writeBytes(path, "old\r\n");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    const bool written = scan::writeListFile(path, { u8("new") }, &error);
    QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (written)
        GTEST_SKIP() << "root writes into a read-only folder";
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(path), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { u8("site.lst") });
}

TEST(ListFile, AFolderInTheWayIsNotReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(u8("taken.lst")));
    QString error;
    EXPECT_FALSE(scan::writeListFile(dir.filePath(u8("taken.lst")), { u8("x") }, &error));
    EXPECT_TRUE(QFileInfo(dir.filePath(u8("taken.lst"))).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { u8("taken.lst") });
}

TEST(ListFile, FilesThatCannotBeRead)
{
    QTemporaryDir dir;
    QStringList records = { u8("kept") };
    QString error;
    EXPECT_FALSE(scan::readListFile(dir.filePath(u8("gone.lst")), &records, &error));
    EXPECT_TRUE(error.contains(u8("gone.lst"))) << error.toStdString();
    EXPECT_FALSE(scan::readListFile(dir.path(), &records, &error));
    EXPECT_EQ(records, QStringList { u8("kept") });
}

TEST(ListFile, AMillionLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u8("big.lst"));
    QByteArray bytes;
    bytes.reserve(40 * 1000000);
    for (int i = 0; i < 1000000; ++i)
        bytes += "/nowhere/*page" + QByteArray::number(i) + "*.htm*1*d\n";
    writeBytes(path, bytes);
    QStringList records;
    QString error;
    ASSERT_TRUE(scan::readListFile(path, &records, &error));
    ASSERT_EQ(records.size(), 1000000);
    EXPECT_EQ(records.last(), u8("/nowhere/*page999999*.htm*1*d"));
}

TEST(ListFile, NewListNames)
{
    QTemporaryDir dir;
    EXPECT_EQ(scan::newListFileName(dir.path()), u8("(newlist1).lst"));
    writeBytes(dir.filePath(u8("(newlist1).lst")), "");
    writeBytes(dir.filePath(u8("(newlist3).lst")), "");
    EXPECT_EQ(scan::newListFileName(dir.path()), u8("(newlist2).lst"));
    for (int i = 1; i <= 100; ++i)
        writeBytes(dir.filePath(u8("(newlist%1).lst").arg(i)), "");
    EXPECT_EQ(scan::newListFileName(dir.path()), u8("(newlist100).lst"));
}
