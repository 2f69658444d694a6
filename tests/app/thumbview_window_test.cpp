#include "mainwindow_fixture.h"

#include "app/contextmenu.h"
#include "imaging/jpegcodec.h"
#include "imaging/thumbstore.h"
#include "platform/diskspace.h"
#include "support/widgetbyname.h"
#include "thumbs/thumbgrid.h"

#include <QApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

class ThumbViewWindowTest : public MainWindowTest
{
protected:
    void startInSite()
    {
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
    }
    QString thumbOf(const char *name) const
    {
        return imaging::ThumbFileFor(form->thumbFolder(), site.path(), QString::fromLatin1(name));
    }
    void doubleClickCorner()
    {
        QTest::mouseDClick(widget<QLabel>(folderPageOf(*form), "ImgMini"), Qt::LeftButton);
    }
};

} // namespace

TEST_F(ThumbViewWindowTest, CornerDoubleClickMakesTheSelectedThumbnails)
{
    startInSite();
    doubleClickCorner();
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList { QStringLiteral("Cannot create thumbnail.\r\nNo file(s) selected ...") });

    selectRows({ 0, 2 });
    doubleClickCorner();
    EXPECT_TRUE(QFileInfo::exists(thumbOf("a.htm")));
    EXPECT_FALSE(QFileInfo::exists(thumbOf("b.htm")));
    EXPECT_TRUE(QFileInfo::exists(thumbOf("c.htm")));
    EXPECT_EQ(widget<QLabel>(progress, "Label1")->text(),
        QStringLiteral("(2 of 2): ") + sitePath("c.htm"));
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(form->isEnabled());

    // On the Thumbnail View the grid shows them from the cache.
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kThumbsTab);
    EXPECT_EQ(form->currentFile(), sitePath("a.htm"));
    widget<thumbs::ThumbGrid>(thumbPageOf(*form), "LVThumbs")->viewport()->repaint();
    EXPECT_GE(thumbPageOf(*form)->cache().lookup(thumbOf("a.htm")), 0);
    EXPECT_FALSE(widget<QLabel>(folderPageOf(*form), "ImgMini")->pixmap().isNull());

    // "Clear Thumbnail(s)" of the context menu clears the selected one.
    form->runContextMenuItem(frame::ClearThumbnails);
    EXPECT_FALSE(QFileInfo::exists(thumbOf("a.htm")));
    EXPECT_EQ(thumbPageOf(*form)->cache().lookup(thumbOf("a.htm")), -1);
    EXPECT_TRUE(widget<QLabel>(folderPageOf(*form), "ImgMini")->pixmap().isNull());
}

TEST_F(ThumbViewWindowTest, TooLittleDiskSpaceStopsBeforeAnyThumbnail)
{
    startInSite();
    platform::setFreeSpaceSource([](const QString &) {
        return platform::VolumeSpace { QStringLiteral("/home"), 1999 * 1000 };
    });
    selectRows({ 0, 1 });
    form->runContextMenuItem(frame::MakeThumbnails);
    platform::setFreeSpaceSource({});
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList { QStringLiteral("Diskspace on drive \"/home\" < 2000Kb!\nProcess stopped.") });
    EXPECT_FALSE(QFileInfo::exists(thumbOf("a.htm")));
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(ThumbViewWindowTest, AClickAfterABatchShowsTheWholeThumbnailInTheCorner)
{
    startInSite();
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kThumbsTab);
    thumbs::ThumbGrid *grid = widget<thumbs::ThumbGrid>(thumbPageOf(*form), "LVThumbs");
    QItemSelectionModel *selection = grid->selectionModel();
    for (int row : { 0, 2 })
        selection->select(grid->model()->index(row, 0), QItemSelectionModel::Select);
    thumbPageOf(*form)->makeThumbnails();
    ASSERT_TRUE(QFileInfo::exists(thumbOf("c.htm")));

    // The first click goes to an entry of the batch's selection.
    const QPoint entry = grid->visualRect(grid->model()->index(2, 0)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, entry);
    QLabel *corner = widget<QLabel>(folderPageOf(*form), "ImgMini");
    EXPECT_EQ(form->currentFile(), sitePath("c.htm"));
    EXPECT_EQ(corner->pixmap().size(), QSize(130, 100));

    for (const QSize size : { form->size(), form->minimumSizeHint(), QSize(1200, 900) }) {
        form->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(corner->visibleRegion().boundingRect(), QRect(0, 0, 130, 100))
            << size.width() << "x" << size.height();
    }
}

TEST_F(ThumbViewWindowTest, ArrivingOnThePageShowsItsHintUntilAnEntryIsChosen)
{
    startInSite();
    auto *tabs = widget<QTabWidget>(form, "PageControl1")->findChild<QTabBar *>();
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kThumbsTab).center());
    ASSERT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kThumbsTab);
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(),
        QStringLiteral("Thumbnail View - Create thumbnail previews of your webpages"));

    thumbs::ThumbGrid *grid = widget<thumbs::ThumbGrid>(thumbPageOf(*form), "LVThumbs");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
        grid->visualRect(grid->model()->index(1, 0)).center());
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), sitePath("b.htm"));
}
