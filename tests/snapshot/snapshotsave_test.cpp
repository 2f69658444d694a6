#include "imaging/jpegcodec.h"
#include "platform/diskspace.h"
#include "snapshot/snapshotsave.h"
#include "support/recordingprogress.h"
#include "support/scripteddialogs.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage composed()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(10, 120, 200));
    return image;
}

// Bits per pixel from a bitmap file's header.
int bmpDepth(const QByteArray &bytes)
{
    return bytes.size() > 29 && bytes.startsWith("BM") ? uchar(bytes[28]) | (uchar(bytes[29]) << 8)
                                                       : -1;
}

struct FreeSpace {
    explicit FreeSpace(qint64 bytes)
    {
        platform::setFreeSpaceSource([bytes](const QString &) {
            return platform::VolumeSpace { QStringLiteral("/home"), bytes };
        });
    }
    ~FreeSpace() { platform::setFreeSpaceSource({}); }
};

class Recorder
{
public:
    QStringList lines;
    snapshot::StatusLine line()
    {
        return [this](const QString &text) { lines.append(text); };
    }
};

} // namespace

TEST(SaveSnapshotImage, WritesJpegAndTrueColourBitmap)
{
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Recorder status;
    QImage image = composed();
    const QString bmp = dir.filePath(QStringLiteral("shot.bmp"));
    ASSERT_TRUE(snapshot::SaveSnapshotImage(image, bmp, snapshot::OutputKind::Bmp, true, status.line()));
    EXPECT_EQ(status.lines,
        QStringList({ QStringLiteral("Converting snapshot to 24bit, please wait ..."),
            QStringLiteral(" "), QStringLiteral("Saved as:") + bmp }));
    EXPECT_EQ(image.format(), QImage::Format_RGB888); // converted once, in place
    EXPECT_EQ(bmpDepth(fileBytes(bmp)), 24);
    EXPECT_EQ(QImage(bmp).pixel(5, 5), qRgb(10, 120, 200));

    status.lines.clear();
    const QString jpg = dir.filePath(QStringLiteral("shot.jpg"));
    ASSERT_TRUE(snapshot::SaveSnapshotImage(image, jpg, snapshot::OutputKind::Jpg, false, status.line()));
    EXPECT_FALSE(
        status.lines.contains(QStringLiteral("Converting snapshot to 24bit, please wait ...")));
    EXPECT_EQ(imaging::readJpeg(jpg).size(), QSize(40, 30));
    EXPECT_EQ(dialogs.calls.size(), 0);
}

TEST(SaveSnapshotImage, RefusalsWriteNothing)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("old.jpg"));
    struct Row {
        const char *name;
        QString file;
        qint64 freeBytes;
        platform::Answer answer; // when asked
        bool result;
        const char *kind;
        QString message;
    };
    const Row rows[] = {
        { "empty name", QString(), -1, platform::Answer::Yes, false, "info",
            QStringLiteral("Invalid file name: ") },
        { "too little space", dir.filePath(QStringLiteral("new.jpg")), 1999999,
            platform::Answer::Yes, false, "info",
            QStringLiteral("Diskspace on drive \"/home\" < 2000Kb!\nProcess stopped.") },
        { "existing, Cancel", existing, -1, platform::Answer::Cancel, false, "yesnocancel",
            QStringLiteral("File exists: ") + existing + QStringLiteral("\n\nOverwrite ?") },
        { "existing, No", existing, -1, platform::Answer::No, true, "yesnocancel",
            QStringLiteral("File exists: ") + existing + QStringLiteral("\n\nOverwrite ?") },
    };
    for (const Row &row : rows) {
        writeFile(existing, "old");
        ScriptedDialogs dialogs;
        dialogs.answers = { row.answer };
        FreeSpace space(row.freeBytes);
        QImage image = composed();
        EXPECT_EQ(
            snapshot::SaveSnapshotImage(image, row.file, snapshot::OutputKind::Jpg, true, {}), row.result)
            << row.name;
        EXPECT_EQ(dialogs.texts(QLatin1String(row.kind)), QStringList { row.message }) << row.name;
        EXPECT_EQ(fileBytes(existing), QByteArray("old")) << row.name;
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("old.jpg") })
            << row.name;
    }
}

namespace {

// Told to overwrite, the write fails: reported in an error box, and false ends a batch.
void expectWriteRefused(const QString &target)
{
    ScriptedDialogs dialogs;
    dialogs.answers = { platform::Answer::Yes };
    QImage image = composed();
    EXPECT_FALSE(snapshot::SaveSnapshotImage(image, target, snapshot::OutputKind::Jpg, true, {}));
    ASSERT_EQ(dialogs.count(QStringLiteral("error")), 1);
    EXPECT_TRUE(
        dialogs.texts(QStringLiteral("error"))
            .first()
            .startsWith(QStringLiteral("Cannot create file \"") + target + QStringLiteral("\".")));
}

} // namespace

