#include "enginetestutil.h"

#include "engine/htmlview.h"
#include "frame/selection.h"
#include "kit/updown.h"
#include "snapshot/snapshotbatchdialog.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotoptionsdialog.h"
#include "support/scripteddialogs.h"
#include "support/whenmodal.h"
#include "support/widgetbyname.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

// The pages of a stand-in main window, every one selected.
class Pages : public frame::SelectionQueries
{
public:
    QStringList paths;
    QString currentFile() const override { return paths.size() == 1 ? paths.first() : QString(); }
    frame::SelectionCount selectionCounts() const override
    {
        return { 0, int(paths.size()), int(paths.size()) };
    }
    QString entryPath(int index, bool) const override { return paths.value(index); }
};

const QByteArray kGreenPage
    = "<html><body style='margin:0;background:#00ff00;overflow:hidden'></body></html>";

class SnapWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        settings.customWidth = 200;
        settings.customHeight = 150;
        settings.snapshotPath = QDir::toNativeSeparators(output.path()) + QDir::separator();
    }

    snapshot::SnapshotHost host(engine::HtmlView *browser = nullptr)
    {
        return { settings, job, pages, nullptr, browser, QRect(100, 100, 800, 600), {} };
    }

    void openSingle(const QString &file)
    {
        pages.paths = { file };
        job.currentFile = file;
        job.selectedCount = job.entryCount = 1;
    }

    PageFolder site;
    QTemporaryDir output;
    ScriptedDialogs dialogs;
    frame::Settings settings;
    snapshot::SnapshotJob job;
    Pages pages;
};

} // namespace

TEST_F(SnapWindowTest, OpeningFromTheMainWindowShowsTheSettingsAndTheEmptyFrame)
{
    openSingle(site.write(QStringLiteral("a.htm"), kGreenPage));
    settings.customWidth = 5000; // a hand-edited value: the up-down keeps its range
    settings.scale = 3;
    snapshot::SnapshotOptionsDialog form(host());
    form.show();
    EXPECT_EQ(form.windowTitle(),
        QStringLiteral("Snapshot Options - (File: ") + job.currentFile + QStringLiteral(")"));
    EXPECT_EQ(form.geometry(), QRect(114, 125, 772, 570));
    EXPECT_TRUE(widget<QRadioButton>(&form, "RBCustom")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>(&form, "RBBrowser")->isEnabled());
    EXPECT_TRUE(widget<QLineEdit>(&form, "EViewWidth")->text().isEmpty());
    EXPECT_EQ(widget<QLineEdit>(&form, "EWidth")->text(), QStringLiteral("2000"));
    EXPECT_EQ(widget<QLineEdit>(&form, "EScale")->text(), QStringLiteral("5"));
    EXPECT_FALSE(widget<QPushButton>(&form, "Bsave")->isEnabled());
    EXPECT_FALSE(widget<QPushButton>(&form, "BBatch")->isEnabled());
    // 2000 x 150 at 5 %: 100 x 7 is too small, so no frame; the message says why.
    EXPECT_TRUE(form.snapshotImage().isNull());
    EXPECT_EQ(dialogs.count(QStringLiteral("info")), 1);

    widget<kit::UpDown>(&form, "UDScale")->stepBy(3);
    EXPECT_EQ(widget<QLineEdit>(&form, "EScale")->text(), QStringLiteral("20"));
    widget<QLineEdit>(&form, "EScale")->setText(QStringLiteral("4"));
    form.preview();
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("4 is not a valid scaling factor: (5-100%)!"));
    widget<QRadioButton>(&form, "RBBrowser")->click(); // disabled: nothing changes
    EXPECT_TRUE(widget<QLineEdit>(&form, "EWidth")->isEnabled());
}

TEST_F(SnapWindowTest, PreviewComposesThePageAndEnablesSave)
{
    openSingle(site.write(QStringLiteral("green.htm"), kGreenPage));
    snapshot::SnapshotOptionsDialog form(host());
    form.show();
    ASSERT_EQ(form.snapshotImage().size(), QSize(210, 160)); // the empty frame at once
    form.preview();
    EXPECT_EQ(form.statusText(),
        QStringLiteral("Snapshot done: (Source: 200x150,  Snapshot: 210x160 = 100%)"));
    EXPECT_TRUE(widget<QPushButton>(&form, "Bsave")->isEnabled());
    const QImage image = form.snapshotImage();
    ASSERT_EQ(image.size(), QSize(210, 160));
    EXPECT_TRUE(sameColor(image.pixel(100, 75), qRgb(0, 255, 0)));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 128));
    EXPECT_EQ(image.pixel(205, 155), qRgb(128, 128, 128));

    form.copyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(210, 160));
    EXPECT_EQ(form.snapshotImage().format(), QImage::Format_RGB888);

    // A page that is gone: nothing is captured, the status text is still set.
    job.currentFile = site.path(QStringLiteral("gone.htm"));
    form.preview();
    EXPECT_EQ(form.statusText(),
        QStringLiteral("Snapshot done: (Source: 200x150,  Snapshot: 210x160 = 100%)"));
}

