#include "fakeselection.h"

#include "folderview/fileops.h"
#include "platform/filecopy.h"
#include "support/scripteddialogs.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using platform::Answer;
using platform::Dialogs;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

const QDateTime kOldDate(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);

QByteArray patterned(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

bool setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFile::FileModificationTime);
}

QDateTime modifiedOf(const QString &path)
{
    return QFileInfo(path).fileTime(QFile::FileModificationTime).toUTC();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files);
}

// Lets no file grow past `bytes` while it lives, as a full disk would.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = m_old;
        low.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

TEST(CopyFileKeepDate, CopiesEveryByteAndTheDate)
{
    QTemporaryDir dir;
    struct Row {
        const char *name;
        int size;
    };
    const Row rows[] = {
        {"empty", 0},
        {"less than a block", 100},
        {"exactly two blocks", 32768},
        {"blocks and a rest", 50001},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString source = dir.filePath(u8("src.htm"));
        const QString target = dir.filePath(u8("out/copy.htm"));
        QDir().mkpath(dir.filePath(u8("out")));
        ASSERT_TRUE(putFile(source, patterned(row.size)));
        ASSERT_TRUE(setModified(source, kOldDate));
        EXPECT_TRUE(platform::CopyFileKeepDate(source, target));
        EXPECT_EQ(fileBytes(target), patterned(row.size));
        EXPECT_EQ(modifiedOf(target), kOldDate);
        EXPECT_EQ(filesIn(dir.filePath(u8("out"))), QStringList{u8("copy.htm")});
    }
}

TEST(CopyFileKeepDate, ReplacesAnExistingTarget)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(u8("new.htm"));
    const QString target = dir.filePath(u8("old.htm"));
    ASSERT_TRUE(putFile(source, "new"));
    ASSERT_TRUE(putFile(target, "a longer old text"));
    EXPECT_TRUE(platform::CopyFileKeepDate(source, target));
    EXPECT_EQ(fileBytes(target), QByteArray("new"));
}

// Whatever fails, the old target stays as it was and nothing is left beside it.
TEST(CopyFileKeepDate, FailuresKeepTheOldTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u8("target.htm"));
    const QString big = dir.filePath(u8("big.htm"));
    ASSERT_TRUE(putFile(big, patterned(200000)));
    const QString pipe = dir.filePath(u8("pipe.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(dir.filePath(u8("folder.htm"))));

    struct Row {
        const char *name;
        QString source;
        rlim_t sizeLimit; // 0: none
    };
    const Row rows[] = {
        {"source deleted after listing", dir.filePath(u8("vanished.htm")), 0},
        {"source is a folder", dir.filePath(u8("folder.htm")), 0},
        {"source is a named pipe", pipe, 0},
        {"disk full half-way", big, 50000},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(putFile(target, "old content"));
        QElapsedTimer timer;
        timer.start();
        bool copied = true;
        if (row.sizeLimit) {
            FileSizeLimit limit(row.sizeLimit);
            copied = platform::CopyFileKeepDate(row.source, target);
        } else {
            copied = platform::CopyFileKeepDate(row.source, target);
        }
        EXPECT_FALSE(copied);
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(fileBytes(target), QByteArray("old content"));
        EXPECT_EQ(filesIn(dir.path()), (QStringList{u8("big.htm"), u8("target.htm")}));
    }
}

TEST(CopyFileKeepDate, FolderStandingAtTheTargetStays)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(u8("a.htm"));
    ASSERT_TRUE(putFile(source, "a"));
    const QString target = dir.filePath(u8("taken"));
    ASSERT_TRUE(QDir().mkdir(target));
    EXPECT_FALSE(platform::CopyFileKeepDate(source, target));
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(filesIn(dir.path()), QStringList{u8("a.htm")});
}

class CopyFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkdir(dir.filePath(u8("site"))));
        ASSERT_TRUE(QDir().mkdir(dir.filePath(u8("dest"))));
        for (const char *name : {"index.htm", "about.htm", "news.htm", "logo.gif", "faq.htm"}) {
            const QString path = dir.filePath(u8("site/") + u8(name));
            ASSERT_TRUE(putFile(path, QByteArray("source ") + name));
            ASSERT_TRUE(setModified(path, kOldDate));
            sources.append(path);
        }
        dest = dir.filePath(u8("dest"));
    }

    folderview::CopyResult copy(const FakeSelection &selection)
    {
        return folderview::copySelectedFiles(
            selection, copyPath, progress, [this](bool on) { mainWindowEnabled.append(on); });
    }

    QTemporaryDir dir;
    QStringList sources;
    QString dest;
    QString copyPath = u8("/start/here/");
    ScriptedDialogs dialogs;
    RecordingProgress progress;
    QList<bool> mainWindowEnabled;
};

TEST_F(CopyFiles, FiveFilesOneExistingNoSkipsIt)
{
    const QString existing = dest + u8("/about.htm");
    ASSERT_TRUE(putFile(existing, "keep me"));
    dialogs.paths = {dest};
    dialogs.answers = {Answer::Yes, Answer::No};
    const auto result = copy(FakeSelection::allOf(sources));

    EXPECT_EQ(dialogs.texts(u8("folder")), QStringList{u8("/start/here/")});
    const QStringList questions = dialogs.texts(u8("yesnocancel"));
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions.at(0), u8("Copy 5 file(s) to folder:\n\n") + dest + u8("/"));
    EXPECT_EQ(questions.at(1), u8("File: ") + existing + u8(" exists.\n\nOverwrite?"));
    EXPECT_EQ(fileBytes(existing), QByteArray("keep me"));
    EXPECT_EQ(result.copied, 4);
    EXPECT_EQ(filesIn(dest).size(), 5);
    EXPECT_EQ(fileBytes(dest + u8("/faq.htm")), QByteArray("source faq.htm"));
    EXPECT_EQ(modifiedOf(dest + u8("/news.htm")), kOldDate);

    QStringList expectedTexts;
    for (int k = 1; k <= 5; ++k)
        expectedTexts.append(u8("(") + QString::number(k) + u8(" of 5): ") + sources.at(k - 1));
    EXPECT_EQ(progress.texts, expectedTexts);
    EXPECT_EQ(progress.max, 5);
    EXPECT_EQ(progress.steps, 5);
    EXPECT_EQ(progress.closes, 1);
    EXPECT_EQ(mainWindowEnabled, (QList<bool>{false, true}));
    EXPECT_EQ(copyPath, dest + u8("/"));
}

TEST_F(CopyFiles, CancelAtAnOverwriteQuestionEndsTheLoop)
{
    ASSERT_TRUE(putFile(dest + u8("/news.htm"), "keep me"));
    dialogs.paths = {dest};
    dialogs.answers = {Answer::Yes, Answer::Cancel};
    const auto result = copy(FakeSelection::allOf(sources));
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(filesIn(dest), (QStringList{u8("about.htm"), u8("index.htm"), u8("news.htm")}));
    EXPECT_EQ(fileBytes(dest + u8("/news.htm")), QByteArray("keep me"));
    EXPECT_EQ(progress.closes, 1);
    EXPECT_EQ(mainWindowEnabled, (QList<bool>{false, true}));
    EXPECT_EQ(copyPath, dest + u8("/"));
}

TEST_F(CopyFiles, StopEndsTheLoopAfterTheCurrentFile)
{
    progress.stopAfterSteps = 2;
    dialogs.paths = {dest};
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(copy(FakeSelection::allOf(sources)).copied, 2);
    EXPECT_EQ(filesIn(dest).size(), 2);
    EXPECT_EQ(progress.closes, 1);
    EXPECT_EQ(copyPath, dest + u8("/"));
}

TEST_F(CopyFiles, ConfirmationAnsweredNoCopiesNothing)
{
    for (Answer answer : {Answer::No, Answer::Cancel}) {
        dialogs.paths = {dest};
        dialogs.answers = {answer};
        EXPECT_EQ(copy(FakeSelection::allOf(sources)).copied, 0);
    }
    dialogs.paths = {}; // the folder dialog cancelled
    EXPECT_EQ(copy(FakeSelection::allOf(sources)).copied, 0);
    EXPECT_TRUE(filesIn(dest).isEmpty());
    EXPECT_EQ(progress.max, -1);
    EXPECT_TRUE(mainWindowEnabled.isEmpty());
    EXPECT_EQ(copyPath, u8("/start/here/"));
}