TEST(SaveSnapshotImage, AFailedWriteIsReportedAndEndsABatch)
{
    // A folder where the file should be: no rights let that be written over.
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("snap.jpg"));
    QDir().mkpath(target);
    expectWriteRefused(target);
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(SaveSnapshotImage, AReadOnlyFolderKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QDir().mkpath(folder);
    const QString target = folder + QStringLiteral("/snap.jpg");
    writeFile(target, "old");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(folder).isWritable()
        && QFile(folder + QStringLiteral("/probe")).open(QIODevice::WriteOnly)) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "running with rights that ignore a read-only folder";
    }
    expectWriteRefused(target);
    EXPECT_EQ(fileBytes(target), QByteArray("old"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList { QStringLiteral("snap.jpg") });
}

TEST(SaveThroughDialog, ProposalFilterAndTargetName)
{
    QTemporaryDir dir;
    const QString folder = QDir::toNativeSeparators(dir.path()) + QDir::separator();
    const QString elsewhere = folder + QStringLiteral("elsewhere") + QDir::separator();
    const QString page = QStringLiteral("/web/index.htm");
    struct Row {
        const char *name;
        QString chosen;
        QString filter; // empty: the one shown stays
        QString written; // empty: nothing
        int depth; // of a bitmap, 0 for a JPEG
    };
    const Row rows[] = {
        { "the proposal as it stands", folder + QStringLiteral("snap_index_htm.jpg"), QString(),
            folder + QStringLiteral("snap_index_htm.jpg"), 0 },
        { "second filter, name unchanged", folder + QStringLiteral("snap_index_htm.jpg"),
            snapshot::saveDialogFilter(1), folder + QStringLiteral("snap_index_htm.jpg.bmp"), 24 },
        { "a name without extension", folder + QStringLiteral("shot"), QString(),
            folder + QStringLiteral("shot.jpg"), 0 },
        { "another extension", folder + QStringLiteral("shot.png"), QString(),
            folder + QStringLiteral("shot.png.jpg"), 0 },
    };
    for (const Row &row : rows) {
        ScriptedDialogs dialogs;
        dialogs.paths = { row.chosen };
        if (!row.filter.isEmpty())
            dialogs.filters = { row.filter };
        int filterIndex = 0;
        QString snapshotPath = elsewhere;
        QImage image = composed();
        snapshot::SaveThroughDialog(image, page, filterIndex, snapshotPath, {});
        EXPECT_EQ(dialogs.texts(QStringLiteral("save")),
            QStringList { elsewhere + QStringLiteral("snap_index_htm.jpg") })
            << row.name;
        const QByteArray bytes = fileBytes(row.written);
        EXPECT_EQ(row.depth ? bmpDepth(bytes) : int(imaging::decodeJpeg(bytes).isNull()),
            row.depth ? 24 : 0)
            << row.name;
        EXPECT_EQ(snapshotPath, folder) << row.name;
        EXPECT_EQ(filterIndex, row.filter.isEmpty() ? 0 : 1) << row.name;
        QFile::remove(row.written);
    }
}

TEST(SaveThroughDialog, RefusedNameAndCancel)
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    dialogs.paths = { dir.filePath(QStringLiteral("a?b")) };
    int filterIndex = 1;
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere/"));
    QString snapshotPath = elsewhere;
    QImage image = composed();
    snapshot::SaveThroughDialog(
        image, QStringLiteral("/web/a.b.html"), filterIndex, snapshotPath, {});
    // The last filter chosen is the one proposed.
    EXPECT_EQ(dialogs.texts(QStringLiteral("save")),
        QStringList { elsewhere + QStringLiteral("snap_a_b_html.bmp") });
    EXPECT_EQ(dialogs.texts(QStringLiteral("error")),
        QStringList { QStringLiteral("Invalid Filename: a?b") });
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList { QStringLiteral("Invalid file name: ") });
    EXPECT_EQ(snapshotPath, elsewhere);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    dialogs.calls.clear();
    snapshot::SaveThroughDialog(image, QStringLiteral("/web/a.htm"), filterIndex, snapshotPath, {});
    EXPECT_EQ(dialogs.count(QStringLiteral("save")), 1);
    EXPECT_EQ(dialogs.calls.size(), 1);
}

// A dialog given a folder that does not exist opens wherever a dialog was last: the snapshot
// folder is made first, or its nearest parent that exists is taken.
TEST(SaveThroughDialog, OpensInTheSnapshotFolderWhenItIsMissing)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("file")), "x");
    const QString top = QDir::toNativeSeparators(dir.path()) + QDir::separator();
    struct Row {
        const char *name;
        QString snapshotPath;
        QString opened; // the folder of the proposal
    };
    const Row rows[] = {
        { "missing: made", top + QStringLiteral("SNAPSHOTS/"), top + QStringLiteral("SNAPSHOTS/") },
        { "two levels missing: made", top + QStringLiteral("a/b/"), top + QStringLiteral("a/b/") },
        { "below a file: cannot be made", top + QStringLiteral("file/shots/"), top },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedDialogs dialogs; // cancels
        int filterIndex = 0;
        QString snapshotPath = row.snapshotPath;
        QImage image = composed();
        snapshot::SaveThroughDialog(image, QStringLiteral("/web/a.htm"), filterIndex, snapshotPath, {});
        EXPECT_EQ(dialogs.texts(QStringLiteral("save")),
            QStringList { row.opened + QStringLiteral("snap_a_htm.jpg") });
        EXPECT_TRUE(QFileInfo(row.opened).isDir());
        EXPECT_EQ(snapshotPath, row.snapshotPath); // a cancelled dialog changes nothing
    }
}

