#include "mainwindow_fixture.h"

#include "filelists/filelistspage.h"
#include "filelists/reportmodel.h"
#include "sitecheck/sitecheckpage.h"
#include "sitecheck/sitereportmodel.h"
#include "support/whenmodal.h"
#include "support/widgetbyname.h"
#include "viewer/replacedialog.h"
#include "viewer/sourceeditor.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class EditorWindowTest : public MainWindowTest
{
protected:
    // The Folder View on the site with a.htm loaded and the editor docked.
    viewer::SourceEditor *startEditing()
    {
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
        selectRows({ 0 });
        form->showFileInViews(false);
        widget<QToolButton>(folderPageOf(*form), "SBEditor")->click();
        return view->editor();
    }

    void typeAtStart(viewer::SourceEditor *editor, char c)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(0);
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, c);
    }
};

TEST_F(EditorWindowTest, SaveButtonsFollowTheEditorAndYesSaves)
{
    viewer::SourceEditor *editor = startEditing();
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    EXPECT_FALSE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());
    EXPECT_TRUE(widget<QPushButton>(folderPageOf(*form), "BSaveAs")->isEnabled());

    typeAtStart(editor, 'Q');
    EXPECT_TRUE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());

    // The main window's "Save".
    widget<QPushButton>(folderPageOf(*form), "BSave")->click();
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("Q<html><body>x</body></html>"));
    EXPECT_FALSE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());

    // "Yes" to the unsaved-changes question saves before the page changes.
    typeAtStart(editor, 'R');
    dialogs.answers = { platform::Answer::Yes };
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kListsTab);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1);
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("RQ<html><body>x</body></html>"));
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kListsTab);
}

TEST_F(EditorWindowTest, YesThatCannotSaveKeepsTheWindowAndTheChanges)
{
    writeFile(sitePath("a.htm"), "caf\xe9"); // Latin-1: a euro sign cannot be stored
    viewer::SourceEditor *editor = startEditing();
    typeAtStart(editor, 'Q');
    editor->insertPlainText(QStringLiteral("\u20ac"));
    ASSERT_TRUE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());

    dialogs.answers = { platform::Answer::Yes };
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kListsTab);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kFolderTab);
    dialogs.answers = { platform::Answer::Yes };
    EXPECT_FALSE(form->close());
    EXPECT_EQ(dialogs.count(QStringLiteral("info")), 2); // the saving error, each time
    EXPECT_TRUE(view->isEditorModified());
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("caf\xe9"));
}

TEST_F(EditorWindowTest, NoDropsTheChangesForGood)
{
    viewer::SourceEditor *editor = startEditing();
    typeAtStart(editor, 'Q');
    dialogs.answers = { platform::Answer::No };
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kListsTab);
    ASSERT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kListsTab);

    // The same file added to the list and opened from it, as a double-click does.
    filelists::ReportModel *report = listsPageOf(*form)->model();
    report->setEntries({ { QDir::toNativeSeparators(site.path()) + QDir::separator(),
        QStringLiteral("a"), QStringLiteral(".htm"), QStringLiteral("0"), QString() } });
    widget<QTreeView>(listsPageOf(*form), "ELVReport")
        ->selectionModel()
        ->select(report->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(form->currentFile(), sitePath("a.htm"));
    form->showFileInViews(false);
    EXPECT_EQ(view->windowTitle(), sitePath("a.htm"));
    EXPECT_EQ(editor->text(), QStringLiteral("<html><body>x</body></html>"));
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("<html><body>x</body></html>"));
}

TEST_F(EditorWindowTest, LeavingFolderViewAsksBeforeThePageChanges)
{
    viewer::SourceEditor *editor = startEditing();
    typeAtStart(editor, 'Q');
    auto *tabs = widget<QTabWidget>(form, "PageControl1")->findChild<QTabBar *>();
    ASSERT_NE(tabs, nullptr);
    QList<int> pagesWhileAsking;
    dialogs.whileAsking = [&] {
        pagesWhileAsking.append(widget<QTabWidget>(form, "PageControl1")->currentIndex());
    };
    dialogs.answers = { platform::Answer::Cancel, platform::Answer::No };
    const QPoint onThumbnails = tabs->tabRect(kThumbsTab).center();
    const bool focusBefore = editor->hasFocus();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, onThumbnails);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kFolderTab);
    EXPECT_TRUE(view->isEditorModified());
    EXPECT_EQ(editor->hasFocus(), focusBefore); // the focus stays where it was
    QTest::mouseClick(tabs, Qt::LeftButton, {}, onThumbnails);
    EXPECT_EQ(pagesWhileAsking, QList<int>({ kFolderTab, kFolderTab }));
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kThumbsTab);
}

