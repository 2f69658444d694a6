#include "support/standinframe.h"
#include "thumbs/thumbviewpage.h"

#include <QComboBox>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(ThumbViewPage, MirrorsTheFileListAndAnswersForItsSelection)
{
    StandInFrame frame(QStringLiteral("/prog/"));
    thumbs::ThumbViewPage page(frame);
    frame.page = &page;
    frame.activePage = app::ThumbnailViewPage;
    page.show();
    page.setEntries(QStringLiteral("/site"), { QStringLiteral("a.htm"), QStringLiteral("b.htm") });
    page.setBaseIndex(42);
    EXPECT_EQ(page.CBSnapBase->currentText(), QStringLiteral("Thumbs Base: 640x480"));
    EXPECT_EQ(frame.values.THUMB_BASEIDX, 3);

    page.activate();
    EXPECT_EQ(page.CurrentFile(), QStringLiteral("/site/a.htm"));
    EXPECT_EQ(page.EntryPath(1, true), QString());
    EXPECT_EQ(page.EntryPath(1, false), QStringLiteral("/site/b.htm"));
    EXPECT_EQ(page.EntryPath(2, false), QString());

    QTest::keyClick(page.LVThumbs, Qt::Key_A, Qt::ControlModifier);
    const folderview::SelectionCount counts = page.SelectionCounts();
    EXPECT_EQ(counts.page, app::ThumbnailViewPage);
    EXPECT_EQ(counts.selected, 2);
    EXPECT_EQ(counts.total, 2);
    EXPECT_EQ(page.CurrentFile(), QString());

    QSignalSpy deletes(&page, &thumbs::ThumbViewPage::deleteRequested);
    QTest::keyClick(page.LVThumbs, Qt::Key_Delete);
    EXPECT_EQ(deletes.size(), 1);
    QTest::keyClick(page.LVThumbs, Qt::Key_Return);
    EXPECT_EQ(frame.requests.last(), QStringLiteral("DblClickForAll"));
}