namespace {

class Entries : public frame::SelectionQueries
{
public:
    QStringList paths;
    QList<bool> selected;
    QString currentFile() const override { return {}; }
    frame::SelectionCount selectionCounts() const override
    {
        return { 0, int(selected.count(true)), int(paths.size()) };
    }
    QString entryPath(int index, bool onlySelected) const override
    {
        if (index >= paths.size() || (onlySelected && !selected.at(index)))
            return {};
        return paths.at(index);
    }
};

class BatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : { "a.htm", "skip.htm", "b.htm", "c.htm" }) {
            const QString path = site.filePath(QLatin1String(name));
            writeFile(path, "<html></html>");
            entries.paths.append(path);
        }
        entries.selected = { true, false, true, true };
        job.selectedCount = 3;
        job.entryCount = 4;
        out = QDir::toNativeSeparators(output.path()) + QDir::separator();
    }

    int run()
    {
        snapshot::BatchExport batch { entries, progress,
            [this](const QString &file) {
                shot.append(QFileInfo(file).fileName());
                return QFileInfo::exists(file) ? &image : nullptr;
            },
            status.line(), [this](bool on) { enabled.append(on); },
            [this](const QStringList &pages) { planned = pages; } };
        return snapshot::ExportSnapshots(batch, job, out);
    }

    QStringList written() const { return QDir(out).entryList(QDir::Files); }

    QTemporaryDir site;
    QTemporaryDir output;
    QString out;
    Entries entries;
    RecordingProgress progress;
    Recorder status;
    QList<bool> enabled;
    QStringList shot;
    QStringList planned;
    QImage image = composed();
    snapshot::SnapshotJob job;
};

} // namespace

TEST_F(BatchTest, SelectedEntriesInOrderWithTheirProgressLines)
{
    ScriptedDialogs dialogs;
    EXPECT_EQ(run(), 3);
    EXPECT_EQ(written(),
        QStringList({ QStringLiteral("snap_a_htm.jpg"), QStringLiteral("snap_b_htm.jpg"),
            QStringLiteral("snap_c_htm.jpg") }));
    EXPECT_EQ(progress.events,
        QStringList({ QStringLiteral("init 3"), QStringLiteral("show"),
            QStringLiteral("(1 of 3): ") + entries.paths.at(0),
            QStringLiteral("(2 of 3): ") + entries.paths.at(2),
            QStringLiteral("(3 of 3): ") + entries.paths.at(3), QStringLiteral("close") }));
    EXPECT_EQ(status.lines.last(), QStringLiteral("Snapshots done ..."));
    EXPECT_EQ(enabled, QList<bool>({ false, true }));
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(
        planned, QStringList({ entries.paths.at(0), entries.paths.at(2), entries.paths.at(3) }));
}

TEST_F(BatchTest, OverwriteQuestionNoSkipsCancelEnds)
{
    writeFile(out + QStringLiteral("snap_a_htm.jpg"), "old a");
    writeFile(out + QStringLiteral("snap_b_htm.jpg"), "old b");
    ScriptedDialogs dialogs;
    dialogs.answers = { platform::Answer::No, platform::Answer::Cancel };
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 2);
    EXPECT_EQ(fileBytes(out + QStringLiteral("snap_a_htm.jpg")), QByteArray("old a"));
    EXPECT_EQ(fileBytes(out + QStringLiteral("snap_b_htm.jpg")), QByteArray("old b"));
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("snap_c_htm.jpg")));
    EXPECT_EQ(status.lines.last(), QStringLiteral("Snapshots done ..."));
    EXPECT_EQ(enabled, QList<bool>({ false, true }));
    EXPECT_EQ(progress.events.last(), QStringLiteral("close"));
}

TEST_F(BatchTest, StopEndsAfterTheCurrentFileAndMissingPagesWriteNothing)
{
    ScriptedDialogs dialogs;
    QFile::remove(entries.paths.at(0));
    progress.stopAfterSteps = 2;
    job.outputExtension = QStringLiteral(".bmp");
    job.outputKind = snapshot::OutputKind::Bmp;
    EXPECT_EQ(run(), 2);
    EXPECT_EQ(shot, QStringList({ QStringLiteral("a.htm"), QStringLiteral("b.htm") }));
    EXPECT_EQ(written(), QStringList { QStringLiteral("snap_b_htm.bmp") });
    EXPECT_EQ(status.lines.last(), QStringLiteral("Snapshots done ..."));
}

TEST_F(BatchTest, TheOutputFolderIsCreated)
{
    ScriptedDialogs dialogs;
    out = output.filePath(QStringLiteral("new/deeper"));
    EXPECT_EQ(run(), 3);
    EXPECT_EQ(written().size(), 3);
}
