#include "mainwindow_fixture.h"

#include "viewer/rescreen.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class EditorWindowTest : public MainWindowTest
{
protected:
    // The Folder View on the site with a.htm loaded and the editor docked.
    viewer::REScreen *startEditing()
    {
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
        selectRows({ 0 });
        form->ShowFileInViews(false);
        form->folderPage()->SBEditor->click();
        return view->editor();
    }

    void typeAtStart(viewer::REScreen *editor, char c)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(0);
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, c);
    }
};

TEST_F(EditorWindowTest, SaveButtonsFollowTheEditorAndYesSaves)
{
    viewer::REScreen *editor = startEditing();
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    EXPECT_FALSE(form->folderPage()->BSave->isEnabled());
    EXPECT_TRUE(form->folderPage()->BSaveAs->isEnabled());

    typeAtStart(editor, 'Q');
    EXPECT_TRUE(form->folderPage()->BSave->isEnabled());

    // The main window's "Save".
    form->folderPage()->BSave->click();
    EXPECT_EQ(readFile(sitePath("a.htm")), QByteArray("Q<html><body>x</body></html>"));
    EXPECT_FALSE(form->folderPage()->BSave->isEnabled());

    // "Yes" to the unsaved-changes question saves before the page changes.
    typeAtStart(editor, 'R');
    dialogs.answers = { platform::Dialogs::Yes };
    form->PageControl1->setCurrentIndex(app::FileListsPage);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1);
    EXPECT_EQ(readFile(sitePath("a.htm")), QByteArray("RQ<html><body>x</body></html>"));
    EXPECT_EQ(form->PageControl1->currentIndex(), app::FileListsPage);
}

TEST_F(EditorWindowTest, YesThatCannotSaveKeepsTheWindowAndTheChanges)
{
    writeFile(sitePath("a.htm"), "caf\xe9"); // Latin-1: a euro sign cannot be stored
    viewer::REScreen *editor = startEditing();
    typeAtStart(editor, 'Q');
    editor->insertPlainText(QStringLiteral("\u20ac"));
    ASSERT_TRUE(form->folderPage()->BSave->isEnabled());

    dialogs.answers = { platform::Dialogs::Yes };
    form->PageControl1->setCurrentIndex(app::FileListsPage);
    EXPECT_EQ(form->PageControl1->currentIndex(), app::FolderViewPage);
    dialogs.answers = { platform::Dialogs::Yes };
    EXPECT_FALSE(form->close());
    EXPECT_EQ(dialogs.count(QStringLiteral("info")), 2); // the saving error, each time
    EXPECT_TRUE(view->isEditorModified());
    EXPECT_EQ(readFile(sitePath("a.htm")), QByteArray("caf\xe9"));
}

TEST_F(EditorWindowTest, SaveAsIntoTheCurrentFolderListsTheCopy)
{
    startEditing();
    dialogs.paths = { QDir(site.path()).filePath(QStringLiteral("copy.htm")) };
    form->folderPage()->BSaveAs->click();
    EXPECT_EQ(readFile(sitePath("copy.htm")), QByteArray("<html><body>x</body></html>"));
    EXPECT_EQ(form->folderPage()->LBFile->currentItem()->text(), QStringLiteral("copy.htm"));
    EXPECT_EQ(view->viewerFile(), sitePath("a.htm"));

    // The copy is the current entry while the editor holds a.htm: a click on it asks
    // before it replaces changes made since.
    viewer::REScreen *editor = view->editor();
    typeAtStart(editor, 'Q');
    QListWidget *list = form->folderPage()->LBFile;
    const QPoint onCopy = list->visualItemRect(list->currentItem()).center();
    dialogs.answers = { platform::Dialogs::Cancel };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onCopy);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")),
        QStringList { QStringLiteral("Save changes in: ") + sitePath("a.htm") });
    EXPECT_EQ(view->viewerFile(), sitePath("a.htm"));
    EXPECT_TRUE(view->isEditorModified());
    dialogs.answers = { platform::Dialogs::No };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onCopy);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 2);
    EXPECT_EQ(view->viewerFile(), sitePath("copy.htm"));
}

TEST_F(EditorWindowTest, ReturningToTheProgramOffersToReloadAChangedFile)
{
    viewer::REScreen *editor = startEditing();
    typeAtStart(editor, 'Q');
    writeFile(sitePath("a.htm"), "<p>from elsewhere</p>");
    QFile file(sitePath("a.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    file.close();

    dialogs.answers = { platform::Dialogs::Yes };
    form->AppActivate();
    EXPECT_EQ(dialogs.count(QStringLiteral("yesno")), 1);
    EXPECT_EQ(editor->text(), QStringLiteral("<p>from elsewhere</p>"));
    EXPECT_FALSE(view->isEditorModified());
    EXPECT_FALSE(form->folderPage()->BSave->isEnabled());

    form->AppActivate();
    EXPECT_EQ(dialogs.count(QStringLiteral("yesno")), 1);
}

TEST_F(EditorWindowTest, AnEmphasisPaletteIsNeverStored)
{
    viewer::REScreen *editor = startEditing();
    QTest::keyClick(editor, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(form->settings().TextCol, 0xC0C0C0);
    dialogs.answers = { platform::Dialogs::No };
    closeForm();
    const QByteArray ini = readFile(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_TRUE(ini.contains("TextCol=0\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("TagCol=16711680\r\n"));
}

} // namespace