TEST_F(SnapWindowTest, BothCropsCutTheScrollBars)
{
    // Wider and higher than the view: both scroll bars show.
    openSingle(site.write(QStringLiteral("big.htm"),
        "<html><body style='margin:0;background:#00ff00'>"
        "<div style='width:900px;height:900px'></div></body></html>"));
    settings.cropHorizontal = settings.cropVertical = true;
    settings.border = 0;
    settings.shade = 0;
    snapshot::SnapshotOptionsDialog form(host());
    form.show();
    form.preview();
    const QImage image = form.snapshotImage();
    ASSERT_EQ(image.size(), QSize(184, 134));
    // The last column and row were next to the scroll bars: page colour, not a bar.
    EXPECT_TRUE(sameColor(image.pixel(183, 60), qRgb(0, 255, 0), 24));
    EXPECT_TRUE(sameColor(image.pixel(90, 133), qRgb(0, 255, 0), 24));
}

TEST_F(SnapWindowTest, FromTheBrowserTheLiveViewIsCapturedAndGivenBack)
{
    QWidget viewer;
    auto *layout = new QVBoxLayout(&viewer);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browser = new engine::HtmlView(&viewer);
    layout->addWidget(browser);
    viewer.resize(300, 200);
    viewer.show();
    ASSERT_TRUE(browser->loadHtmlFile(site.write(QStringLiteral("red.htm"),
        "<html><body style='margin:0;background:#ff0000;overflow:hidden'></body></html>")));
    openSingle(site.write(QStringLiteral("green.htm"), kGreenPage));
    job.fromBrowser = true;
    snapshot::SnapshotHost snapHost = host(browser);
    snapHost.browserReturned = [&] { layout->addWidget(browser); };

    snapshot::SnapshotOptionsDialog form(snapHost);
    form.show();
    EXPECT_FALSE(widget<QRadioButton>(&form, "RBCustom")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>(&form, "RBBrowser")->isChecked());
    EXPECT_FALSE(widget<QLineEdit>(&form, "EWidth")->isEnabled());
    EXPECT_EQ(widget<QLineEdit>(&form, "EViewWidth")->text(), QStringLiteral("(300x200)"));
    form.preview();
    EXPECT_EQ(form.statusText(),
        QStringLiteral("Snapshot done: (Source: 300x200,  Snapshot: 310x210 = 100%)"));
    // What the browser shows, not the file chosen in the main window.
    EXPECT_TRUE(sameColor(form.snapshotImage().pixel(150, 100), qRgb(255, 0, 0)));
    EXPECT_EQ(browser->parentWidget(), &viewer);
    EXPECT_GE(layout->indexOf(browser), 0);
    EXPECT_EQ(settings.customWidth, 200); // the custom size is neither tested nor stored
}

TEST_F(SnapWindowTest, BatchModePreviewsTheFirstSelectedEntry)
{
    pages.paths = { site.write(QStringLiteral("one.htm"), kGreenPage),
        site.write(QStringLiteral("two.htm"), kGreenPage) };
    job.batchMode = true;
    job.selectedCount = job.entryCount = 2;
    snapshot::SnapshotOptionsDialog form(host());
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Snapshot Options for 2 files"));
    EXPECT_TRUE(widget<QPushButton>(&form, "BBatch")->isEnabled());
    form.preview();
    EXPECT_EQ(job.currentFile, pages.paths.first());
    EXPECT_EQ(form.statusText(),
        QStringLiteral("Preview file (1 of 2): (Source: 200x150,  Output: 210x160)"));
    EXPECT_FALSE(widget<QPushButton>(&form, "Bsave")->isEnabled());
}

TEST_F(SnapWindowTest, BatchExportWritesEverySelectedPage)
{
    pages.paths = { site.write(QStringLiteral("a.htm"), kGreenPage),
        site.write(QStringLiteral("b.x.htm"), kGreenPage) };
    job.batchMode = true;
    job.selectedCount = job.entryCount = 2;
    settings.scale = 50;
    snapshot::SnapshotOptionsDialog form(host());
    form.show();
    QString caption;
    whenModal<snapshot::SnapshotBatchDialog>([&](snapshot::SnapshotBatchDialog &batch) {
        caption = batch.windowTitle();
        widget<QComboBox>(&batch, "FilterComboBox1")->setCurrentIndex(1);
        widget<QPushButton>(&batch, "BOK")->click();
    });
    form.exportBatch();
    EXPECT_EQ(caption, QStringLiteral("Export 2 snapshots"));
    EXPECT_EQ(QDir(output.path()).entryList(QDir::Files),
        QStringList({ QStringLiteral("snap_a_htm.bmp"), QStringLiteral("snap_b_x_htm.bmp") }));
    EXPECT_EQ(QImage(output.filePath(QStringLiteral("snap_a_htm.bmp"))).size(), QSize(110, 85));
    EXPECT_EQ(form.statusText(), QStringLiteral("Snapshots done ..."));
    EXPECT_TRUE(form.isEnabled());

    // Cancel in the batch dialog ends the command before anything is written.
    QDir(output.path()).removeRecursively();
    whenModal<snapshot::SnapshotBatchDialog>(
        [](snapshot::SnapshotBatchDialog &batch) { batch.reject(); });
    form.exportBatch();
    EXPECT_FALSE(QDir(output.path()).exists());
}

