#include "fakeselection.h"

#include "folderview/fileops.h"
#include "platform/diskspace.h"
#include "platform/filecopy.h"
#include "platform/filerules.h"
#include "platform/startfile.h"
#include "support/scripteddialogs.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::AcceptedFileMask;
using platform::PathStyle;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

const QString kQuestionHead =
    u8("CAUTION:\n--- File(s) will not be moved to Win95/98/NT Recycle Bin! ---\n\n\n");

// Puts the system's free-space source back after a test replaced it.
struct FreeSpaceOverride {
    explicit FreeSpaceOverride(platform::FreeSpaceSource source)
    {
        platform::setFreeSpaceSource(std::move(source));
    }
    ~FreeSpaceOverride() { platform::setFreeSpaceSource({}); }
};

} // namespace

TEST(FileOps, MaskMatches)
{
    struct Row {
        const char *name;
        const char *path;
        const char *mask;
        PathStyle style;
        bool expected;
    };
    const char *accepted = "*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht";
    const Row rows[] = {
        {"page.html is cut to .HTM", "/w/page.html", accepted, PathStyle::Posix, true},
        {"photo.jpeg is cut to .JPE", "/w/photo.jpeg", accepted, PathStyle::Posix, false},
        {"notes.h is the start of .htm", "/w/notes.h", accepted, PathStyle::Posix, true},
        {"upper-case Windows path", "C:\\SITE\\INDEX.HTM", accepted, PathStyle::Windows, true},
        {".shtml is cut to .SHT", "x.shtml", accepted, PathStyle::Posix, true},
        {"unknown extension", "x.txt", accepted, PathStyle::Posix, false},
        {"no extension", "/w/README", accepted, PathStyle::Posix, false},
        {"trailing dot", "/w/file.", accepted, PathStyle::Posix, false},
        {"the name ..", "/w/..", accepted, PathStyle::Posix, false},
        {"dot in the folder only", "C:\\site.v2\\README", accepted, PathStyle::Windows, false},
        {"dot in a folder that looks accepted", "/w/a.htm/README", accepted, PathStyle::Posix,
         false},
        {"mask in lower and mixed case", "A.HTM", "*.Htm", PathStyle::Posix, true},
        {"other mask", "x.jpg", "*.htm", PathStyle::Posix, false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::MaskMatches(u8(row.path), u8(row.mask), row.style), row.expected)
            << row.name;
}

TEST(FileOps, BuildTargetFileName)
{
    struct Row {
        const char *name;
        const char *folder;
        const char *file;
        const char *extension;
        PathStyle style;
        const char *expected; // empty: refused with the error box below
        const char *error;
    };
    const Row rows[] = {
        {"extension appended", "C:\\Lists", "mylist", ".lst", PathStyle::Windows,
         "C:\\Lists\\mylist.lst", nullptr},
        {"one backslash after the folder", "C:\\Lists\\\\", "a", ".lst", PathStyle::Windows,
         "C:\\Lists\\a.lst", nullptr},
        {"stars before the extension", "C:\\L", "a", "*.lst", PathStyle::Windows, "C:\\L\\a.lst",
         nullptr},
        {"own extension in other case kept", "C:\\L", "  My.LST  ", ".lst", PathStyle::Windows,
         "C:\\L\\My.LST", nullptr},
        {"dots trimmed at both ends", "C:\\L", "..name..", ".lst", PathStyle::Windows,
         "C:\\L\\name.lst", nullptr},
        {"other extension gets the given one", "C:\\S", "snap_page.htm", ".jpg", PathStyle::Windows,
         "C:\\S\\snap_page.htm.jpg", nullptr},
        {"empty extension appends nothing", "/tmp/x", "copy.htm", "", PathStyle::Posix,
         "/tmp/x/copy.htm", nullptr},
        {"posix folder", "/tmp/x//", "b", ".lst", PathStyle::Posix, "/tmp/x/b.lst", nullptr},
        {"backslash", "C:\\L", "a\\b", ".lst", PathStyle::Windows, "",
         "Invalid Filename: a\\b"},
        {"slash", "/tmp", "a/b", "", PathStyle::Posix, "", "Invalid Filename: a/b"},
        {"two dots inside", "C:\\L", "a..b", "", PathStyle::Windows, "", "Invalid Filename: a..b"},
        {"question mark", "C:\\L", "what?", ".lst", PathStyle::Windows, "",
         "Invalid Filename: what?"},
        {"star", "C:\\L", "*", "", PathStyle::Windows, "", "Invalid Filename: *"},
        {"colon", "C:\\L", "c:x", "", PathStyle::Windows, "", "Invalid Filename: c:x"},
        {"only dots and blanks", "C:\\L", " ... ", "", PathStyle::Windows, "",
         "Invalid Filename:  ... "},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedDialogs dialogs;
        EXPECT_EQ(platform::BuildTargetFileName(
                      u8(row.folder), u8(row.file), u8(row.extension), row.style),
            u8(row.expected));
        if (row.error) {
            ASSERT_EQ(dialogs.calls.size(), 2);
            EXPECT_EQ(dialogs.calls.at(0).kind, u8("beep"));
            EXPECT_EQ(dialogs.calls.at(1).kind, u8("error"));
            EXPECT_EQ(dialogs.calls.at(1).text, u8(row.error));
        } else {
            EXPECT_TRUE(dialogs.calls.isEmpty());
        }
    }
}

TEST(FileOps, IsSameFile)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(u8("a.htm"));
    ASSERT_TRUE(putFile(a, "a"));
    ASSERT_TRUE(QFile::link(a, dir.filePath(u8("link.htm"))));
    ASSERT_TRUE(QDir().mkdir(dir.filePath(u8("sub"))));

    struct Row {
        const char *name;
        QString left;
        QString right;
        PathStyle style;
        bool expected;
    };
    const Row rows[] = {
        {"windows: other letter case", u8("C:\\Web\\a.htm"), u8("c:\\WEB\\A.HTM"),
         PathStyle::Windows, true},
        {"windows: either slash", u8("C:\\Web\\a.htm"), u8("C:/Web/a.htm"), PathStyle::Windows,
         true},
        {"windows: other file", u8("C:\\Web\\a.htm"), u8("C:\\Web\\b.htm"), PathStyle::Windows,
         false},
        {"posix: same text", a, a, PathStyle::Posix, true},
        {"posix: through . and ..", a, dir.path() + u8("/sub/../a.htm"), PathStyle::Posix, true},
        {"posix: through a link", a, dir.filePath(u8("link.htm")), PathStyle::Posix, true},
        {"posix: other letter case is another file", a, dir.filePath(u8("A.HTM")), PathStyle::Posix,
         false},
        {"posix: missing file", a, dir.filePath(u8("b.htm")), PathStyle::Posix, false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(platform::isSameFile(row.left, row.right, row.style), row.expected) << row.name;
}

TEST(FileOps, RemoveFileClearsRecycleBinOnlyForExistingFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u8("gone.htm"));
    ASSERT_TRUE(putFile(file, "x"));
    bool doRecycleBin = true;
    platform::RemoveFile(dir.filePath(u8("missing.htm")), doRecycleBin);
    EXPECT_TRUE(doRecycleBin);
    platform::RemoveFile(file, doRecycleBin);
    EXPECT_FALSE(doRecycleBin);
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(FileOps, checkDiskSpace)
{
    struct Row {
        const char *name;
        platform::VolumeSpace space;
        bool expected;
        const char *message;
    };
    const Row rows[] = {
        {"one byte short",
         {u8("/home"), 1999999},
         false,
         "Diskspace on drive \"/home\" < 2000Kb!\nProcess stopped."},
        {"a drive letter",
         {u8("C:"), 0},
         false,
         "Diskspace on drive \"C:\" < 2000Kb!\nProcess stopped."},
        {"exactly enough", {u8("/home"), 2000000}, true, nullptr},
        {"system cannot tell", {u8("/net"), -1}, true, nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QString asked;
        FreeSpaceOverride override([&](const QString &path) {
            asked = path;
            return row.space;
        });
        ScriptedDialogs dialogs;
        EXPECT_EQ(platform::checkDiskSpace(u8("/home/u/THUMBS/x.jpg"), 2000), row.expected);
        EXPECT_EQ(asked, u8("/home/u/THUMBS/x.jpg"));
        if (row.message)
            EXPECT_EQ(dialogs.texts(u8("info")), QStringList{u8(row.message)});
        else
            EXPECT_TRUE(dialogs.calls.isEmpty());
    }
}

// The real volume: it is named by its root, also for a file and folders not made yet.
TEST(FileOps, CheckDiskSpaceOnThisMachine)
{
    QTemporaryDir dir;
    const QString future = dir.filePath(u8("not/yet/made.jpg"));
    const platform::VolumeSpace space = platform::systemVolumeSpace(future);
    EXPECT_GE(space.freeBytes, 0);
    const QString root = QDir::toNativeSeparators(QStorageInfo(dir.path()).rootPath());
    EXPECT_EQ(space.name, root);

    ScriptedDialogs dialogs;
    EXPECT_TRUE(platform::checkDiskSpace(future, 1));
    EXPECT_FALSE(platform::checkDiskSpace(future, qint64(1) << 50));
    EXPECT_EQ(dialogs.texts(u8("info")),
              QStringList{u8("Diskspace on drive \"") + root + u8("\" < ")
                          + QString::number(qint64(1) << 50) + u8("Kb!\nProcess stopped.")});
}

class DeleteFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm"}) {
            paths.append(dir.filePath(u8(name)));
            ASSERT_TRUE(putFile(paths.constLast(), name));
        }
    }
    QStringList remaining() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    QStringList paths;
    ScriptedDialogs dialogs;
    bool doRecycleBin = true;
};

