// The folder view driven through the real main window.
#include "mainwindow_fixture.h"

#include "imaging/jpegcodec.h"
#include "thumbs/thumbgrid.h"
#include "imaging/thumbstore.h"

#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include "viewer/rescreen.h"

using app::TForm1;

namespace {

class FolderViewTest : public MainWindowTest
{
protected:
    void startInSite()
    {
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
    }

    // A click on a row, as the user makes it: the row becomes current and alone selected.
    void clickRow(int row)
    {
        const QRect rect
            = folderPageOf(*form)->LBFile->visualItemRect(folderPageOf(*form)->LBFile->item(row));
        QTest::mouseClick(
            folderPageOf(*form)->LBFile->viewport(), Qt::LeftButton, {}, rect.center());
    }

    int filterIndex(const char *description) const
    {
        return folderPageOf(*form)->CBFilter->findText(QString::fromLatin1(description));
    }
};

} // namespace

TEST_F(FolderViewTest, ThumbnailFolderIsRefusedInAnyLetterCase)
{
    startInSite();
    const QString below = program.filePath(QStringLiteral("THUMBS/sub"));
    QDir().mkpath(below);
    for (const QString &folder : { program.filePath(QStringLiteral("THUMBS")), below }) {
        dialogs.calls.clear();
        folderPageOf(*form)->changeFolder(site.path());
        EXPECT_TRUE(form->PageControl1->isEnabled());
        folderPageOf(*form)->changeFolder(folder);
        EXPECT_EQ(dialogs.count(QStringLiteral("info")), 1) << folder.toStdString();
        EXPECT_FALSE(form->PageControl1->isEnabled());
    }
    EXPECT_TRUE(
        folderPageOf(*form)->IsInThumbFolder(program.filePath(QStringLiteral("thumbs/Sub"))));
    EXPECT_FALSE(folderPageOf(*form)->IsInThumbFolder(site.path()));
}

TEST_F(FolderViewTest, FilterChangeClearsTheViewsAndNamesTheMask)
{
    startInSite();
    folderPageOf(*form)->CBFilter->setCurrentIndex(filterIndex("HTM(L) only"));
    clickRow(0);
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    folderPageOf(*form)->CBFilter->setCurrentIndex(filterIndex("ASP only"));
    EXPECT_EQ(folderPageOf(*form)->PanelFilterTop->text(), QStringLiteral(" Filter: *.asp"));
    EXPECT_EQ(view->viewerFile(), QString());
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 1);
    EXPECT_EQ(folderPageOf(*form)->CurrentMask(), QStringLiteral("*.asp"));
}

TEST_F(FolderViewTest, FilterTextWithoutPairsListsEveryFile)
{
    setIni(QStringLiteral("[OPTIONS]\r\nALLOWED_EXTENSIONS=just text\r\n[PATHS]\r\nVIEW_PATH=")
        + site.path() + QStringLiteral("\r\n"));
    start();
    EXPECT_EQ(folderPageOf(*form)->CBFilter->count(), 0);
    EXPECT_EQ(folderPageOf(*form)->CurrentMask(), QStringLiteral("*.*"));
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 5);
}

TEST_F(FolderViewTest, SameFileIsNotReloadedButAPictureIsAlways)
{
    startInSite();
    folderPageOf(*form)->CBFilter->setCurrentIndex(0); // HTML and pictures
    clickRow(0);
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    // A file whose content changed on disk shows the old text until it is reloaded.
    writeFile(sitePath("a.htm"), "<p>changed</p>");
    const QString before = view->editor()->text();
    clickRow(0);
    EXPECT_EQ(view->editor()->text(), before);

    const int gif = folderPageOf(*form)->FindListIndex(QStringLiteral("pic.gif"));
    ASSERT_GE(gif, 0);
    clickRow(gif);
    EXPECT_EQ(view->viewerFile(), QString()); // pictures leave the viewer file empty
    EXPECT_EQ(form->CurrentFile(), sitePath("pic.gif"));
}

TEST_F(FolderViewTest, UnsavedChangesAreAskedButNeverStopAFolderOrFileChange)
{
    startInSite();
    clickRow(0);
    folderPageOf(*form)->BSave->setEnabled(true);
    dialogs.answers = { platform::Answer::Cancel };
    folderPageOf(*form)->changeFolder(program.path());
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")).value(0),
        QStringLiteral("Save changes in: ") + sitePath("a.htm"));
    EXPECT_EQ(form->folderView().currentFolder() + QDir::separator(), programFolder());

    folderPageOf(*form)->changeFolder(site.path());
    clickRow(0);
    folderPageOf(*form)->BSave->setEnabled(true);
    dialogs.calls.clear();
    dialogs.answers = { platform::Answer::No };
    clickRow(1);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1);
    EXPECT_EQ(view->viewerFile(), sitePath("b.htm"));
}

