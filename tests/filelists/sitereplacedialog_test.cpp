// The replace window over a list's files: the preview, the changes left unchecked, a file
// with unsaved changes in the editor, the report list after Replace, and Undo Replace.

#include "filelists/filelistspage.h"
#include "filelists/reportmodel.h"
#include "filelists/sitereplacedialog.h"
#include "support/scripteddialogs.h"
#include "support/standinframe.h"
#include "support/tempdir.h"
#include "support/testfiles.h"
#include "support/widgetbyname.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

void fillIn(QDialog &dialog, const QString &find, const QString &with, int scope)
{
    widget<QLineEdit>(&dialog, "EReplaceFind")->setText(find);
    widget<QLineEdit>(&dialog, "EReplaceWith")->setText(with);
    widget<QComboBox>(&dialog, "CBReplaceScope")->setCurrentIndex(scope);
}

void previewAndWait(filelists::SiteReplaceDialog &dialog)
{
    widget<QPushButton>(&dialog, "BReplacePreview")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.previewRunning(), 10000);
}

} // namespace

TEST(SiteReplaceDialog, WritesTheCheckedChangesOnly)
{
    TemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("a.htm"));
    const QString other = dir.filePath(QStringLiteral("b.htm"));
    ASSERT_TRUE(putFile(page, "<p title=\"Tom\">Tom</p>\n<p>Tom &amp; Jerry</p>\n"));
    ASSERT_TRUE(putFile(other, "<p>nobody</p>\n"));
    filelists::SiteReplaceDialog dialog(
        { page, other }, {}, dir.filePath(QStringLiteral("program")));
    fillIn(dialog, QStringLiteral("tom"), QStringLiteral("Thomas"), 1); // text only
    previewAndWait(dialog);

    auto *changes = widget<QTreeWidget>(&dialog, "TVReplaceChanges");
    ASSERT_EQ(changes->topLevelItemCount(), 1);
    QTreeWidgetItem *file = changes->topLevelItem(0);
    EXPECT_EQ(file->text(0), page + QStringLiteral(" (2)"));
    ASSERT_EQ(file->childCount(), 2);
    EXPECT_EQ(file->child(1)->text(0), QStringLiteral("line 2"));
    EXPECT_EQ(file->child(1)->text(1), QStringLiteral("<p>Tom &amp; Jerry</p>"));
    EXPECT_EQ(file->child(1)->text(2), QStringLiteral("<p>Thomas &amp; Jerry</p>"));
    EXPECT_EQ(widget<QLabel>(&dialog, "LReplaceStatus")->text(),
        QStringLiteral("2 of 2 files read: 2 matches in 1 files"));
    // Nothing is written by the preview.
    EXPECT_EQ(fileBytes(page), "<p title=\"Tom\">Tom</p>\n<p>Tom &amp; Jerry</p>\n");

    changes->setCurrentItem(file);
    EXPECT_TRUE(widget<QPlainTextEdit>(&dialog, "MReplaceDifference")
                    ->toPlainText()
                    .startsWith(QStringLiteral("--- a/a.htm\n+++ b/a.htm\n@@ -1,2 +1,2 @@\n")));
    file->child(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(file->checkState(0), Qt::PartiallyChecked);
    widget<QPushButton>(&dialog, "BReplaceApply")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(fileBytes(page), "<p title=\"Tom\">Tom</p>\n<p>Thomas &amp; Jerry</p>\n");
    EXPECT_EQ(dialog.written(), QStringList { page });
    EXPECT_FALSE(dialog.undoId().isEmpty());
}

TEST(SiteReplaceDialog, ABadExpressionIsSaidAndNothingRead)
{
    TemporaryDir dir;
    filelists::SiteReplaceDialog dialog({ dir.filePath(QStringLiteral("a.htm")) }, {}, dir.path());
    fillIn(dialog, QStringLiteral("(x"), QStringLiteral("y"), 0);
    dialog.findChildren<QCheckBox *>().first()->setChecked(true); // "Regular expression"
    widget<QPushButton>(&dialog, "BReplacePreview")->click();
    EXPECT_FALSE(dialog.previewRunning());
    EXPECT_TRUE(widget<QLabel>(&dialog, "LReplaceStatus")
                    ->text()
                    .startsWith(QStringLiteral("The regular expression is not valid")));
    EXPECT_FALSE(widget<QPushButton>(&dialog, "BReplaceApply")->isEnabled());
}

TEST(SiteReplaceDialog, ThePageLeavesOutTheEditorsUnsavedFileAndUndoes)
{
    TemporaryDir program;
    TemporaryDir site;
    StandInFrame frame(QDir::toNativeSeparators(program.path()) + QDir::separator());
    filelists::FileListsPage page(frame);
    frame.page = &page;
    const QStringList paths
        = { site.filePath(QStringLiteral("a.htm")), site.filePath(QStringLiteral("b.htm")) };
    for (const QString &path : paths)
        ASSERT_TRUE(putFile(path, "<p>old</p>"));
    page.model()->setEntries(scan::entriesFromRecords(
        { scan::MakeListRecord(QDir::toNativeSeparators(site.path()), QFileInfo(paths[0])),
            scan::MakeListRecord(QDir::toNativeSeparators(site.path()), QFileInfo(paths[1])) }));
    frame.fileInEditor = QDir::toNativeSeparators(paths[1]);
    frame.editorUnsaved = true;

    ScriptedDialogs dialogs;
    QStringList shown;
    dialogs.dialogScripts << [&shown](QDialog &dialog) {
        auto &form = dynamic_cast<filelists::SiteReplaceDialog &>(dialog);
        fillIn(form, QStringLiteral("old"), QStringLiteral("new"), 0);
        previewAndWait(form);
        auto *changes = widget<QTreeWidget>(&form, "TVReplaceChanges");
        for (int i = 0; i < changes->topLevelItemCount(); ++i)
            shown << changes->topLevelItem(i)->text(0);
        widget<QPushButton>(&form, "BReplaceApply")->click();
    };
    page.replaceInFiles();
    EXPECT_EQ(shown,
        QStringList({ QDir::toNativeSeparators(paths[1])
                + QStringLiteral(": unsaved changes in the editor, left out"),
            QDir::toNativeSeparators(paths[0]) + QStringLiteral(" (1)") }));
    EXPECT_EQ(fileBytes(paths[0]), "<p>new</p>");
    EXPECT_EQ(fileBytes(paths[1]), "<p>old</p>");
    ASSERT_EQ(page.model()->entries().size(), 1);
    EXPECT_EQ(page.model()->entries().first().path(), QDir::toNativeSeparators(paths[0]));

    const std::vector<replace::UndoRecord> records = replace::UndoStore(frame.dataFolder()).list();
    ASSERT_EQ(records.size(), 1u);
    dialogs.answers << platform::Answer::Yes;
    page.undoReplace(records.front().id);
    EXPECT_EQ(fileBytes(paths[0]), "<p>old</p>");
    EXPECT_TRUE(replace::UndoStore(frame.dataFolder()).list().empty());
}
