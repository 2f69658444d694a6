// The folder view driven through the real main window.
#include "mainwindow_fixture.h"

#include "engine/htmlview.h"
#include "imaging/jpegcodec.h"
#include "imaging/thumbstore.h"
#include "thumbs/thumbgrid.h"

#include "support/widgetbyname.h"
#include "viewer/sourceeditor.h"
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>

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

    // a.htm in the docked editor, with a "Q" typed at its start and not saved.
    void startEditing()
    {
        startInSite();
        clickRow(0);
        widget<QToolButton>(folderPageOf(*form), "SBEditor")->click();
        typeAtStart('Q');
        ASSERT_TRUE(view->isEditorModified());
    }

    void typeAtStart(char c)
    {
        QTextCursor cursor = view->editor()->textCursor();
        cursor.setPosition(0);
        view->editor()->setTextCursor(cursor);
        QTest::keyClick(view->editor(), c);
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
    EXPECT_TRUE(folderPageOf(*form)->folderPanel()->isInThumbFolder(
        program.filePath(QStringLiteral("thumbs/Sub"))));
    EXPECT_FALSE(folderPageOf(*form)->folderPanel()->isInThumbFolder(site.path()));
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
    EXPECT_EQ(folderPageOf(*form)->folderPanel()->currentMask(), QStringLiteral("*.asp"));
}

TEST_F(FolderViewTest, FilterTextWithoutPairsListsEveryFile)
{
    setIni(QStringLiteral("[OPTIONS]\r\nALLOWED_EXTENSIONS=just text\r\n[PATHS]\r\nVIEW_PATH=")
        + site.path() + QStringLiteral("\r\n"));
    start();
    EXPECT_EQ(widget<QComboBox>(folderPageOf(*form), "CBFilter")->count(), 0);
    EXPECT_EQ(folderPageOf(*form)->folderPanel()->currentMask(), QStringLiteral("*.*"));
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

// Each way of leaving the file with unsaved changes asks once; Cancel leaves the list, the
// folder, the filter and the views on the file being edited, with the changes.
TEST_F(FolderViewTest, CancelKeepsTheChangesAndTheListOnTheEditedFile)
{
    struct Row {
        const char *name;
        std::function<void()> leave;
    };
    QDir().mkpath(site.filePath(QStringLiteral("sub")));
    startEditing();
    QListWidget *list = widget<QListWidget>(folderPageOf(*form), "LBFile");
    QListWidget *folders = widget<QListWidget>(folderPageOf(*form), "LBDir");
    QComboBox *drives = widget<QComboBox>(folderPageOf(*form), "CBDrive");
    QComboBox *filter = widget<QComboBox>(folderPageOf(*form), "CBFilter");
    const QString edited = view->editor()->text();
    const int drive = drives->currentIndex();
    const Row rows[] = {
        { "a click on another file", [&] { clickRow(1); } },
        { "the Down key", [&] { QTest::keyClick(list, Qt::Key_Down); } },
        { "Ctrl+A", [&] { QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); } },
        { "a click on another folder",
            [&] {
                const QString sub = QDir::toNativeSeparators(site.filePath(QStringLiteral("sub")));
                for (int row = 0; row < folders->count(); ++row)
                    if (folders->item(row)->data(Qt::UserRole).toString() == sub)
                        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                            folders->visualItemRect(folders->item(row)).center());
            } },
        { "another drive", [&] { Q_EMIT drives->activated(drives->count() - 1); } },
        { "another filter", [&] { filter->setCurrentIndex(filterIndex("ASP only")); } },
    };
    for (const Row &row : rows) {
        dialogs.calls.clear();
        dialogs.answers = { platform::Answer::Cancel };
        row.leave();
        QCoreApplication::processEvents(); // what waits for the end of the press
        EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")),
            QStringList { QStringLiteral("Save changes in: ") + sitePath("a.htm") })
            << row.name;
        EXPECT_EQ(view->viewerFile(), sitePath("a.htm")) << row.name;
        EXPECT_EQ(view->editor()->text(), edited) << row.name;
        EXPECT_TRUE(view->isEditorModified()) << row.name;
        EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path())) << row.name;
        EXPECT_EQ(folders->currentItem()->data(Qt::UserRole).toString(),
            QDir::toNativeSeparators(site.path()))
            << row.name;
        EXPECT_EQ(drives->currentIndex(), drive) << row.name;
        EXPECT_EQ(filter->currentIndex(), 0) << row.name;
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("a.htm")) << row.name;
        ASSERT_EQ(list->selectedItems().size(), 1) << row.name;
        EXPECT_EQ(list->selectedItems().first()->text(), QStringLiteral("a.htm")) << row.name;
        EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), sitePath("a.htm")) << row.name;
        EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(kFolderTab),
            QStringLiteral("Folder View  (1 of 5 files selected)"))
            << row.name;
    }

    // No still drops them, and the folder changes.
    dialogs.answers = { platform::Answer::No };
    filter->setCurrentIndex(filterIndex("ASP only"));
    EXPECT_EQ(form->currentMask(), QStringLiteral("*.asp"));
    EXPECT_FALSE(view->isEditorModified());
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("<html><body>x</body></html>"));
}

