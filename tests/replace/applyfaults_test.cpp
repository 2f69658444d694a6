// A write that fails half-way through the files of a replace (a full disk, played by a file-size
// limit): the files written before it are in the undo record, the rest are as they were, and
// the failure names the file.

#include "replace/sitereplace.h"

#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/writefault.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(ReplaceFaults, AWriteFailingHalfWayLeavesTheRestAndAnUndoOfTheWritten)
{
    TemporaryDir dir;
    const replace::UndoStore store(dir.filePath(QStringLiteral("program")));
    const QByteArray small = "<p>old</p>\n";
    const QByteArray large = "<p>old</p>\n" + QByteArray(400 * 1024, 'x');
    const QStringList names = { QStringLiteral("a.htm"), QStringLiteral("b.htm"),
        QStringLiteral("c.htm"), QStringLiteral("d.htm"), QStringLiteral("e.htm") };
    QStringList paths;
    for (const QString &name : names) {
        paths << dir.filePath(QStringLiteral("site/") + name);
        ASSERT_TRUE(putFile(paths.last(), name == u"c.htm" ? large : small));
    }
    replace::ReplaceOptions options;
    options.find = QStringLiteral("old");
    options.with = QStringLiteral("new");
    std::vector<replace::FilePlan> plans;
    replace::planFiles(paths, replace::Replacer(options), &plans);

    replace::ApplyOutcome outcome;
    {
        const FileSizeLimit full(100 * 1024);
        outcome = replace::applyPlans(plans, QStringLiteral("old -> new"), store, 1);
    }
    EXPECT_EQ(outcome.written, QStringList({ paths[0], paths[1] }));
    EXPECT_TRUE(outcome.failure.startsWith(paths[2] + QStringLiteral(": cannot write: ")))
        << outcome.failure.toStdString();
    EXPECT_EQ(fileBytes(paths[0]), "<p>new</p>\n");
    EXPECT_EQ(fileBytes(paths[2]), large);
    EXPECT_EQ(fileBytes(paths[3]), small);
    EXPECT_EQ(fileBytes(paths[4]), small);
    EXPECT_TRUE(strayFiles(dir.filePath(QStringLiteral("site")), names).isEmpty());

    replace::UndoRecord record;
    QString error;
    ASSERT_TRUE(store.load(outcome.undoId, &record, &error)) << error.toStdString();
    ASSERT_EQ(record.files.size(), 2u);
    const replace::UndoOutcome undone = store.undo(record);
    EXPECT_EQ(undone.restored, QStringList({ paths[0], paths[1] }));
    for (const QString &path : paths)
        EXPECT_EQ(fileBytes(path), path == paths[2] ? large : small);
}

TEST(ReplaceFaults, NothingIsWrittenWithoutItsUndoRecord)
{
    TemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    // The undo folder cannot be made: a file stands in its place.
    ASSERT_TRUE(putFile(program + QStringLiteral("/UNDO"), "not a folder"));
    const QString path = dir.filePath(QStringLiteral("a.htm"));
    ASSERT_TRUE(putFile(path, "old"));
    replace::ReplaceOptions options;
    options.find = QStringLiteral("old");
    options.with = QStringLiteral("new");
    const replace::ApplyOutcome outcome = replace::applyPlans(
        { replace::planFile(path, replace::Replacer(options)) }, QStringLiteral("t"),
        replace::UndoStore(program));
    EXPECT_TRUE(outcome.written.isEmpty());
    EXPECT_FALSE(outcome.failure.isEmpty());
    EXPECT_EQ(fileBytes(path), "old");
}