TEST_F(FolderViewTest, JumpFindsTheFileInAnotherLetterCase)
{
    start();
    folderPageOf(*form)->JumpToFileAndFolder(QDir(site.path()).filePath(QStringLiteral("B.HTM")));
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(site.path()));
    // B.HTM does not exist on a case-sensitive system: the folder is shown without a current entry.
    const bool caseSensitive
        = !QFileInfo::exists(QDir(site.path()).filePath(QStringLiteral("B.HTM")));
    if (caseSensitive) {
        EXPECT_EQ(folderPageOf(*form)->LBFile->currentRow(), -1);
        EXPECT_EQ(folderPageOf(*form)->FindListIndex(QStringLiteral("B.HTM")), 1);
    }
    folderPageOf(*form)->JumpToFileAndFolder(sitePath("c.htm"));
    EXPECT_EQ(folderPageOf(*form)->LBFile->currentItem()->text(), QStringLiteral("c.htm"));
    EXPECT_TRUE(folderPageOf(*form)->LBFile->selectedItems().isEmpty()); // the focus moves, not the
                                                                         // selection

    folderPageOf(*form)->JumpToFileAndFolder(QStringLiteral("/no/such/folder/x.htm"));
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(site.path()));
}

TEST_F(FolderViewTest, DeleteAsksAndRereadsAndRemembersNoRecycleBin)
{
    startInSite();
    folderPageOf(*form)->CBFilter->setCurrentIndex(1); // a.htm b.htm c.htm d.asp
    clickRow(1);
    dialogs.answers = { platform::Answer::No };
    QTest::keyClick(folderPageOf(*form)->LBFile, Qt::Key_Delete);
    EXPECT_EQ(dialogs.lastText(),
        QStringLiteral("CAUTION:\n--- File(s) will not be moved to Win95/98/NT Recycle Bin! ---"
                       "\n\n\nDelete file \"%1\" permanently from disk?\n\n")
            .arg(sitePath("b.htm")));
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 4);

    dialogs.answers = { platform::Answer::Yes };
    QTest::keyClick(folderPageOf(*form)->LBFile, Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(sitePath("b.htm")));
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 3);
    EXPECT_EQ(folderPageOf(*form)->LBFile->currentRow(), 1);
    EXPECT_FALSE(form->settings().DoRecycleBin);

    // Confirmed with the mouse: no key release comes to tidy up after the question.
    dialogs.answers = { platform::Answer::Yes };
    folderPageOf(*form)->DeleteSelectedFiles();
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 2);
    EXPECT_EQ(form->PageControl1->tabText(kFolderTab),
        QStringLiteral("Folder View  (1 of 2 files selected)"));
    EXPECT_EQ(form->LabelHint->text(), sitePath("d.asp"));
    EXPECT_EQ(view->viewerFile(), sitePath("d.asp"));

    folderPageOf(*form)->LBFile->selectAll();
    dialogs.answers = { platform::Answer::Cancel };
    QTest::keyClick(folderPageOf(*form)->LBFile, Qt::Key_Delete);
    EXPECT_TRUE(
        dialogs.lastText().contains(QStringLiteral("Delete 2 files permanently from disk?")));
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 2);

    closeForm();
    platform::IniFile ini;
    ini.load(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"DoRecycleBin", QString()), QStringLiteral("0"));
}

TEST_F(FolderViewTest, DeletingOnTheThumbnailViewShrinksTheList)
{
    startInSite();
    folderPageOf(*form)->CBFilter->setCurrentIndex(1);
    form->PageControl1->setCurrentIndex(kThumbsTab);
    ASSERT_EQ(form->SelectionCounts().total, 4);
    dialogs.answers = { platform::Answer::Yes };
    QTest::keyClick(
        thumbPageOf(*form)->LVThumbs, Qt::Key_Delete); // the first item is selected on arrival
    EXPECT_FALSE(QFile::exists(sitePath("a.htm")));
    EXPECT_EQ(form->SelectionCounts().total, 3);
}