TEST_F(DeleteFiles, OneFileAsksWithItsQuotedName)
{
    FakeSelection selection = FakeSelection::allOf(paths);
    selection.selected = {false, true, false, false};
    selection.current = 1;
    dialogs.answers = {platform::Answer::Yes};
    const auto result = folderview::deleteSelectedFiles(selection, doRecycleBin);
    EXPECT_EQ(dialogs.texts(u8("yesnocancel")),
              QStringList{kQuestionHead + u8("Delete file \"") + paths.at(1)
                          + u8("\" permanently from disk?\n\n")});
    EXPECT_TRUE(result.confirmed);
    EXPECT_EQ(result.lastDeletedIndex, 1);
    EXPECT_FALSE(doRecycleBin);
    EXPECT_EQ(remaining(), (QStringList{u8("a.htm"), u8("c.htm"), u8("d.htm")}));
}

TEST_F(DeleteFiles, ThreeFilesAskWithTheirCount)
{
    FakeSelection selection = FakeSelection::allOf(paths);
    selection.selected = {true, false, true, true};
    dialogs.answers = {platform::Answer::Yes};
    const auto result = folderview::deleteSelectedFiles(selection, doRecycleBin);
    EXPECT_EQ(dialogs.texts(u8("yesnocancel")),
              QStringList{kQuestionHead + u8("Delete 3 files permanently from disk?\n\n")});
    EXPECT_EQ(result.lastDeletedIndex, 3);
    EXPECT_EQ(remaining(), QStringList{u8("b.htm")});
}

