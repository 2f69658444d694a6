// The folder view driven through the real main window.
#include "mainwindow_fixture.h"

#include "imaging/jpegcodec.h"
#include "thumbs/thumbgrid.h"
#include "imaging/thumbstore.h"

#include "support/widgetbyname.h"
#include "viewer/sourceeditor.h"
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using app::MainWindow;

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
            = widget<QListWidget>(folderPageOf(*form), "LBFile")
                  ->visualItemRect(widget<QListWidget>(folderPageOf(*form), "LBFile")->item(row));
        QTest::mouseClick(widget<QListWidget>(folderPageOf(*form), "LBFile")->viewport(),
            Qt::LeftButton, {}, rect.center());
    }

    int filterIndex(const char *description) const
    {
        return widget<QComboBox>(folderPageOf(*form), "CBFilter")
            ->findText(QString::fromLatin1(description));
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
        EXPECT_TRUE(widget<QTabWidget>(form, "PageControl1")->isEnabled());
        folderPageOf(*form)->changeFolder(folder);
        EXPECT_EQ(dialogs.count(QStringLiteral("info")), 1) << folder.toStdString();
        EXPECT_FALSE(widget<QTabWidget>(form, "PageControl1")->isEnabled());
    }
    EXPECT_TRUE(
        folderPageOf(*form)->isInThumbFolder(program.filePath(QStringLiteral("thumbs/Sub"))));
    EXPECT_FALSE(folderPageOf(*form)->isInThumbFolder(site.path()));
}

TEST_F(FolderViewTest, FilterChangeClearsTheViewsAndNamesTheMask)
{
    startInSite();
    widget<QComboBox>(folderPageOf(*form), "CBFilter")->setCurrentIndex(filterIndex("HTM(L) only"));
    clickRow(0);
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    widget<QComboBox>(folderPageOf(*form), "CBFilter")->setCurrentIndex(filterIndex("ASP only"));
    EXPECT_EQ(widget<QLabel>(folderPageOf(*form), "PanelFilterTop")->text(),
        QStringLiteral(" Filter: *.asp"));
    EXPECT_EQ(view->viewerFile(), QString());
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 1);
    EXPECT_EQ(folderPageOf(*form)->currentMask(), QStringLiteral("*.asp"));
}

TEST_F(FolderViewTest, FilterTextWithoutPairsListsEveryFile)
{
    setIni(QStringLiteral("[OPTIONS]\r\nALLOWED_EXTENSIONS=just text\r\n[PATHS]\r\nVIEW_PATH=")
        + site.path() + QStringLiteral("\r\n"));
    start();
    EXPECT_EQ(widget<QComboBox>(folderPageOf(*form), "CBFilter")->count(), 0);
    EXPECT_EQ(folderPageOf(*form)->currentMask(), QStringLiteral("*.*"));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 5);
}

TEST_F(FolderViewTest, SameFileIsNotReloadedButAPictureIsAlways)
{
    startInSite();
    widget<QComboBox>(folderPageOf(*form), "CBFilter")->setCurrentIndex(0); // HTML and pictures
    clickRow(0);
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    // A file whose content changed on disk shows the old text until it is reloaded.
    writeFile(sitePath("a.htm"), "<p>changed</p>");
    const QString before = view->editor()->text();
    clickRow(0);
    EXPECT_EQ(view->editor()->text(), before);

    const int gif = folderPageOf(*form)->findListIndex(QStringLiteral("pic.gif"));
    ASSERT_GE(gif, 0);
    clickRow(gif);
    EXPECT_EQ(view->viewerFile(), QString()); // pictures leave the viewer file empty
    EXPECT_EQ(form->currentFile(), sitePath("pic.gif"));
}

