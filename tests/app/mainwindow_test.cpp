#include "mainwindow_fixture.h"

#include "platform/commandline.h"
#include "platform/startfile.h"
#include "support/widgetbyname.h"
#include "support/writefault.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

using app::MainWindow;

TEST(ProgramFolder, OneTrailingSeparatorAndNativeCase)
{
    EXPECT_EQ(
        frame::programFolderFor(QStringLiteral("/opt/Tools//")), QStringLiteral("/opt/Tools/"));
}

TEST_F(MainWindowTest, FirstRunWithoutSettingsCreatesFoldersAndWritesEveryKey)
{
    start();
    EXPECT_TRUE(QFileInfo(program.filePath(QStringLiteral("THUMBS"))).isDir());
    EXPECT_TRUE(QFileInfo(program.filePath(QStringLiteral("FILELISTS"))).isDir());
    EXPECT_EQ(form->windowTitle(), QStringLiteral(" Folioscope v1.0 "));
    EXPECT_EQ(form->currentFolder() + QDir::separator(), programFolder());
    EXPECT_EQ(widget<QComboBox>(folderPageOf(*form), "CBFilter")->itemText(0),
        QStringLiteral("All HTML file types + Pictures"));
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(),
        QStringLiteral("Welcome to Folioscope - Please open a HTML file folder ..."));
    EXPECT_EQ(form->style().name, QStringLiteral("THUMBS"));
    EXPECT_EQ(form->style().options.lineSize, 80);
    closeForm();
    platform::IniFile ini;
    ASSERT_TRUE(ini.load(program.filePath(QStringLiteral("prg.ini"))));
    EXPECT_EQ(ini.readInteger(u"COLORS", u"TextCol", -1), 0);
    EXPECT_EQ(ini.readInteger(u"COLORS", u"TagCol", -1), 16711680);
    EXPECT_EQ(ini.readInteger(u"COLORS", u"QuotedCol", -1), 255);
    EXPECT_EQ(ini.readInteger(u"COLORS", u"CommentCol", -1), 8421376);
    EXPECT_EQ(ini.readString(u"PATHS", u"VIEW_PATH", QString()), form->currentFolder());
    EXPECT_EQ(ini.keyNames(u"OPTIONS").size(), 15); // with DoKeepThumbsFresh, DoFollowDiskChanges
    EXPECT_EQ(ini.keyNames(u"THUMBS").size(), 11);
    EXPECT_EQ(ini.readString(u"EDITOR6", u"Descript", QString()),
        QStringLiteral("External Application 6"));
}

// Writes killed half-way leave NAME.XXXXXX beside NAME: the start removes stale ones of
// prg.ini, the "&Clean" menu's items those of every store; fresh ones (a writer may be at
// work) and a user's file stay.
TEST_F(MainWindowTest, StaleWriterLeftoversGoAtStartAndOnClean)
{
    struct Row {
        const char *name;
        int ageSeconds;
        bool goneAtStart;
        bool goneAfterClean;
    };
    const Row rows[] = {
        { "prg.ini.aVHpsM", 3600, true, true },
        { "prg.ini.Bq7XzT", 20, false, false },
        { "FILELISTS/site.lst.Q1w2E3", 3600, false, true },
        { "SNAPSHOTS/snap_a_htm.jpg.DgUHRj", 3600, false, true },
        { "SNAPSHOTS/holiday.jpg.backup", 3600, false, false },
        { "THUMBS/=web=site/a.htm.jpg.Zx9Cv8", 3600, false, true },
    };
    for (const Row &row : rows) {
        const QString file = program.filePath(QString::fromUtf8(row.name));
        writeFile(file, "x");
        ASSERT_TRUE(ageFile(file, row.ageSeconds));
    }
    start();
    for (const Row &row : rows)
        EXPECT_EQ(QFile::exists(program.filePath(QString::fromUtf8(row.name))), !row.goneAtStart)
            << row.name;
    widget<QMenu>(form.get(), "MenuClean")->actions().value(0)->trigger();
    EXPECT_EQ(dialogs.count(QStringLiteral("info")), 1);
    for (const Row &row : rows)
        EXPECT_EQ(QFile::exists(program.filePath(QString::fromUtf8(row.name))), !row.goneAfterClean)
            << row.name;
}

