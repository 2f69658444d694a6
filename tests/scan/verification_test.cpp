#include "scan/verification.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include "scan/listtestutil.h"

using listtest::u8;
using listtest::writeBytes;

using scan::ListEntry;

TEST(Verification, KeepsUpdatesAndRemoves)
{
    QTemporaryDir dir;
    const QString folder = QDir::toNativeSeparators(dir.path()) + QDir::separator();
    writeBytes(dir.filePath(u8("same.htm")), "12345");
    writeBytes(dir.filePath(u8("grown.htm")), "1234567890");
    writeBytes(dir.filePath(u8(".hidden.htm")), "1");
    const ListEntry same = scan::makeListEntry(folder, QFileInfo(dir.filePath(u8("same.htm"))));
    ListEntry grown = scan::makeListEntry(folder, QFileInfo(dir.filePath(u8("grown.htm"))));
    grown.size = u8("3");
    ListEntry hidden = same;
    hidden.name = u8(".hidden");
    hidden.ext = u8(".htm");
    ListEntry gone = same;
    gone.name = u8("gone");
    ListEntry nulCut = same; // the path before the NUL exists, the listed one does not
    nulCut.folder = QDir::toNativeSeparators(dir.path());
    nulCut.name = QString(QChar(0));
    nulCut.ext.clear();
    const ListEntry relative = scan::entryFromRecord(u8("same.htm"));
    const ListEntry shortRecord = scan::entryFromRecord(folder + u8("*same"));
    const ListEntry empty;

    QList<ListEntry> entries
        = { gone, same, grown, hidden, nulCut, relative, empty, shortRecord, gone };
    int steps = 0;
    const scan::VerifyResult result
        = scan::verifyEntries(entries, [&steps](int kept) { EXPECT_EQ(kept, ++steps); });

    EXPECT_EQ(result.removed, 6);
    EXPECT_EQ(result.updated, 2);
    EXPECT_EQ(steps, 3);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.at(0), same);
    EXPECT_EQ(entries.at(1).size, u8("10"));
    EXPECT_EQ(entries.at(2).name, u8(".hidden"));
    EXPECT_EQ(result.reportLines,
        QStringList({ u8("Not Found:  ") + gone.path(), u8("Updated:  ") + grown.path(),
            u8("Updated:  ") + hidden.path(), u8("Not Found:  ") + nulCut.path(),
            u8("Not Found:  same.htm"), u8("Not Found:  "),
            u8("Not Found:  ") + folder + u8("same"), u8("Not Found:  ") + gone.path() }));
}

// A record whose folder lacks its separator names a file all the same; the fresh entry
// takes the folder that holds it.
TEST(Verification, FolderWithoutItsSeparator)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(u8("sub")));
    writeBytes(dir.filePath(u8("sub/page.htm")), "1");
    QList<ListEntry> entries
        = { scan::entryFromRecord(QDir::toNativeSeparators(dir.filePath(u8("sub"))) + u8("*")
            + QDir::separator() + u8("page*.htm")) };
    const scan::VerifyResult result = scan::verifyEntries(entries);
    EXPECT_EQ(result.updated, 1);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first().path(), QDir::toNativeSeparators(dir.filePath(u8("sub/page.htm"))));
    EXPECT_EQ(entries.first().folder,
        QDir::toNativeSeparators(dir.filePath(u8("sub"))) + QDir::separator());
}

// Only "no such file" removes an entry: one that cannot be looked at stays, reported so.
// A link loop stops the superuser too; a folder without permissions only others.
TEST(Verification, EntriesThatCannotBeCheckedAreKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link(dir.filePath(u8("loop")), dir.filePath(u8("loop"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u8("closed")));
    writeBytes(dir.filePath(u8("closed/page.htm")), "1");
    QList<ListEntry> entries = {
        scan::entryFromRecord(dir.filePath(u8("loop")) + u8("/*page*.htm*1*")),
        scan::entryFromRecord(dir.filePath(u8("closed")) + u8("/*page*.htm*7*")),
    };
    const bool rootEntersAnyway = ::geteuid() == 0;
    if (!rootEntersAnyway)
        QFile::setPermissions(dir.filePath(u8("closed")), {});
    const QList<ListEntry> before = entries;
    const scan::VerifyResult result = scan::verifyEntries(entries);
    QFile::setPermissions(
        dir.filePath(u8("closed")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(result.removed, 0);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries.at(0), before.at(0));
    EXPECT_TRUE(result.reportLines.value(0).startsWith(u8("Not Checked:  ") + before.at(0).path()));
    EXPECT_EQ(result.unchecked, rootEntersAnyway ? 1 : 2);
    if (!rootEntersAnyway) {
        EXPECT_EQ(entries.at(1), before.at(1));
        EXPECT_TRUE(result.reportLines.value(1).startsWith(u8("Not Checked:  ")));
    }
}