TEST_F(FolderViewTest, UnsavedChangesAreAskedButNeverStopAFolderOrFileChange)
{
    startInSite();
    clickRow(0);
    widget<QPushButton>(folderPageOf(*form), "BSave")->setEnabled(true);
    dialogs.answers = { platform::Answer::Cancel };
    folderPageOf(*form)->changeFolder(program.path());
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")).value(0),
        QStringLiteral("Save changes in: ") + sitePath("a.htm"));
    EXPECT_EQ(form->folderView().currentFolder() + QDir::separator(), programFolder());

    folderPageOf(*form)->changeFolder(site.path());
    clickRow(0);
    widget<QPushButton>(folderPageOf(*form), "BSave")->setEnabled(true);
    dialogs.calls.clear();
    dialogs.answers = { platform::Answer::No };
    clickRow(1);
    EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1);
    EXPECT_EQ(view->viewerFile(), sitePath("b.htm"));
}

TEST_F(FolderViewTest, JumpFindsTheFileInAnotherLetterCase)
{
    start();
    folderPageOf(*form)->jumpToFileAndFolder(QDir(site.path()).filePath(QStringLiteral("B.HTM")));
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(site.path()));
    // B.HTM does not exist on a case-sensitive system: the folder is shown without a current entry.
    const bool caseSensitive
        = !QFileInfo::exists(QDir(site.path()).filePath(QStringLiteral("B.HTM")));
    if (caseSensitive) {
        EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentRow(), -1);
        EXPECT_EQ(folderPageOf(*form)->findListIndex(QStringLiteral("B.HTM")), 1);
    }
    folderPageOf(*form)->jumpToFileAndFolder(sitePath("c.htm"));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem()->text(),
        QStringLiteral("c.htm"));
    EXPECT_TRUE(widget<QListWidget>(folderPageOf(*form), "LBFile")
                    ->selectedItems()
                    .isEmpty()); // the focus moves, not the
                                 // selection

    folderPageOf(*form)->jumpToFileAndFolder(QStringLiteral("/no/such/folder/x.htm"));
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(site.path()));
}

TEST_F(FolderViewTest, DeleteAsksAndRereadsAndRemembersNoRecycleBin)
{
    startInSite();
    widget<QComboBox>(folderPageOf(*form), "CBFilter")
        ->setCurrentIndex(1); // a.htm b.htm c.htm d.asp
    clickRow(1);
    dialogs.answers = { platform::Answer::No };
    QTest::keyClick(widget<QListWidget>(folderPageOf(*form), "LBFile"), Qt::Key_Delete);
    EXPECT_EQ(dialogs.lastText(),
        QStringLiteral("CAUTION:\n--- File(s) will not be moved to Win95/98/NT Recycle Bin! ---"
                       "\n\n\nDelete file \"%1\" permanently from disk?\n\n")
            .arg(sitePath("b.htm")));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 4);

    dialogs.answers = { platform::Answer::Yes };
    QTest::keyClick(widget<QListWidget>(folderPageOf(*form), "LBFile"), Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(sitePath("b.htm")));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 3);
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentRow(), 1);
    EXPECT_FALSE(form->settings().useRecycleBin);

    // Confirmed with the mouse: no key release comes to tidy up after the question.
    dialogs.answers = { platform::Answer::Yes };
    folderPageOf(*form)->deleteSelectedFiles();
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 2);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(kFolderTab),
        QStringLiteral("Folder View  (1 of 2 files selected)"));
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), sitePath("d.asp"));
    EXPECT_EQ(view->viewerFile(), sitePath("d.asp"));

    widget<QListWidget>(folderPageOf(*form), "LBFile")->selectAll();
    dialogs.answers = { platform::Answer::Cancel };
    QTest::keyClick(widget<QListWidget>(folderPageOf(*form), "LBFile"), Qt::Key_Delete);
    EXPECT_TRUE(
        dialogs.lastText().contains(QStringLiteral("Delete 2 files permanently from disk?")));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 2);

    closeForm();
    platform::IniFile ini;
    ini.load(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_EQ(ini.readString(u"OPTIONS", u"DoRecycleBin", QString()), QStringLiteral("0"));
}

