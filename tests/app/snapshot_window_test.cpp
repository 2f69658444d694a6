#include "mainwindow_fixture.h"

#include "app/contextmenu.h"
#include "engine/htmlview.h"
#include "snapshot/snapshotoptionsdialog.h"
#include "support/whenmodal.h"
#include "support/widgetbyname.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

QAction *snapshotAction(app::MainWindow &form)
{
    return widget<QMenu>(&form, "MenuExtras")->actions().value(0);
}

} // namespace

TEST_F(MainWindowTest, CreateSnapshotsChecksTheSelectionFirst)
{
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    selectRows({});
    snapshotAction(*form)->trigger();
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("No file(s) selected"));

    selectRows({ 0, 1 });
    QString caption;
    whenModal<snapshot::SnapshotOptionsDialog>([&](snapshot::SnapshotOptionsDialog &window) {
        caption = window.windowTitle();
        QTest::keyClick(widget<QLineEdit>(&window, "EScale"), Qt::Key_Escape);
    });
    snapshotAction(*form)->trigger();
    EXPECT_EQ(caption, QStringLiteral("Snapshot Options for 2 files"));
    EXPECT_FALSE(form->snapshotJob().batchMode);
    EXPECT_EQ(form->snapshotJob().selectedCount, 2);

    // The context menu's item runs the same command.
    selectRows({ 0 });
    QFile::remove(sitePath("a.htm"));
    widget<app::ContextMenu>(form, "PopLBTree")->item(frame::CreateSnapshots)->trigger();
    EXPECT_EQ(dialogs.lastText(),
        QStringLiteral("File: \"") + sitePath("a.htm") + QStringLiteral("\" not found!"));
    closeForm();
}

TEST_F(MainWindowTest, SnapViewTakesTheBrowserSizeAndGivesTheViewBack)
{
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    selectRows({ 1 });
    form->showFileInViews(false);
    engine::HtmlView *browser = view->browser();
    bool fromBrowser = false;
    bool backInViewer = false;
    QString viewSize;
    QString browserSize;
    QTimer::singleShot(200, [&] {
        whenModal<snapshot::SnapshotOptionsDialog>([&](snapshot::SnapshotOptionsDialog &window) {
            fromBrowser = widget<QRadioButton>(&window, "RBBrowser")->isChecked()
                && form->snapshotJob().fromBrowser;
            viewSize = widget<QLineEdit>(&window, "EViewWidth")->text();
            browserSize = QStringLiteral("(%1x%2)").arg(browser->width()).arg(browser->height());
            window.preview();
            QTest::keyClick(widget<QLineEdit>(&window, "EScale"), Qt::Key_Escape);
        });
        view->snapButton()->click();
        backInViewer = view->isAncestorOf(browser) && browser->isVisible();
        QTest::keyClick(view.get(), Qt::Key_Escape);
    });
    form->openCurrentFile();
    EXPECT_TRUE(fromBrowser);
    EXPECT_TRUE(backInViewer);
    EXPECT_EQ(viewSize, browserSize);
    EXPECT_FALSE(form->snapshotJob().fromBrowser);
    // Docked back into the main window after the viewer closed, as after any viewing.
    EXPECT_TRUE(widget<QWidget>(folderPageOf(*form), "Panel1")->isAncestorOf(browser));
    closeForm();
}