TEST_F(DeleteFiles, NoAndCancelLeaveEverything)
{
    for (platform::Answer answer : {platform::Answer::No, platform::Answer::Cancel}) {
        FakeSelection selection = FakeSelection::allOf(paths);
        dialogs.answers = {answer};
        const auto result = folderview::deleteSelectedFiles(selection, doRecycleBin);
        EXPECT_FALSE(result.confirmed) << int(answer);
        EXPECT_EQ(result.lastDeletedIndex, -1);
        EXPECT_TRUE(doRecycleBin);
        EXPECT_EQ(remaining().size(), 4);
    }
    EXPECT_EQ(dialogs.count(u8("yesnocancel")), 2);
}

// The hook settles the editor's changes: only after Yes, and its refusal keeps every file.
TEST_F(DeleteFiles, HookRunsAfterYesAndItsRefusalLeavesEverything)
{
    int hookRuns = 0;
    const auto refuse = [&hookRuns] {
        ++hookRuns;
        return false;
    };
    for (platform::Answer answer : {platform::Answer::No, platform::Answer::Yes}) {
        FakeSelection selection = FakeSelection::allOf(paths);
        dialogs.answers = {answer};
        EXPECT_FALSE(folderview::deleteSelectedFiles(selection, doRecycleBin, refuse).confirmed);
    }
    EXPECT_EQ(hookRuns, 1);
    EXPECT_TRUE(doRecycleBin);
    EXPECT_EQ(remaining().size(), 4);
}