TEST_F(MainWindowTest, SettingsAreWrittenOnceAndViewPathNeverInsideThumbs)
{
    setIni(QStringLiteral("[OPTIONS]\r\nStyleName=Fancy\r\n[PATHS]\r\nVIEW_PATH=") + site.path()
        + QStringLiteral("\r\n"));
    start();
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path()));
    folderPageOf(*form)->changeFolder(program.filePath(QStringLiteral("THUMBS")));
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")),
        QStringList { QStringLiteral("Sorry, access denied. This is your thumbnail folder.\n"
                                     "Please choose another folder ...") });
    EXPECT_FALSE(widget<QTabWidget>(form, "PageControl1")->isEnabled());
    closeForm();
    platform::IniFile ini;
    ini.load(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_EQ(ini.readString(u"PATHS", u"VIEW_PATH", QString()), programFolder());
    EXPECT_EQ(ini.readString(u"OPTIONS", u"StyleName", QString()), QStringLiteral("THUMBS"));
}

TEST_F(MainWindowTest, OddSizesAndBaseIndexFromAHandEditedFile)
{
    setIni(QStringLiteral(
        "[POSITION_MAIN]\r\nWidth=-5\r\nHeight=0\r\n[THUMBS]\r\nTHUMB_BASEIDX=9\r\n"));
    start();
    EXPECT_GE(form->width(), 320);
    EXPECT_GE(form->height(), 240);
    EXPECT_EQ(widget<QComboBox>(thumbPageOf(*form), "CBSnapBase")->currentText(),
        QStringLiteral("Thumbs Base: 640x480"));
    widget<QComboBox>(thumbPageOf(*form), "CBSnapBase")->setCurrentIndex(6);
    closeForm();
    platform::IniFile ini;
    ini.load(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_EQ(ini.readInteger(u"THUMBS", u"THUMB_BASEIDX", -1), 6);
}

TEST_F(MainWindowTest, UnwritableSettingsFileReportsTheFileAndKeepsRunningState)
{
    // A folder in the place of prg.ini cannot be replaced, even with root's rights.
    ASSERT_TRUE(QDir().mkpath(program.filePath(QStringLiteral("prg.ini"))));
    start();
    closeForm();
    ASSERT_EQ(dialogs.count(QStringLiteral("error")), 1);
    EXPECT_TRUE(dialogs.texts(QStringLiteral("error")).first().contains(QStringLiteral("prg.ini")));
}

TEST_F(MainWindowTest, SelectionQueriesAndTabCaptions)
{
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    widget<QComboBox>(folderPageOf(*form), "CBFilter")
        ->setCurrentIndex(1); // All HTML file types: a.htm b.htm c.htm d.asp
    ASSERT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->count(), 4);

    selectRows({});
    EXPECT_FALSE(widget<QMenu>(form, "MenuExtras")->isEnabled());
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(0),
        QStringLiteral("Folder View  (0 of 4 files selected)"));

    selectRows({ 1 });
    EXPECT_EQ(form->currentFile(), sitePath("b.htm"));
    EXPECT_EQ(widget<QLabel>(form, "LabelHint")->text(), sitePath("b.htm"));

    selectRows({ 0, 2 });
    EXPECT_EQ(form->currentFile(), QString());
    EXPECT_TRUE(widget<QMenu>(form, "MenuExtras")->isEnabled());
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(0),
        QStringLiteral("Folder View  (2 of 4 files selected)"));
    EXPECT_EQ(
        widget<QTabWidget>(form, "PageControl1")->tabText(1), QStringLiteral("Thumbnail View"));
    EXPECT_EQ(form->entryPath(2, true), sitePath("c.htm"));
    EXPECT_EQ(form->entryPath(1, true), QString());
    EXPECT_EQ(form->entryPath(1, false), sitePath("b.htm"));
    EXPECT_EQ(form->entryPath(4, false), QString());

    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kThumbsTab);
    const auto counts = form->selectionCounts();
    EXPECT_EQ(counts.page, form->pages()[kThumbsTab]);
    EXPECT_EQ(counts.total, 4);
    EXPECT_EQ(counts.selected, 1); // the first item is selected on arrival
    EXPECT_EQ(form->currentFile(), sitePath("a.htm"));
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(1),
        QStringLiteral("Thumbnail View  (1 of 4 files selected)"));
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(0), QStringLiteral("Folder View"));
}

