// Writes that fail half-way (a full disk, played by a file-size limit): the old file stays
// whole, no temporary file is left, and the failure is reported, never taken for success.

#include "app/mainwindow_fixture.h"
#include "editor/editorfile.h"
#include "frame/settings.h"
#include "imaging/thumbstore.h"
#include "platform/inifile.h"
#include "platform/pathrules.h"
#include "platform/textcodec.h"
#include "scan/listfile.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotsave.h"
#include "support/scripteddialogs.h"
#include "support/widgetbyname.h"
#include "support/writefault.h"
#include "thumbs/thumbmaker.h"
#include "viewer/sourceeditor.h"

#include <QImage>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

const QByteArray kOld = "the old file, whole\r\n";

// Where the limit cuts the new content. Small content sits in the file's buffer until the
// commit (the cut shows only when the buffer is flushed); large content is written at once.
struct Cut {
    const char *what;
    bool large;
    enum { First, Half, Last } at;
};
constexpr Cut kCuts[] = {
    { "small, half-way", false, Cut::Half },
    { "small, at its last byte", false, Cut::Last },
    { "large, half-way", true, Cut::Half },
    { "large, at its first byte", true, Cut::First },
};

qint64 limitFor(const Cut &cut, qsizetype newSize)
{
    switch (cut.at) {
    case Cut::First:
        return 1;
    case Cut::Half:
        return newSize / 2;
    case Cut::Last:
        break;
    }
    return newSize - 1;
}

// What a save tells: its result and the text it reports.
struct Outcome {
    bool ok = false;
    QString report;
};

// How a failed save speaks: with a reason, or naming the file.
enum class Speaks { WithAReason, NamingTheFile };

// Runs `save` over the old file at `target` once freely, to learn the new content, and once
// more over the old file under the cut; then checks what must hold after a failed write. The
// same again with a second hard link to the file, which must show the old file too.
void expectFailedWrite(
    const Cut &cut, const QString &target, const std::function<Outcome()> &save, Speaks speaks)
{
    SCOPED_TRACE(cut.what);
    const QString other = QFileInfo(target).path() + QStringLiteral("/second-name");
    for (const bool linked : { false, true }) {
        SCOPED_TRACE(linked ? "hard-linked" : "one name");
        ASSERT_TRUE(putFile(target, kOld));
        const Outcome free = save();
        ASSERT_TRUE(free.ok) << free.report.toStdString();
        const QByteArray fresh = fileBytes(target);
        ASSERT_GT(fresh.size(), cut.large ? 64 * 1024 : 64);
        ASSERT_LT(fresh.size(), cut.large ? 8 * 1024 * 1024 : 16 * 1024);

        ASSERT_TRUE(putFile(target, kOld));
        if (linked) {
            ASSERT_EQ(::link(QFile::encodeName(target).constData(),
                          QFile::encodeName(other).constData()),
                0);
        }
        Outcome outcome;
        {
            const FileSizeLimit limit(limitFor(cut, fresh.size()));
            outcome = save();
        }
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(outcome.report.isEmpty());
        if (speaks == Speaks::NamingTheFile) {
            EXPECT_TRUE(outcome.report.contains(target)) << outcome.report.toStdString();
        }
        EXPECT_EQ(fileBytes(target), kOld);
        QStringList names { QFileInfo(target).fileName() };
        if (linked) {
            EXPECT_EQ(fileBytes(other), kOld);
            names.append(QFileInfo(other).fileName());
        }
        EXPECT_EQ(strayFiles(QFileInfo(target).path(), names), QStringList());
        QFile::remove(other);
    }
}

QString filler(qsizetype size)
{
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < size; ++i)
        text.append(QLatin1Char(char('a' + i % 23)));
    return text;
}

// Noise, so that its JPEG is about as large as its pixels.
QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(17);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < 3 * width; ++x)
            line[x] = uchar(random.bounded(256));
    }
    return image;
}

