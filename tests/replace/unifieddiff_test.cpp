// The diff of a replace, applied by patch to a copy, gives what the replace writes.

#include "replace/unifieddiff.h"

#include "support/tempdir.h"
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct Row {
    const char *name;
    QByteArray page;
    const char *find;
    const char *with;
    bool regex = false;
};

const Row kRows[] = {
    { "one line of many", "1\n2\n3\n4\nold\n6\n7\n8\n9\n", "old", "new" },
    { "changes far apart are hunks of their own",
        "old\n2\n3\n4\n5\n6\n7\n8\n9\n10\nold\n", "old", "new" },
    { "changes on lines side by side", "a old\nb old\nc\n", "old", "new" },
    { "the last line without a line end", "1\n2\nold", "old", "new" },
    { "CR LF line ends", "1\r\nold\r\n3\r\n", "old", "new" },
    { "a line end taken away joins two lines", "1\nold\nnext\n4\n", "old\\n", "", true },
    { "a line break put in", "1\nab\n3\n", "a(b)", "a\\n\\1", true },
    { "the only line emptied", "old\n", "old\\n", "", true },
    { "Latin-1 bytes", "caf\xE9\nold\n", "old", "new" },
};

} // namespace

TEST(ReplaceDiff, PatchMakesWhatTheReplaceWrites)
{
    const QString patch = QStandardPaths::findExecutable(QStringLiteral("patch"));
    if (patch.isEmpty())
        GTEST_SKIP() << "patch is not installed";
    for (const Row &row : kRows) {
        SCOPED_TRACE(row.name);
        replace::ReplaceOptions options;
        options.find = QString::fromUtf8(row.find);
        options.with = QString::fromUtf8(row.with);
        options.regex = row.regex;
        options.matchCase = true;
        const replace::PagePlan plan = replace::Replacer(options).plan(row.page);
        ASSERT_FALSE(plan.edits.empty());
        TemporaryDir dir;
        ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("p.htm")), row.page));
        QProcess run;
        run.setWorkingDirectory(dir.path());
        run.start(patch, { QStringLiteral("-p1"), QStringLiteral("--quiet") });
        ASSERT_TRUE(run.waitForStarted());
        run.write(replace::unifiedDiff("p.htm", row.page, plan.edits));
        run.closeWriteChannel();
        ASSERT_TRUE(run.waitForFinished());
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString()
                                     << run.readAllStandardError().toStdString();
        EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("p.htm"))),
            replace::applyEdits(row.page, plan.edits));
    }
}

TEST(ReplaceDiff, HunksCountTheirLines)
{
    replace::ReplaceOptions options;
    options.find = QStringLiteral("old");
    options.with = QStringLiteral("new");
    const QByteArray page = "old\n2\n3\n4\n5\n6\n7\n8\n9\n10\nold\n";
    const replace::PagePlan plan = replace::Replacer(options).plan(page);
    EXPECT_EQ(replace::unifiedDiff("p.htm", page, plan.edits),
        "--- a/p.htm\n+++ b/p.htm\n"
        "@@ -1,4 +1,4 @@\n-old\n+new\n 2\n 3\n 4\n"
        "@@ -8,4 +8,4 @@\n 8\n 9\n 10\n-old\n+new\n");
}