TEST_F(MainWindowTest, CtrlAInTheFileListSelectsEverything)
{
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    widget<QListWidget>(folderPageOf(*form), "LBFile")->setFocus();
    QTest::keyClick(
        widget<QListWidget>(folderPageOf(*form), "LBFile"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->tabText(0),
        QStringLiteral("Folder View  (%1 of %1 files selected)")
            .arg(widget<QListWidget>(folderPageOf(*form), "LBFile")->count()));
}

TEST_F(MainWindowTest, StartFileRules)
{
    struct Row {
        const char *name;
        QStringList arguments;
        bool taken;
    };
    const Row rows[] = {
        { "one parameter", { sitePath("b.htm") }, true },
        { "last of two", { QStringLiteral("-x"), sitePath("c.htm") }, true },
        { "three parameters", { QStringLiteral("a"), QStringLiteral("b"), sitePath("b.htm") },
            false },
        { "missing file", { sitePath("none.htm") }, false },
        { "not accepted", { sitePath("notes.txt") }, false },
    };
    writeFile(sitePath("notes.txt"));
    for (const Row &row : rows) {
        EXPECT_EQ(platform::startFileFromArguments(row.arguments).isEmpty(), !row.taken)
            << row.name;
    }
    // A relative, unclean path is taken as its absolute, clean form.
    QDir::setCurrent(site.path());
    EXPECT_EQ(
        platform::startFileFromArguments({ QStringLiteral("./x/../b.htm") }), sitePath("b.htm"));

    start({ sitePath("c.htm") });
    EXPECT_EQ(form->currentFolder(), QDir::toNativeSeparators(site.path()));
    ASSERT_NE(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem(), nullptr);
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem()->text(),
        QStringLiteral("c.htm"));
    // Later activations leave the user where they are.
    folderPageOf(*form)->changeFolder(program.path());
    form->handleActivation();
    EXPECT_EQ(form->currentFolder() + QDir::separator(), programFolder());
}

// A page made on Windows, caf\xe9.htm: its name on the command line is selected at start.
TEST_F(MainWindowTest, StartFileWithALatinOneName)
{
    QByteArray path = QFile::encodeName(site.path()) + "/caf\xe9.htm";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    char program[] = "folioscope";
    char *argv[] = { program, path.data(), nullptr };
    const QStringList arguments = platform::argumentsAsFileNames(2, argv);
    ASSERT_EQ(arguments, QStringList { sitePath("caf\xe9.htm") });
    EXPECT_EQ(platform::startFileFromArguments(arguments), arguments.first());

    start(arguments);
    ASSERT_NE(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem(), nullptr);
    EXPECT_EQ(widget<QListWidget>(folderPageOf(*form), "LBFile")->currentItem()->text(),
        QStringLiteral("caf\u00e9.htm"));
}

TEST_F(MainWindowTest, UnsavedChangesGuardPageSwitchAndClose)
{
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    selectRows({ 0 });
    form->showFileInViews(false);
    ASSERT_EQ(view->viewerFile(), sitePath("a.htm"));
    widget<QPushButton>(folderPageOf(*form), "BSave")
        ->setEnabled(true); // the editor holds unsaved changes

    dialogs.answers = { platform::Answer::Cancel };
    widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kListsTab);
    EXPECT_EQ(widget<QTabWidget>(form, "PageControl1")->currentIndex(), kFolderTab);
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("Save changes in: ") + sitePath("a.htm"));

    const QByteArray settingsBefore = fileBytes(program.filePath(QStringLiteral("prg.ini")));
    dialogs.answers = { platform::Answer::Cancel };
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(fileBytes(program.filePath(QStringLiteral("prg.ini"))), settingsBefore);

    dialogs.answers = { platform::Answer::No };
    EXPECT_TRUE(form->close());
    EXPECT_NE(fileBytes(program.filePath(QStringLiteral("prg.ini"))), settingsBefore);
    EXPECT_EQ(fileBytes(sitePath("a.htm")), QByteArray("<html><body>x</body></html>"));
}

TEST_F(MainWindowTest, ViewerOpensModallyWithBothControlsAndDocksBackAfter)
{
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
    start();
    selectRows({ 0 });
    form->showFileInViews(false);
    QWidget *browser = view->browserControl();
    ASSERT_TRUE(widget<QWidget>(folderPageOf(*form), "Panel1")->isAncestorOf(browser));

    bool openSeen = false;
    bool browserInViewer = false;
    QTimer::singleShot(200, [&] {
        openSeen = form->isViewerOpen();
        browserInViewer = view->isAncestorOf(browser) && view->isAncestorOf(view->editorControl());
        QTest::keyClick(view.get(), Qt::Key_Escape);
    });
    form->openCurrentFile();
    EXPECT_TRUE(openSeen);
    EXPECT_TRUE(browserInViewer);
    EXPECT_FALSE(form->isViewerOpen());
    EXPECT_TRUE(widget<QWidget>(folderPageOf(*form), "Panel1")->isAncestorOf(browser));

    // The switch docks the editor instead, and back.
    widget<QToolButton>(folderPageOf(*form), "SBEditor")->click();
    EXPECT_TRUE(
        widget<QWidget>(folderPageOf(*form), "Panel1")->isAncestorOf(view->editorControl()));
    EXPECT_FALSE(widget<QWidget>(folderPageOf(*form), "Panel1")->isAncestorOf(browser));
    widget<QToolButton>(folderPageOf(*form), "SBBrowser")->click();
    EXPECT_TRUE(widget<QWidget>(folderPageOf(*form), "Panel1")->isAncestorOf(browser));
}