TEST_F(EditorWindowTest, FindReplaceOpensOverTheDockedEditor)
{
    viewer::SourceEditor *editor = startEditing();
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    viewer::ReplaceDialog *dialog = view->replaceDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->parentWidget(), form.get());
    const QRect editorOnScreen(editor->mapToGlobal(QPoint()), editor->size());
    EXPECT_TRUE(editorOnScreen.contains(dialog->frameGeometry().center()))
        << "editor " << editorOnScreen.x() << "," << editorOnScreen.y() << " dialog "
        << dialog->frameGeometry().x() << "," << dialog->frameGeometry().y();
}

TEST_F(EditorWindowTest, DeletingAsksAboutUnsavedChangesBeforeAnyFileGoes)
{
    viewer::SourceEditor *editor = startEditing();
    typeAtStart(editor, 'Q');
    QListWidget *list = widget<QListWidget>(folderPageOf(*form), "LBFile");
    const int entries = list->count();
    dialogs.answers = { platform::Answer::Yes, platform::Answer::Cancel };
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")).value(1),
        QStringLiteral("Save changes in: ") + sitePath("a.htm"));
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("<html><body>x</body></html>"));
    EXPECT_TRUE(view->isEditorModified());

    dialogs.calls.clear();
    dialogs.answers = { platform::Answer::Yes, platform::Answer::Yes };
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 2);
    EXPECT_FALSE(QFile::exists(sitePath("a.htm")));
    EXPECT_EQ(list->count(), entries - 1);
    EXPECT_EQ(folderPageOf(*form)->findListIndex(QStringLiteral("a.htm")), -1);
}

TEST_F(EditorWindowTest, SaveAsIntoTheCurrentFolderListsTheCopy)
{
    startEditing();
    dialogs.paths = { QDir(site.path()).filePath(QStringLiteral("copy.htm")) };
    widget<QPushButton>(folderPageOf(*form), "BSaveAs")->click();
    EXPECT_EQ(fileBytes(sitePath("copy.htm")), QByteArray("<html><body>x</body></html>"));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem()->text(),
        QStringLiteral("copy.htm"));
    EXPECT_EQ(view->viewerFile(), sitePath("a.htm"));

    // The copy is the current entry while the editor holds a.htm: a click on it asks
    // before it replaces changes made since.
    viewer::SourceEditor *editor = view->editor();
    typeAtStart(editor, 'Q');
    QListWidget *list = widget<QListWidget>(folderPageOf(*form), "LBFile");
    const QPoint onCopy = list->visualItemRect(list->currentItem()).center();
    dialogs.answers = { platform::Answer::Cancel };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onCopy);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")),
        QStringList { QStringLiteral("Save changes in: ") + sitePath("a.htm") });
    EXPECT_EQ(view->viewerFile(), sitePath("a.htm"));
    EXPECT_TRUE(view->isEditorModified());
    dialogs.answers = { platform::Answer::No };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onCopy);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 2);
    EXPECT_EQ(view->viewerFile(), sitePath("copy.htm"));
}