// The question's window may take the release of the button that chose the file: the file
// is loaded all the same, after Yes or No, and the hint line names it once the main window
// is active again.
TEST_F(FolderViewTest, TheClickedFileIsLoadedAfterTheQuestion)
{
    struct Row {
        const char *name;
        platform::Answer answer;
        bool releaseArrives;
    };
    const Row rows[] = {
        { "Yes, a whole click", platform::Answer::Yes, true },
        { "No, a whole click", platform::Answer::No, true },
        { "Yes, the release taken by the question", platform::Answer::Yes, false },
        { "No, the release taken by the question", platform::Answer::No, false },
    };
    writeFile(sitePath("b.htm"), "<p>b</p>");
    startEditing();
    QListWidget *list = widget<QListWidget>(folderPageOf(*form), "LBFile");
    for (const Row &row : rows) {
        clickRow(0);
        typeAtStart('Q');
        const QByteArray typed = view->editor()->text().toUtf8();
        const QByteArray onDisk = fileBytes(sitePath("a.htm"));
        dialogs.calls.clear();
        dialogs.answers = { row.answer };
        const QPoint onB = list->visualItemRect(list->item(1)).center();
        if (row.releaseArrives)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onB);
        else
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, onB);
        QCoreApplication::processEvents();
        form->handleActivation(); // the main window is active again
        EXPECT_EQ(dialogs.count(QStringLiteral("yesnocancel")), 1) << row.name;
        EXPECT_EQ(
            fileBytes(sitePath("a.htm")), row.answer == platform::Answer::Yes ? typed : onDisk)
            << row.name;
        EXPECT_EQ(view->viewerFile(), sitePath("b.htm")) << row.name;
        EXPECT_EQ(view->editor()->text(), QStringLiteral("<p>b</p>")) << row.name;
        EXPECT_FALSE(view->isEditorModified()) << row.name;
        EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), sitePath("b.htm")) << row.name;
        if (!row.releaseArrives)
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, onB);
    }
}

// A click on one entry of a selection of all selects it alone only on the release.
TEST_F(FolderViewTest, AClickAfterCtrlASelectsAndLoadsTheClickedFile)
{
    startInSite();
    QListWidget *list = widget<QListWidget>(folderPageOf(*form), "LBFile");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(kFolderTab),
        QStringLiteral("Folder View  (5 of 5 files selected)"));
    clickRow(2);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(kFolderTab),
        QStringLiteral("Folder View  (1 of 5 files selected)"));
    EXPECT_EQ(view->viewerFile(), sitePath("c.htm"));
    EXPECT_TRUE(view->editor()->isEnabled());
    EXPECT_TRUE(widget<QPushButton>(folderPageOf(*form), "BSaveAs")->isEnabled());
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), sitePath("c.htm"));
}

TEST_F(FolderViewTest, TheHintLineForgetsADeletedPageOnceItIsBack)
{
    startInSite();
    clickRow(0);
    view->browser()->waitForLoad(); // the page loads in the background; it is followed once shown
    QLabel *hint = widget<QLabel>(form, "LabelHint");
    ASSERT_TRUE(QFile::remove(sitePath("a.htm")));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return hint->text() == sitePath("a.htm") + QStringLiteral(" (deleted on disk)"); },
        10000));
    writeFile(sitePath("a.htm"), "<p>back</p>");
    EXPECT_TRUE(QTest::qWaitFor([&] { return hint->text() == sitePath("a.htm"); }, 10000))
        << hint->text().toStdString();

    // Saved from the editor, it stays named as it is.
    widget<QToolButton>(folderPageOf(*form), "SBEditor")->click();
    typeAtStart('Q');
    widget<QPushButton>(folderPageOf(*form), "BSave")->click();
    QTest::qWait(500);
    EXPECT_EQ(hint->text(), sitePath("a.htm"));
}

TEST_F(FolderViewTest, JumpFindsTheFileInAnotherLetterCase)
{
    start();
    folderPageOf(*form)->jumpToFileAndFolder(QDir(site.path()).filePath(QStringLiteral("B.HTM")));
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path()));
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
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path()));
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
    EXPECT_EQ(fileBytes(sitePath("copy.htm")), fileBytes(sitePath("a.htm")));
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
    EXPECT_EQ(form->currentFolder() + QDir::separator(), programFolder());

    form->handleDroppedFiles({ sitePath("page.html"), sitePath("b.htm"), sitePath("c.htm") });
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path()));
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
        = imaging::ThumbFileFor(form->thumbFolder(), site.path(), QStringLiteral("b.htm"));
    QDir().mkpath(QFileInfo(thumb).absolutePath());
    ASSERT_TRUE(imaging::writeJpeg(picture, thumb, 70));
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
    EXPECT_EQ(form->currentFolder(), sub); // DoOpenOnSingleClick is on by default

    widget<QListWidget>(folderPageOf(*form), "LBDir")
        ->setCurrentRow(rowOf(QDir::toNativeSeparators(site.path())));
    QTest::keyClick(widget<QListWidget>(folderPageOf(*form), "LBDir"), Qt::Key_Return);
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path()));
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
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(outer.path()));
}