TEST_F(FolderViewTest, DeletingOnTheThumbnailViewShrinksTheList)
{
    startInSite();
    widget<QComboBox>(folderPageOf(*form), "CBFilter")->setCurrentIndex(1);
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kThumbsTab);
    ASSERT_EQ(form->selectionCounts().total, 4);
    dialogs.answers = { platform::Answer::Yes };
    QTest::keyClick(widget<thumbs::ThumbGrid>(thumbPageOf(*form), "LVThumbs"),
        Qt::Key_Delete); // the first item is selected on arrival
    EXPECT_FALSE(QFile::exists(sitePath("a.htm")));
    EXPECT_EQ(form->selectionCounts().total, 3);
}

TEST_F(FolderViewTest, SingleCopyOntoItselfIsRefusedAndACopyIsSelected)
{
    startInSite();
    clickRow(0);
    dialogs.paths = { sitePath("a.htm") };
    folderPageOf(*form)->copySelectedFiles();
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList { QStringLiteral("Cannot copy a file to itself ...") });

    dialogs.paths = { sitePath("copy.htm") };
    folderPageOf(*form)->copySelectedFiles();
    EXPECT_EQ(readFile(sitePath("copy.htm")), readFile(sitePath("a.htm")));
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem()->text(),
        QStringLiteral("copy.htm"));
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
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem()->text(),
        QStringLiteral("page.html"));

    form->handleDroppedFiles({ sitePath("notes.h") });
    EXPECT_EQ(dialogs.count(QStringLiteral("plain")), 1);

    // A file that the filter hides: the folder without a current entry, and nothing named.
    widget<QComboBox>(folderPageOf(*form), "CBFilter")->setCurrentIndex(filterIndex("HTM(L) only"));
    folderPageOf(*form)->jumpToFileAndFolder(sitePath("b.htm"));
    ASSERT_EQ(form->currentFile(), sitePath("b.htm"));
    form->updateStatus();
    form->handleDroppedFiles({ sitePath("pic.gif") });
    EXPECT_EQ(form->currentFile(), QString());
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), QString());
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
    EXPECT_FALSE(widget<QLabel>(folderPageOf(*form), "ImgMini")->pixmap().isNull());
    clickRow(0);
    EXPECT_TRUE(widget<QLabel>(folderPageOf(*form), "ImgMini")->pixmap().isNull());
}

TEST_F(FolderViewTest, FolderListOpensByClickOrEnter)
{
    QDir().mkpath(site.filePath(QStringLiteral("sub")));
    startInSite();
    const QString sub = QDir::toNativeSeparators(site.filePath(QStringLiteral("sub")));
    const auto rowOf = [this](const QString &path) {
        for (int i = 0; i < widget<QListWidget>(folderPageOf(*form), "LBDir")->count(); ++i)
            if (widget<QListWidget>(folderPageOf(*form), "LBDir")
                    ->item(i)
                    ->data(Qt::UserRole)
                    .toString()
                == path)
                return i;
        return -1;
    };
    ASSERT_GE(rowOf(sub), 0);
    const QRect rect
        = widget<QListWidget>(folderPageOf(*form), "LBDir")
              ->visualItemRect(widget<QListWidget>(folderPageOf(*form), "LBDir")->item(rowOf(sub)));
    QTest::mouseClick(widget<QListWidget>(folderPageOf(*form), "LBDir")->viewport(), Qt::LeftButton,
        {}, rect.center());
    EXPECT_EQ(form->folderView().currentFolder(), sub); // DoOpenOnSingleClick is on by default

    widget<QListWidget>(folderPageOf(*form), "LBDir")
        ->setCurrentRow(rowOf(QDir::toNativeSeparators(site.path())));
    QTest::keyClick(widget<QListWidget>(folderPageOf(*form), "LBDir"), Qt::Key_Return);
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
    widget<QComboBox>(folderPageOf(*form), "CBFilter")
        ->setCurrentIndex(1); // re-reads a folder that is gone: an empty list
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 0);
    folderPageOf(*form)->changeFolder(inner);
    EXPECT_EQ(form->folderView().currentFolder(), QDir::toNativeSeparators(outer.path()));
}