class WriteFaults : public testing::Test
{
protected:
    QString path(const QString &name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
};

TEST_F(WriteFaults, SettingsFile)
{
    const QString target = path(QStringLiteral("prg.ini"));
    for (const Cut &cut : kCuts) {
        frame::Settings settings;
        settings.lastSearch = filler(cut.large ? 300'000 : 4'000);
        expectFailedWrite(
            cut, target,
            [&] {
                platform::IniFile ini;
                ini.load(target);
                frame::writeSettings(ini, settings);
                Outcome outcome;
                outcome.ok = ini.save(&outcome.report);
                return outcome;
            },
            Speaks::NamingTheFile);
    }
}

TEST_F(WriteFaults, ListFile)
{
    const QString target = path(QStringLiteral("site.lst"));
    for (const Cut &cut : kCuts) {
        QStringList records;
        for (int i = 0; i < (cut.large ? 5000 : 60); ++i)
            records.append(QStringLiteral("/web/site/*page%1*.htm*2048*2001-03-17  14:05").arg(i));
        expectFailedWrite(
            cut, target,
            [&] {
                Outcome outcome;
                outcome.ok = scan::writeListFile(target, records, &outcome.report);
                return outcome;
            },
            Speaks::WithAReason);
    }
}

TEST_F(WriteFaults, EditedPage)
{
    const QString target = path(QStringLiteral("page.htm"));
    for (const Cut &cut : kCuts) {
        for (const auto encoding :
            { platform::TextEncoding::Utf8, platform::TextEncoding::Latin1 }) {
            const QString text
                = QStringLiteral("<p>caf\u00e9</p>\n").repeated(cut.large ? 30'000 : 400);
            expectFailedWrite(
                cut, target,
                [&] {
                    Outcome outcome;
                    outcome.ok = editor::saveEditorFile(
                        target, text, encoding, editor::LineEnds::CrLf, &outcome.report);
                    return outcome;
                },
                Speaks::WithAReason);
        }
    }
}

// The window's makeThumb swallows the failure; the store says which file failed and why, for
// the batch tool's line. The old thumbnail must survive it.
TEST_F(WriteFaults, Thumbnail)
{
    const QString thumbFolder = path(QStringLiteral("THUMBS"));
    const QString page = QStringLiteral("/web/site/index.htm");
    const QString target = imaging::ThumbFileFor(thumbFolder, platform::folderPart(page), page);
    for (const Cut &cut : kCuts) {
        const QImage picture = cut.large ? noise(600, 400) : noise(60, 40);
        expectFailedWrite(
            cut, target,
            [&] {
                Outcome outcome;
                outcome.ok = thumbs::StoreThumb(thumbFolder, page, picture, &outcome.report);
                return outcome;
            },
            Speaks::NamingTheFile);
    }
}

// Small snapshots as JPG, large ones as BMP. The failure shows in an error box naming the file,
// and the status line does not say "Saved as:".
TEST_F(WriteFaults, Snapshot)
{
    for (const Cut &cut : kCuts) {
        const snapshot::OutputKind kind = cut.large ? snapshot::OutputKind::Bmp : snapshot::OutputKind::Jpg;
        const QString target = path(cut.large ? QStringLiteral("bmp/snap_a_htm.bmp")
                                              : QStringLiteral("jpg/snap_a_htm.jpg"));
        const QImage picture = cut.large ? noise(300, 200) : noise(60, 40);
        expectFailedWrite(
            cut, target,
            [&] {
                dialogs.calls.clear();
                QStringList status;
                QImage image = picture;
                const bool ok = snapshot::SaveSnapshotImage(
                    image, target, kind, false, [&status](const QString &s) { status.append(s); });
                EXPECT_EQ(status.contains(QStringLiteral("Saved as:") + target), ok);
                return Outcome { ok, dialogs.texts(QStringLiteral("error")).join(u'\n') };
            },
            Speaks::NamingTheFile);
    }
}

// The same cut through the windows: their own messages, naming the file.
class WindowWriteFaults : public MainWindowTest
{
};

TEST_F(WindowWriteFaults, SettingsAtExitNameTheFile)
{
    const QString ini = program.filePath(QStringLiteral("prg.ini"));
    setIni(QStringLiteral("[OPTIONS]\r\nLastSearch=old\r\n"));
    const QByteArray before = fileBytes(ini);
    start();
    form->settings().lastSearch = filler(600'000);
    {
        const FileSizeLimit limit(300'000);
        closeForm();
    }
    const QStringList errors = dialogs.texts(QStringLiteral("error"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QDir::toNativeSeparators(ini)))
        << errors.first().toStdString();
    EXPECT_EQ(fileBytes(ini), before);
    EXPECT_EQ(QDir(program.path())
                  .entryList({ QStringLiteral("prg.ini*") }, QDir::AllEntries | QDir::Hidden),
        QStringList { QStringLiteral("prg.ini") });
}

TEST_F(WindowWriteFaults, EditorSaveSaysSoAndStaysModified)
{
    const QByteArray page = "<html><body>" + QByteArray(500'000, 'x') + "</body></html>";
    writeFile(sitePath("a.htm"), page);
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    selectRows({ 0 });
    form->showFileInViews(false);
    widget<QToolButton>(folderPageOf(*form), "SBEditor")->click();
    viewer::SourceEditor *editor = view->editor();
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(0);
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, 'Q');
    ASSERT_TRUE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());
    {
        const FileSizeLimit limit(250'000);
        widget<QPushButton>(folderPageOf(*form), "BSave")->click();
    }
    const QStringList infos = dialogs.texts(QStringLiteral("info"));
    ASSERT_EQ(infos.size(), 1);
    EXPECT_TRUE(
        infos.first().startsWith(QStringLiteral("File saving error in:\n") + sitePath("a.htm")
            + QStringLiteral("\nPlease check diskspace and writing permissions...")))
        << infos.first().toStdString();
    EXPECT_EQ(fileBytes(sitePath("a.htm")), page);
    EXPECT_TRUE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral(" --- UNSAVED ---")));
    EXPECT_EQ(
        QDir(site.path()).entryList({ QStringLiteral("a.htm*") }, QDir::AllEntries | QDir::Hidden),
        QStringList { QStringLiteral("a.htm") });
}

} // namespace
