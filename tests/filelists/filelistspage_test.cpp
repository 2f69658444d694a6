#include "filelists/filelistspage.h"
#include "support/standinframe.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileListsPage, SavedListsAndTheirButtons)
{
    QTemporaryDir program;
    QDir().mkpath(program.filePath(QStringLiteral("FILELISTS")));
    for (const char *name : { "b.lst", "A.lst", "other.txt" }) {
        QFile file(program.filePath(QStringLiteral("FILELISTS/") + QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    StandInFrame frame(QDir::toNativeSeparators(program.path()) + QDir::separator());
    filelists::FileListsPage page(frame);
    frame.page = &page;
    page.fillSavedLists();
    ASSERT_EQ(page.LBListen->count(), 2);
    EXPECT_EQ(page.LBListen->item(0)->text(), QStringLiteral("A.lst"));

    struct Row {
        QList<int> selected;
        bool load, remove, merge;
    };
    for (const Row &row : { Row { {}, false, false, false }, Row { { 0 }, true, true, false },
             Row { { 0, 1 }, false, true, true } }) {
        page.LBListen->clearSelection();
        for (int i : row.selected)
            page.LBListen->item(i)->setSelected(true);
        EXPECT_EQ(page.BLoadList->isEnabled(), row.load) << row.selected.size();
        EXPECT_EQ(page.BDeleteList->isEnabled(), row.remove) << row.selected.size();
        EXPECT_EQ(page.BMergeList->isEnabled(), row.merge) << row.selected.size();
    }
    EXPECT_EQ(page.SelectionCounts().page, app::FileListsPage);
    EXPECT_EQ(page.CurrentFile(), QString());
}