TEST_F(FolderViewTest, SingleCopyOntoItselfIsRefusedAndACopyIsSelected)
{
    startInSite();
    clickRow(0);
    dialogs.paths = { sitePath("a.htm") };
    folderPageOf(*form)->CopySelectedFiles();
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList { QStringLiteral("Cannot copy a file to itself ...") });

    dialogs.paths = { sitePath("copy.htm") };
    folderPageOf(*form)->CopySelectedFiles();
    EXPECT_EQ(readFile(sitePath("copy.htm")), readFile(sitePath("a.htm")));
    EXPECT_EQ(folderPageOf(*form)->LBFile->currentItem()->text(), QStringLiteral("copy.htm"));
}

TEST_F(FolderViewTest, DroppedFilesAreAcceptedByKind)
{
    start();
    writeFile(sitePath("page.html"));
    writeFile(sitePath("photo.jpeg"));
    writeFile(sitePath("notes.h"));

    form->handleDroppedFiles({ sitePath("photo.jpeg") });
    EXPECT_EQ(dialogs.texts(QStringLiteral("plain")),
        QStringList {
            QStringLiteral("Folioscope:\nFile not accepted.\n") + sitePath("photo.jpeg") });
    EXPECT_EQ(dialogs.count(QStringLiteral("beep")), 1);
    EXPECT_EQ(form->folderView().currentFolder() + QDir::separator(), programFolder());

    form->handleDroppedFiles({ sitePath("page.html"), sitePath("b.htm"), sitePath("c.htm") });
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(site.path()));
    EXPECT_EQ(folderPageOf(*form)->LBFile->currentItem()->text(), QStringLiteral("page.html"));

    form->handleDroppedFiles({ sitePath("notes.h") });
    EXPECT_EQ(dialogs.count(QStringLiteral("plain")), 1);

    // A file that the filter hides: the folder without a current entry, and nothing named.
    folderPageOf(*form)->CBFilter->setCurrentIndex(filterIndex("HTM(L) only"));
    folderPageOf(*form)->JumpToFileAndFolder(sitePath("b.htm"));
    ASSERT_EQ(form->CurrentFile(), sitePath("b.htm"));
    form->UpdateStatus();
    form->handleDroppedFiles({ sitePath("pic.gif") });
    EXPECT_EQ(form->CurrentFile(), QString());
    EXPECT_EQ(form->LabelHint->text(), QString());
    EXPECT_EQ(view->viewerFile(), QString());
}

TEST_F(FolderViewTest, ThumbnailCornerShowsAStoredThumbnail)
{
    startInSite();
    QImage picture(130, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString thumb
        = thumbs::ThumbFileFor(form->thumbFolder(), site.path(), QStringLiteral("b.htm"));
    QDir().mkpath(QFileInfo(thumb).absolutePath());
    ASSERT_TRUE(platform::writeJpeg(picture, thumb, 70));
    clickRow(1);
    EXPECT_FALSE(folderPageOf(*form)->ImgMini->pixmap().isNull());
    clickRow(0);
    EXPECT_TRUE(folderPageOf(*form)->ImgMini->pixmap().isNull());
}

TEST_F(FolderViewTest, FolderListOpensByClickOrEnter)
{
    QDir().mkpath(site.filePath(QStringLiteral("sub")));
    startInSite();
    const QString sub = QDir::toNativeSeparators(site.filePath(QStringLiteral("sub")));
    const auto rowOf = [this](const QString &path) {
        for (int i = 0; i < folderPageOf(*form)->LBDir->count(); ++i)
            if (folderPageOf(*form)->LBDir->item(i)->data(Qt::UserRole).toString() == path)
                return i;
        return -1;
    };
    ASSERT_GE(rowOf(sub), 0);
    const QRect rect
        = folderPageOf(*form)->LBDir->visualItemRect(folderPageOf(*form)->LBDir->item(rowOf(sub)));
    QTest::mouseClick(folderPageOf(*form)->LBDir->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(form->folderView().currentFolder(), sub); // DoOpenOnSingleClick is on by default

    folderPageOf(*form)->LBDir->setCurrentRow(rowOf(QDir::toNativeSeparators(site.path())));
    QTest::keyClick(folderPageOf(*form)->LBDir, Qt::Key_Return);
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(site.path()));
}

TEST_F(FolderViewTest, VanishedFolderShowsItsParent)
{
    QTemporaryDir outer;
    const QString inner = outer.filePath(QStringLiteral("gone"));
    QDir().mkpath(inner);
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + inner + QStringLiteral("\r\n"));
    start();
    QDir(inner).removeRecursively();
    folderPageOf(*form)->CBFilter->setCurrentIndex(
        1); // re-reads a folder that is gone: an empty list
    EXPECT_EQ(folderPageOf(*form)->LBFile->count(), 0);
    folderPageOf(*form)->changeFolder(inner);
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(outer.path()));
}