TEST_F(SnapWindowTest, EscapeClosesWithCancelAndEndsBatchMode)
{
    openSingle(site.write(QStringLiteral("a.htm"), kGreenPage));
    job.batchMode = true;
    job.selectedCount = 2;
    snapshot::SnapshotOptionsDialog form(host());
    whenModal<snapshot::SnapshotOptionsDialog>([](snapshot::SnapshotOptionsDialog &window) {
        QTest::keyClick(widget<QLineEdit>(&window, "EScale"), Qt::Key_Escape);
    });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_FALSE(job.batchMode);
    EXPECT_TRUE(form.snapshotImage().isNull());
}

TEST_F(SnapWindowTest, TheBatchDialogChoosesFolderAndFormat)
{
    job.selectedCount = 3;
    QString snapshotPath = QStringLiteral("   ");
    snapshot::SnapshotBatchDialog blank(job, snapshotPath);
    blank.show();
    EXPECT_FALSE(widget<QPushButton>(&blank, "BOK")->isEnabled());

    snapshotPath = settings.snapshotPath;
    snapshot::SnapshotBatchDialog dialog(job, snapshotPath);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Export 3 snapshots"));
    EXPECT_EQ(widget<QLineEdit>(&dialog, "ELoc1")->text(), settings.snapshotPath);
    EXPECT_TRUE(widget<QPushButton>(&dialog, "BOK")->isEnabled());
    EXPECT_EQ(job.outputExtension, QStringLiteral(".jpg"));
    widget<QComboBox>(&dialog, "FilterComboBox1")->setCurrentIndex(1);
    EXPECT_EQ(job.outputExtension, QStringLiteral(".bmp"));
    EXPECT_EQ(job.outputKind, snapshot::OutputKind::Bmp);

    dialogs.paths = { QString(), output.filePath(QStringLiteral("new")) };
    dialogs.answers = { platform::Answer::Yes }; // create the new folder
    widget<QPushButton>(&dialog, "BEditor1")->click(); // cancelled
    EXPECT_EQ(widget<QLineEdit>(&dialog, "ELoc1")->text(), settings.snapshotPath);
    widget<QPushButton>(&dialog, "BEditor1")->click();
    const QString chosen
        = QDir::toNativeSeparators(output.filePath(QStringLiteral("new"))) + QDir::separator();
    EXPECT_EQ(widget<QLineEdit>(&dialog, "ELoc1")->text(), chosen);
    EXPECT_EQ(dialogs.texts(QStringLiteral("folder")).last(), settings.snapshotPath);
    widget<QPushButton>(&dialog, "BOK")->click();
    EXPECT_EQ(snapshotPath, chosen);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// A preview that went wrong says so on the status line instead of "Snapshot done".
TEST_F(SnapWindowTest, PreviewNamesAPageThatWentWrong)
{
    const QString pipe = site.path(QStringLiteral("pipe.htm"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    struct Row {
        QString file;
        QString status;
        bool canSave; // the picture as far as the page got
    };
    const QString endless = site.write(QStringLiteral("endless.htm"),
        "<html><body style='background:#00ff00'>x<script>for (;;) {}</script></body></html>");
    const Row rows[] = {
        { pipe, QStringLiteral("not a regular file: ") + pipe, false },
        { endless, endless + QStringLiteral(" did not finish loading; shown as far as it got"),
            true },
    };
    for (const Row &row : rows) {
        openSingle(row.file);
        snapshot::SnapshotOptionsDialog form(host());
        form.show();
        form.preview();
        EXPECT_EQ(form.statusText(), row.status);
        EXPECT_EQ(widget<QPushButton>(&form, "Bsave")->isEnabled(), row.canSave)
            << row.status.toStdString();
    }
}

TEST_F(SnapWindowTest, ATypedNewOutputFolderIsCreatedAfterAsking)
{
    struct Row {
        const char *name;
        bool yes;
    };
    for (const Row row : { Row { "made", true }, Row { "declined", false } }) {
        QString snapshotPath = settings.snapshotPath;
        snapshot::SnapshotBatchDialog dialog(job, snapshotPath);
        dialog.show();
        const QString typed = output.filePath(QString::fromLatin1(row.name) + u"/sub");
        dialogs.paths = { typed };
        dialogs.answers = { row.yes ? platform::Answer::Yes : platform::Answer::No };
        widget<QPushButton>(&dialog, "BEditor1")->click();
        EXPECT_EQ(dialogs.texts(QStringLiteral("yesno")).last(),
            QStringLiteral("The folder \"") + QDir::toNativeSeparators(typed)
                + QStringLiteral("\" does not exist.\nCreate it?"))
            << row.name;
        EXPECT_EQ(QFileInfo(typed).isDir(), row.yes) << row.name;
        EXPECT_EQ(widget<QLineEdit>(&dialog, "ELoc1")->text(),
            row.yes ? QDir::toNativeSeparators(typed) + QDir::separator() : settings.snapshotPath)
            << row.name;
    }
}