TEST_F(MainWindowTest, AWindowSavedOnABiggerScreenComesBackOnThisOne)
{
    setIni(QStringLiteral(
        "[POSITION_MAIN]\r\nLeft=-900\r\nTop=-900\r\nWidth=3000\r\nHeight=2000\r\n"));
    start();
    const QRect available = form->screen()->availableGeometry();
    // Never beyond the screen's top left, where the menus are; no larger than the screen
    // unless the controls cannot be laid out smaller (the test screen is only 800 x 600).
    const QSize smallest = form->minimumSizeHint();
    EXPECT_TRUE(available.contains(form->frameGeometry().topLeft()));
    EXPECT_LE(form->width(), std::max(available.width(), smallest.width()));
    EXPECT_LE(form->height(), std::max(available.height(), smallest.height()));
    // The left panel shows its filter box and the thumbnail corner whole.
    QWidget *panel = folderPageOf(*form)->folderPanel();
    EXPECT_GE(panel->width(), 163);
    EXPECT_GE(widget<QComboBox>(folderPageOf(*form), "CBFilter")->width(),
        widget<QComboBox>(folderPageOf(*form), "CBFilter")->sizeHint().width());
    // The filter title shows the whole mask of the longest default filter, wrapped.
    QLabel *title = widget<QLabel>(folderPageOf(*form), "PanelFilterTop");
    widget<QComboBox>(folderPageOf(*form), "CBFilter")->setCurrentIndex(0);
    QCoreApplication::processEvents();
    const QRect room = title->contentsRect();
    const QRect needed
        = title->fontMetrics().boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft, title->text());
    EXPECT_LE(needed.width(), room.width());
    EXPECT_LE(needed.height(), room.height());
    closeForm();
    platform::IniFile ini;
    ini.load(program.filePath(QStringLiteral("prg.ini")));
    EXPECT_LE(ini.readInteger(u"POSITION_MAIN", u"Width", 0),
        std::max(available.width(), smallest.width()));
    EXPECT_LE(ini.readInteger(u"POSITION_MAIN", u"Height", 0),
        std::max(available.height(), smallest.height()));
}

namespace {

// Records whether the main window was on the screen when a box came up.
class VisibilityDialogs : public ScriptedDialogs
{
public:
    QWidget *window = nullptr;
    QList<bool> shownOverWindow;
    void ShowInfo(const QString &text) override
    {
        shownOverWindow.append(window && window->isVisible());
        ScriptedDialogs::ShowInfo(text);
    }
};

} // namespace

TEST_F(MainWindowTest, StartingInTheThumbnailFolderRefusesItOverTheShownWindow)
{
    QDir().mkpath(program.filePath(QStringLiteral("THUMBS/sub")));
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + program.filePath(QStringLiteral("THUMBS/sub"))
        + QStringLiteral("\r\n"));
    VisibilityDialogs boxes;
    form = std::make_unique<app::MainWindow>(program.path(), QStringList());
    boxes.window = form.get();
    form->show();
    QTest::qWait(50);
    EXPECT_EQ(boxes.shownOverWindow, QList<bool> { true });
    EXPECT_FALSE(widget<QTabWidget>(form, "PageControl1")->isEnabled());
    // Message boxes carry the program's title; the platform appends no name to window titles.
    EXPECT_EQ(platform::applicationTitle(), QStringLiteral(" Folioscope v1.0 "));
    EXPECT_NE(QGuiApplication::applicationDisplayName(), platform::applicationTitle());
}

TEST(DataFolder, TheProgramFolderUnlessItCannotBeWritten)
{
    EXPECT_EQ(frame::dataFolderFor(QStringLiteral("/opt/fs/"), true), QStringLiteral("/opt/fs/"));
    const QString fallback = frame::dataFolderFor(QStringLiteral("/usr/lib/folioscope/"), false);
    EXPECT_NE(fallback, QStringLiteral("/usr/lib/folioscope/"));
    EXPECT_TRUE(fallback.endsWith(QDir::separator()));
    EXPECT_TRUE(QFileInfo(fallback).isDir());
}