TEST_F(EditorWindowTest, ReturningToTheProgramOffersToReloadAChangedFile)
{
    viewer::SourceEditor *editor = startEditing();
    typeAtStart(editor, 'Q');
    writeFile(sitePath("a.htm"), "<p>from elsewhere</p>");
    QFile file(sitePath("a.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    file.close();

    dialogs.answers = { platform::Answer::Yes };
    form->applicationActivated();
    EXPECT_EQ(dialogs.count(QStringLiteral("yesno")), 1);
    EXPECT_EQ(editor->text(), QStringLiteral("<p>from elsewhere</p>"));
    EXPECT_FALSE(view->isEditorModified());
    EXPECT_FALSE(widget<QPushButton>(folderPageOf(*form), "BSave")->isEnabled());

    form->applicationActivated();
    EXPECT_EQ(dialogs.count(QStringLiteral("yesno")), 1);
}

TEST_F(EditorWindowTest, AnEmphasisPaletteIsNeverStored)
{
    viewer::SourceEditor *editor = startEditing();
    QTest::keyClick(editor, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(form->settings().textColor, 0xC0C0C0);
    dialogs.answers = { platform::Answer::No };
    closeForm();
    const QByteArray ini = fileBytes(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_TRUE(ini.contains("TextCol=0\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("TagCol=16711680\r\n"));
}

// The row of a link mended from the Site Check goes with the save; the editor keeps its
// file: later changes can be saved, and closing asks about them.
TEST_F(EditorWindowTest, ChangesAfterAMendedLinkHaveTheirFileStill)
{
    constexpr int kSiteTab = 3;
    writeFile(sitePath("index.htm"), "<a href=\"gone.htm\">x</a>\n<a href=\"lost.htm\">y</a>\n");
    writeFile(sitePath("other.htm"), "<a href=\"nowhere.htm\">n</a>\n");
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kSiteTab);
    auto *page = pageOf<sitecheck::SiteCheckPage>(*form);
    page->checkFolder();
    ASSERT_TRUE(QTest::qWaitFor([page] { return !page->isChecking(); }, 20000));
    const auto rowOf = [page](const char *link) {
        for (int row = 0; row < page->model()->rowCount(); ++row)
            if (page->model()->row(row).link.link == QLatin1String(link))
                return row;
        return -1;
    };
    auto *report = widget<QTreeView>(page, "ELVSiteReport");
    report->setCurrentIndex(page->model()->index(rowOf("gone.htm"), 0));

    bool rowGone = false;
    QString caption;
    bool saveEnabled = false;
    QByteArray afterSecondSave;
    whenModal<viewer::ViewerWindow>([&](viewer::ViewerWindow &window) {
        viewer::SourceEditor *editor = window.editor();
        QTest::keyClicks(editor, QStringLiteral("a.htm")); // over the selected link
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        rowGone = rowOf("gone.htm") < 0;
        QTextCursor cursor = editor->textCursor();
        cursor.movePosition(QTextCursor::End);
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, Qt::Key_Z);
        caption = window.windowTitle();
        saveEnabled = window.saveButton()->isEnabled();
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        afterSecondSave = fileBytes(sitePath("index.htm"));
        QTest::keyClick(editor, Qt::Key_W);
        dialogs.answers = { platform::Answer::Cancel }; // the window closes all the same
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    QTest::keyClick(report, Qt::Key_Return);
    EXPECT_TRUE(rowGone);
    EXPECT_EQ(caption, sitePath("index.htm") + QStringLiteral(" --- UNSAVED ---"));
    EXPECT_TRUE(saveEnabled);
    const QByteArray saved("<a href=\"a.htm\">x</a>\n<a href=\"lost.htm\">y</a>\nz");
    EXPECT_EQ(afterSecondSave, saved);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")),
        QStringList { QStringLiteral("Save changes in: ") + sitePath("index.htm") });
    EXPECT_TRUE(view->isEditorModified());

    // The Folder View would load its own file: it asks first, and Cancel stays.
    dialogs.calls.clear();
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kFolderTab);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kSiteTab);
    EXPECT_EQ(view->viewerFile(), sitePath("index.htm"));
    EXPECT_TRUE(view->isEditorModified());

    // Another page's row asks before the kept changes go; Cancel opens nothing.
    QString opened;
    whenModal<viewer::ViewerWindow>([&](viewer::ViewerWindow &window) {
        opened = window.viewerFile();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    report->setCurrentIndex(page->model()->index(rowOf("nowhere.htm"), 0));
    dialogs.calls.clear();
    dialogs.answers = { platform::Answer::Cancel };
    QTest::keyClick(report, Qt::Key_Return);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1);
    EXPECT_EQ(opened, QString());
    EXPECT_EQ(fileBytes(sitePath("index.htm")), saved);
    EXPECT_TRUE(view->isEditorModified());
    dialogs.answers = { platform::Answer::Yes };
    QTest::keyClick(report, Qt::Key_Return);
    EXPECT_EQ(fileBytes(sitePath("index.htm")), saved + "w");
    EXPECT_EQ(opened, sitePath("other.htm"));
    closeForm();
}

} // namespace
