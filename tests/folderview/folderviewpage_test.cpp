#include "folderview/folderpanel.h"
#include "folderview/folderviewpage.h"
#include "support/standinframe.h"
#include "support/widgetbyname.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// The folder page alone: the frame only hears what the page asks of it.
TEST(FolderViewPage, ChangingFolderAndPickingAFileAsksTheFrameToShowIt)
{
    QTemporaryDir program;
    QTemporaryDir site;
    for (const char *name : { "a.htm", "b.htm", "notes.txt" }) {
        QFile file(site.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    StandInFrame frame(QDir::toNativeSeparators(program.path()) + QDir::separator());
    folderview::FolderViewPage page(frame);
    frame.page = &page;
    QSignalSpy mirrored(&page, &folderview::FolderViewPage::fileListChanged);
    page.folderPanel()->setFilterText(app::builtInFilterText());
    page.show();

    page.changeFolder(site.path());
    EXPECT_EQ(page.folderPanel()->currentFolder(), QDir::toNativeSeparators(site.path()));
    EXPECT_EQ(page.fileNames(), (QStringList { QStringLiteral("a.htm"), QStringLiteral("b.htm") }));
    ASSERT_FALSE(mirrored.isEmpty());
    EXPECT_EQ(mirrored.last().at(1).toStringList(), page.fileNames());
    EXPECT_TRUE(frame.requests.contains(QStringLiteral("enable")));

    widget<QListWidget>(&page, "LBFile")->setCurrentRow(1);
    QTest::mouseClick(widget<QListWidget>(&page, "LBFile")->viewport(), Qt::LeftButton, {},
        widget<QListWidget>(&page, "LBFile")
            ->visualItemRect(widget<QListWidget>(&page, "LBFile")->item(1))
            .center());
    ASSERT_FALSE(frame.shownFiles.isEmpty());
    EXPECT_EQ(
        frame.shownFiles.last(), QDir::toNativeSeparators(site.filePath(QStringLiteral("b.htm"))));

    QTest::keyClick(widget<QListWidget>(&page, "LBFile"), Qt::Key_Return);
    EXPECT_TRUE(frame.requests.contains(QStringLiteral("DblClickForAll")));
}

TEST(FolderViewPage, DriveAndFilterBoxesAreFourPixelsNarrowerThanTheirPanel)
{
    QTemporaryDir program;
    StandInFrame frame(QDir::toNativeSeparators(program.path()) + QDir::separator());
    folderview::FolderViewPage page(frame);
    frame.page = &page;
    page.folderPanel()->setFilterText(app::builtInFilterText());
    QWidget *panel = page.folderPanel();
    panel->show();
    for (const int width : { 300, 250 }) {
        panel->resize(width, 400);
        QCoreApplication::sendPostedEvents();
        panel->layout()->activate();
        EXPECT_EQ(widget<QComboBox>(panel, "CBDrive")->width(), width - 4) << width;
        EXPECT_EQ(widget<QComboBox>(panel, "CBFilter")->width(), width - 4) << width;
    }
}