TEST_F(CopyFiles, FileDeletedBetweenListingAndCopyingIsSkippedSilently)
{
    FakeSelection selection = FakeSelection::allOf(sources);
    selection.selected[1] = false;
    ASSERT_TRUE(QFile::remove(sources.at(2)));
    dialogs.paths = {dest};
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(copy(selection).copied, 3);
    EXPECT_EQ(filesIn(dest), (QStringList{u8("faq.htm"), u8("index.htm"), u8("logo.gif")}));
    EXPECT_EQ(dialogs.calls.size(), 2); // the folder and the one question
    EXPECT_EQ(progress.texts.constLast(), u8("(4 of 4): ") + sources.at(4));
}

TEST_F(CopyFiles, IntoTheSourceFolderEachFileIsItsOwnTarget)
{
    dialogs.paths = {dir.filePath(u8("site"))};
    dialogs.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    FakeSelection selection = FakeSelection::allOf(sources.mid(0, 2));
    EXPECT_EQ(copy(selection).copied, 0);
    EXPECT_EQ(dialogs.count(u8("yesnocancel")), 3);
    EXPECT_EQ(fileBytes(sources.at(0)), QByteArray("source index.htm"));
}

TEST_F(CopyFiles, OneFileGoesThroughTheSaveDialog)
{
    FakeSelection selection = FakeSelection::allOf(sources);
    selection.selected = {false, false, true, false, false};
    selection.current = 2;
    dialogs.paths = {dest + u8("/  renamed.htm  ")};
    const auto result = copy(selection);
    EXPECT_EQ(dialogs.texts(u8("save")), QStringList{sources.at(2)});
    EXPECT_EQ(result.singleTarget, dest + u8("/renamed.htm"));
    EXPECT_EQ(result.copied, 1);
    EXPECT_EQ(fileBytes(dest + u8("/renamed.htm")), QByteArray("source news.htm"));
    EXPECT_EQ(modifiedOf(dest + u8("/renamed.htm")), kOldDate);
    EXPECT_EQ(copyPath, u8("/start/here/"));
    EXPECT_EQ(progress.max, -1);
}

TEST_F(CopyFiles, OneFileOntoItself)
{
    FakeSelection selection = FakeSelection::allOf(sources);
    selection.selected = {true, false, false, false, false};
    for (const QString &same : {sources.at(0), dir.filePath(u8("site/../site/index.htm"))}) {
        SCOPED_TRACE(same.toStdString());
        dialogs.calls.clear();
        dialogs.paths = {same};
        const auto result = copy(selection);
        EXPECT_EQ(dialogs.texts(u8("info")), QStringList{u8("Cannot copy a file to itself ...")});
        EXPECT_TRUE(result.singleTarget.isEmpty());
    }
    EXPECT_EQ(modifiedOf(sources.at(0)), kOldDate);
    EXPECT_EQ(filesIn(dir.filePath(u8("site"))).size(), 5);
}

TEST_F(CopyFiles, OneFileWithARefusedName)
{
    FakeSelection selection = FakeSelection::allOf(sources);
    selection.selected = {true, false, false, false, false};
    dialogs.paths = {dest + u8("/what?.htm")};
    EXPECT_TRUE(copy(selection).singleTarget.isEmpty());
    EXPECT_EQ(dialogs.texts(u8("error")), QStringList{u8("Invalid Filename: what?.htm")});
    EXPECT_EQ(dialogs.count(u8("beep")), 1);
    EXPECT_TRUE(filesIn(dest).isEmpty());
}

TEST_F(CopyFiles, NothingSelectedDoesNothing)
{
    FakeSelection selection = FakeSelection::allOf(sources);
    selection.selected = QList<bool>(5, false);
    EXPECT_EQ(copy(selection).copied, 0);
    EXPECT_TRUE(dialogs.calls.isEmpty());
}