TEST_F(DeleteFiles, NothingSelectedAsksNothing)
{
    FakeSelection selection = FakeSelection::allOf(paths);
    selection.selected = {false, false, false, false};
    selection.current = 2; // the focus mark alone selects nothing
    EXPECT_FALSE(folderview::deleteSelectedFiles(selection, doRecycleBin).confirmed);
    EXPECT_TRUE(dialogs.calls.isEmpty());
}

// The question must name the file that goes, not the entry that merely has the focus.
TEST_F(DeleteFiles, QuestionNamesTheSelectedFileNotTheFocusedOne)
{
    FakeSelection selection = FakeSelection::allOf(paths);
    selection.selected = {true, false, false, false};
    selection.current = 2;
    dialogs.answers = {platform::Answer::Yes};
    folderview::deleteSelectedFiles(selection, doRecycleBin);
    EXPECT_TRUE(dialogs.lastText().contains(u8("\"") + paths.at(0) + u8("\"")));
    EXPECT_EQ(remaining(), (QStringList{u8("b.htm"), u8("c.htm"), u8("d.htm")}));
}

TEST_F(DeleteFiles, FilesGoneMeanwhileAreSkippedSilently)
{
    FakeSelection selection = FakeSelection::allOf(paths);
    ASSERT_TRUE(QFile::remove(paths.at(0)));
    ASSERT_TRUE(QFile::remove(paths.at(3)));
    dialogs.answers = {platform::Answer::Yes};
    const auto result = folderview::deleteSelectedFiles(selection, doRecycleBin);
    EXPECT_TRUE(result.confirmed);
    EXPECT_EQ(result.lastDeletedIndex, 3);
    EXPECT_TRUE(remaining().isEmpty());
    EXPECT_EQ(dialogs.calls.size(), 1);
}

TEST(FileOps, AcceptDroppedFiles)
{
    struct Row {
        const char *name;
        QStringList dropped;
        const char *jumpTo;
        bool refused;
    };
    const Row rows[] = {
        {"page.html", {u8("/w/page.html")}, "/w/page.html", false},
        {"photo.jpeg", {u8("/w/photo.jpeg")}, "", true},
        {"notes.h", {u8("/w/notes.h")}, "/w/notes.h", false},
        {"three files: the first only",
         {u8("/w/a.htm"), u8("/w/b.htm"), u8("/w/c.htm")},
         "/w/a.htm",
         false},
        {"first refused, later accepted", {u8("/w/a.txt"), u8("/w/b.htm")}, "", true},
        {"nothing dropped", {}, "", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedDialogs dialogs;
        EXPECT_EQ(platform::AcceptDroppedFiles(row.dropped), u8(row.jumpTo));
        if (row.refused) {
            ASSERT_EQ(dialogs.calls.size(), 2);
            EXPECT_EQ(dialogs.calls.at(0).kind, u8("beep"));
            EXPECT_EQ(dialogs.calls.at(1).kind, u8("plain"));
            EXPECT_EQ(dialogs.calls.at(1).text,
                      u8("Folioscope:\nFile not accepted.\n") + row.dropped.constFirst());
        } else {
            EXPECT_TRUE(dialogs.calls.isEmpty());
        }
    }
}
