// The shared context menu and the small windows of the Options and Help menus.
#include "mainwindow_fixture.h"

#include "app/aboutdialog.h"
#include "app/contextmenu.h"
#include "app/generaloptionsdialog.h"
#include "app/helpwindow.h"
#include "engine/htmlview.h"
#include "filelists/filelistspage.h"
#include "filelists/reportmodel.h"
#include "support/handover.h"
#include "support/widgetbyname.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using app::ContextItem;
using app::MenuState;

TEST(ContextMenuRules, WhichItemsAnEntrySelectionEnables)
{
    struct Row {
        const char *name;
        MenuState state;
        QList<int> enabled; // positions other than separators
    };
    std::array<bool, 6> third {};
    third[2] = true;
    const QList<int> selectionItems
        = { app::MakeThumbnails, app::ClearThumbnails, app::CreateSnapshots, app::CopyFilesTo };
    const Row rows[] = {
        { "nothing selected", { false, 0, false, false, third }, {} },
        { "two files on Folder View", { false, 2, false, false, third }, selectionItems },
        { "one file on Folder View", { true, 1, false, false, third },
            QList<int> { app::ViewInDefaultBrowser } + selectionItems
                + QList<int> { app::FirstLaunch + 2 } },
        { "one row on File Lists", { true, 1, true, false, {} },
            QList<int> { app::ViewInDefaultBrowser } + selectionItems
                + QList<int> { app::JumpToFolder } },
        { "viewer open", { true, 1, true, true, third }, {} },
    };
    for (const Row &row : rows) {
        const auto enabled = app::contextItemsEnabled(row.state);
        for (int position = 0; position < app::ContextItemCount; ++position) {
            if (position == 1 || position == 4 || position == 8)
                continue;
            EXPECT_EQ(enabled[size_t(position)], row.enabled.contains(position))
                << row.name << " item " << position;
        }
    }
}

namespace {

class OptionsTest : public MainWindowTest
{
protected:
    void startInSite()
    {
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path()
            + QStringLiteral("\r\n[EDITOR3]\r\nLocation=/bin/true\r\nDescript=Notepad\r\n"));
        start();
    }
    QAction *item(int position) const
    {
        return widget<app::ContextMenu>(form, "PopLBTree")->item(position);
    }
    // The File Lists page with one selected entry, x.htm in `folder` (ending in "/").
    void selectListEntry(const QString &folder)
    {
        widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kListsTab);
        filelists::ReportModel *report = listsPageOf(*form)->model();
        report->setEntries({ { folder, QStringLiteral("x"), QStringLiteral(".htm"),
            QStringLiteral("0"), QString() } });
        widget<QTreeView>(listsPageOf(*form), "ELVReport")
            ->selectionModel()
            ->select(report->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void selectOnly(int row)
    {
        widget<QListWidget>(folderPageOf(*form), "LBFile")->setCurrentRow(row);
        form->updateStatus();
        form->showFileInViews(false);
    }
};

// Runs `answer` on the modal dialog of type T as soon as it is shown.
template<typename T> void whenShown(std::function<void(T *)> answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<T *>(w); dialog && dialog->isVisible())
                return answer(dialog);
    });
}

} // namespace

TEST_F(OptionsTest, MenuCaptionsAndTheLaunchItems)
{
    startInSite();
    ASSERT_NE(item(app::FirstLaunch + 2), nullptr);
    EXPECT_EQ(item(app::FirstLaunch + 2)->text(), QStringLiteral("Launch file with: Notepad"));
    selectOnly(0);
    form->prepareContextMenu();
    EXPECT_TRUE(item(app::FirstLaunch + 2)->isEnabled());
    EXPECT_FALSE(item(app::FirstLaunch)->isEnabled());
    EXPECT_FALSE(item(app::JumpToFolder)->isEnabled());

    // General Options: "..." of row 4 fills only that row; OK gives the new captions.
    const QString program = sitePath("tool.sh");
    writeFile(program, "#!/bin/sh\n");
    whenShown<app::GeneralOptionsDialog>([&](app::GeneralOptionsDialog *options) {
        dialogs.paths = { program };
        options->BEditor[3]->click();
        EXPECT_EQ(options->ELoc[3]->text(), program);
        EXPECT_EQ(options->ELoc[2]->text(), QStringLiteral("/bin/true"));
        options->EDescr[3]->setText(QStringLiteral("Tool"));
        widget<QCheckBox>(options, "CBHints")->setChecked(false);
        EXPECT_TRUE(widget<QCheckBox>(options, "CBFreshThumbs")->isChecked());
        widget<QCheckBox>(options, "CBFreshThumbs")->setChecked(false);
        widget<QPushButton>(options, "BOK")->click();
    });
    form->showGeneralOptions();
    EXPECT_EQ(item(app::FirstLaunch + 3)->text(), QStringLiteral("Launch with: Tool"));
    EXPECT_EQ(item(app::FirstLaunch + 2)->text(), QStringLiteral("Launch with: Notepad"));
    form->prepareContextMenu();
    EXPECT_TRUE(item(app::FirstLaunch + 3)->isEnabled());
    EXPECT_FALSE(form->settings().showHints);
    EXPECT_FALSE(form->settings().keepThumbsFresh);

    whenShown<app::GeneralOptionsDialog>([](app::GeneralOptionsDialog *options) {
        options->ELoc[3]->setText(QStringLiteral("(none)"));
        widget<QPushButton>(options, "BCancel")->click();
    });
    form->showGeneralOptions();
    EXPECT_EQ(form->settings().externalApps[3].location, program);
}

TEST_F(OptionsTest, LaunchAsksAboutUnsavedChangesFirstAndJumpNamesAMissingFolder)
{
    startInSite();
    selectOnly(0);
    widget<QPushButton>(folderPageOf(*form), "BSave")->setEnabled(true); // the editor holds changes
    dialogs.answers = { platform::Answer::Cancel };
    form->runContextMenuItem(app::FirstLaunch + 2);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesnocancel")),
        QStringList { QStringLiteral("Save changes in: ") + sitePath("a.htm") });

    widget<QPushButton>(folderPageOf(*form), "BSave")->setEnabled(false);
    selectListEntry(site.path() + QStringLiteral("/gone/"));
    form->runContextMenuItem(app::JumpToFolder);
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")).value(0),
        QStringLiteral("Folder \"%1/gone/x.htm\" not found.").arg(site.path()));
}

// A page made on Windows (caf\xe9.htm, shown as café.htm) reaches other programs by its own
// bytes: "Launch with:" hands them over as the argument, "View in default browser" as the
// escapes of a file:// address.
TEST_F(OptionsTest, LatinOneNamesReachOtherProgramsByTheirBytes)
{
    const QByteArray page = QFile::encodeName(site.path()) + "/caf\xe9.htm";
    const int fd = ::open(page.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString tools = program.filePath(QStringLiteral("tools"));
    ASSERT_TRUE(QDir().mkpath(tools));
    writeArgumentRecorder(tools + QStringLiteral("/recorder.sh"));
    setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path()
        + QStringLiteral("\r\n[EDITOR1]\r\nLocation=") + tools
        + QStringLiteral("/recorder.sh\r\nParam=-n\r\nDescript=Recorder\r\n"));
    start();
    const QList<QListWidgetItem *> found
        = widget<QListWidget>(folderPageOf(*form), "LBFile")
              ->findItems(QStringLiteral("caf\u00e9.htm"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    selectOnly(widget<QListWidget>(folderPageOf(*form), "LBFile")->row(found.first()));
    ASSERT_EQ(form->currentFile(), sitePath("caf\xe9.htm"));

    form->runContextMenuItem(app::FirstLaunch);
    EXPECT_EQ(recordedArguments(tools), (QList<QByteArray> { "-n", page }));

    UrlRecorder opener;
    form->runContextMenuItem(app::ViewInDefaultBrowser);
    EXPECT_EQ(opener.opened,
        QList<QByteArray> {
            "file://" + QFile::encodeName(site.path()).toPercentEncoding("/") + "/caf%E9.htm" });

    // "Jump to Folder" finds a folder of such a name too.
    const QByteArray folder = QFile::encodeName(site.path()) + "/r\xe9p";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    selectListEntry(site.path() + QStringLiteral("/r\u00e9p/"));
    form->runContextMenuItem(app::JumpToFolder);
    EXPECT_EQ(dialogs.texts(QStringLiteral("info")), QStringList());
    EXPECT_EQ(form->currentFolder(), site.path() + QStringLiteral("/r\u00e9p"));
}

// Qt sends a hovering hint's event to a list's viewport, which has no hint of its own: the
// list's hint must show all the same, and none once "Show Hints" is off.
TEST_F(OptionsTest, ListHintsShowOverTheirEntries)
{
    startInSite();
    struct Row {
        const char *list;
        int tab;
        const char *hint;
    };
    const Row rows[] = {
        { "LBFile", kFolderTab, "[Right Mouse Button] = PopUp , [DEL] = Delete File" },
        { "LVThumbs", kThumbsTab, "[Right Mouse Button] = PopUp , [DEL] = Delete File" },
        { "ELVReport", kListsTab,
            "[Right Mouse Button] = PopUp, [Shift-Click] [Ctrl-Click] = Select/unselect" },
    };
    const auto hintOver = [this](const Row &row) {
        widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(row.tab);
        QWidget *viewport = widget<QAbstractItemView>(form, row.list)->viewport();
        QToolTip::hideText();
        const QPoint at = viewport->rect().center();
        QHelpEvent hover(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &hover);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    for (const Row &row : rows)
        EXPECT_EQ(hintOver(row), QString::fromLatin1(row.hint)) << row.list;

    whenShown<app::GeneralOptionsDialog>([](app::GeneralOptionsDialog *options) {
        widget<QCheckBox>(options, "CBHints")->setChecked(false);
        widget<QPushButton>(options, "BOK")->click();
    });
    form->showGeneralOptions();
    for (const Row &row : rows)
        EXPECT_EQ(hintOver(row), QString()) << row.list << " with hints off";
}

TEST_F(OptionsTest, HelpAndAboutWindows)
{
    start();
    writeFile(program.filePath(QStringLiteral("HELP/index.htm")),
        "<html><body style='background:#00ff00'>help</body></html>");
    form->showHelp();
    app::HelpWindow *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *h = qobject_cast<app::HelpWindow *>(w))
            found = h;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->windowTitle(), QStringLiteral("Folioscope - Help"));
    EXPECT_TRUE(found->view()->currentFile().endsWith(QStringLiteral("HELP/index.htm")));
    QPointer<app::HelpWindow> guard(found);
    QTest::keyClick(found, Qt::Key_Escape);
    QTest::qWait(10);
    EXPECT_TRUE(guard.isNull()); // released when closed

    app::AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About -  Folioscope v1.0 "));
    EXPECT_TRUE(about.aboutText()->isReadOnly());
}
