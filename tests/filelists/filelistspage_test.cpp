#include "filelists/filelistspage.h"
#include "filelists/listnamedialog.h"
#include "filelists/reportdialog.h"
#include "filelists/reportmodel.h"
#include "filelists/searchdialog.h"
#include "scan/listfile.h"
#include "support/scripteddialogs.h"
#include "support/standinframe.h"

#include <QCheckBox>
#include <QColor>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "scan/listtestutil.h"
#include "support/widgetbyname.h"

using listtest::u8;
using listtest::writeBytes;

using filelists::FileListsPage;
using filelists::ListNameDialog;

namespace {

// The answer in the list-name dialog: a name (empty keeps the proposal) and which entries.
std::function<void(QDialog &)> saveAs(
    const QString &name = {}, ListNameDialog::Choice choice = ListNameDialog::AllEntries)
{
    return [name, choice](QDialog &dialog) {
        auto &form = dynamic_cast<ListNameDialog &>(dialog);
        if (!name.isEmpty())
            widget<QLineEdit>(&form, "EFname")->setText(name);
        QRadioButton *buttons[] = { widget<QRadioButton>(&form, "RBAll"),
            widget<QRadioButton>(&form, "RBSel"), widget<QRadioButton>(&form, "RBUnSel") };
        buttons[choice]->setChecked(true);
        widget<QPushButton>(&form, "BOK")->click();
    };
}

std::function<void(QDialog &)> cancel()
{
    return [](QDialog &dialog) { dialog.reject(); };
}

std::function<void(QDialog &)> startSearch(bool subfolders, bool add)
{
    return [subfolders, add](QDialog &dialog) {
        auto &form = dynamic_cast<filelists::SearchDialog &>(dialog);
        widget<QCheckBox>(&form, "CBIncludeSub")->setChecked(subfolders);
        widget<QCheckBox>(&form, "CBAdd")->setChecked(add);
        widget<QPushButton>(&form, "BStart")->click();
    };
}

// A program folder with its lists folder, a site to search, and the page in a stand-in frame.
class ListsPageTest : public ::testing::Test
{
protected:
    ListsPageTest()
        : frame(QDir::toNativeSeparators(program.path()) + QDir::separator())
        , page(frame)
    {
        QDir().mkpath(listsFolder());
        frame.page = &page;
        frame.folder = sitePath(QString());
        page.fillSavedLists();
    }

    QString listsFolder() const
    {
        return frame.programFolder() + u8("FILELISTS") + QDir::separator();
    }
    // A native path below the site; an empty name gives the site folder itself.
    QString sitePath(const QString &name) const
    {
        return QDir::toNativeSeparators(name.isEmpty() ? site.path() : site.filePath(name));
    }
    void makeSiteFile(const QString &name, int size = 1)
    {
        writeBytes(site.filePath(name), QByteArray(size, 'x'));
    }
    QString recordOf(const QString &name) const
    {
        const QFileInfo info(site.filePath(name));
        return scan::MakeListRecord(QDir::toNativeSeparators(info.path()), info);
    }
    void writeList(const QString &name, const QStringList &records)
    {
        QString error;
        ASSERT_TRUE(scan::writeListFile(listsFolder() + name, records, &error));
        page.fillSavedLists();
    }
    void selectSavedLists(const QStringList &names)
    {
        widget<QListWidget>(&page, "LBListen")->clearSelection();
        for (const QString &name : names) {
            const auto found
                = widget<QListWidget>(&page, "LBListen")->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            found.first()->setSelected(true);
            widget<QListWidget>(&page, "LBListen")
                ->setCurrentItem(found.first(), QItemSelectionModel::NoUpdate);
        }
    }
    void loadList(const QString &name)
    {
        selectSavedLists({ name });
        page.openList();
    }
    QStringList shownPaths() const
    {
        QStringList paths;
        for (const scan::ListEntry &entry : page.model()->entries())
            paths.append(entry.path());
        return paths;
    }
    void selectRows(const QList<int> &rows)
    {
        widget<QTreeView>(&page, "ELVReport")->clearSelection();
        for (int row : rows)
            widget<QTreeView>(&page, "ELVReport")
                ->selectionModel()
                ->select(page.model()->index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QTemporaryDir program;
    QTemporaryDir site;
    ScriptedDialogs ui;
    StandInFrame frame;
    FileListsPage page;
};

} // namespace

TEST_F(ListsPageTest, SavedListsAndTheirButtons)
{
    writeList(u8("b.lst"), {});
    writeList(u8("A.lst"), {});
    writeBytes(listsFolder() + u8("other.txt"), "");
    page.fillSavedLists();
    ASSERT_EQ(widget<QListWidget>(&page, "LBListen")->count(), 2);
    EXPECT_EQ(widget<QListWidget>(&page, "LBListen")->item(0)->text(), u8("A.lst"));

    struct Row {
        QStringList selected;
        bool load, remove, merge;
    };
    for (const Row &row :
        { Row { {}, false, false, false }, Row { { u8("A.lst") }, true, true, false },
            Row { { u8("A.lst"), u8("b.lst") }, false, false, true } }) {
        SCOPED_TRACE(row.selected.join(u8(",")).toStdString());
        selectSavedLists(row.selected);
        EXPECT_EQ(widget<QPushButton>(&page, "BLoadList")->isEnabled(), row.load);
        EXPECT_EQ(widget<QPushButton>(&page, "BDeleteList")->isEnabled(), row.remove);
        EXPECT_EQ(widget<QPushButton>(&page, "BMergeList")->isEnabled(), row.merge);
    }
    // Leaving the box for another control disables all three; coming back restores them.
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget<QListWidget>(&page, "LBListen"), &out);
    EXPECT_FALSE(widget<QPushButton>(&page, "BMergeList")->isEnabled());
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(widget<QListWidget>(&page, "LBListen"), &in);
    EXPECT_TRUE(widget<QPushButton>(&page, "BMergeList")->isEnabled());
    // The list's own buttons follow its entries and saved state.
    EXPECT_FALSE(widget<QPushButton>(&page, "BSelectAllRows")->isEnabled());
    EXPECT_FALSE(widget<QPushButton>(&page, "BTakeOut")->isEnabled());
    EXPECT_FALSE(widget<QPushButton>(&page, "BSaveList")->isEnabled());
    EXPECT_EQ(page.selectionCounts().page, &page);
    EXPECT_EQ(page.currentFile(), QString());
}

TEST_F(ListsPageTest, LoadingAnUnchangedListAsksNothing)
{
    makeSiteFile(u8("index.htm"));
    makeSiteFile(u8("about.htm"));
    writeList(u8("site.lst"), { recordOf(u8("index.htm")), recordOf(u8("about.htm")) });
    loadList(u8("site.lst"));
    EXPECT_TRUE(ui.calls.isEmpty());
    EXPECT_EQ(shownPaths(), QStringList({ sitePath(u8("index.htm")), sitePath(u8("about.htm")) }));
    EXPECT_EQ(widget<QLabel>(&page, "PanelTreeTop")->text(), u8(" Files found in \"site.lst\":"));
    EXPECT_EQ(page.currentListFile(), listsFolder() + u8("site.lst"));
    EXPECT_TRUE(page.isSaved());
    EXPECT_FALSE(widget<QPushButton>(&page, "BSaveList")->isEnabled());
    EXPECT_TRUE(widget<QPushButton>(&page, "BTakeOut")->isEnabled());
    // The thin bar was stepped and ends at 0.
    ASSERT_FALSE(frame.listProgress.isEmpty());
    EXPECT_EQ(frame.listProgress.last(), 0);
    // The date column shows its dates whole.
    const QString date = widget<QTreeView>(&page, "ELVReport")
                             ->model()
                             ->index(0, scan::DateColumn)
                             .data()
                             .toString();
    ASSERT_FALSE(date.isEmpty());
    EXPECT_GE(widget<QTreeView>(&page, "ELVReport")->header()->sectionSize(scan::DateColumn),
        widget<QTreeView>(&page, "ELVReport")->fontMetrics().horizontalAdvance(date));
}

TEST_F(ListsPageTest, AFileThatGrewIsUpdatedAndReported)
{
    makeSiteFile(u8("index.htm"), 10);
    makeSiteFile(u8("grown.htm"), 10);
    const QString old = recordOf(u8("grown.htm"));
    makeSiteFile(u8("grown.htm"), 5000);
    writeList(u8("site.lst"), { recordOf(u8("index.htm")), old });

    QString report;
    ui.dialogScripts.append([&](QDialog &dialog) {
        auto &form = dynamic_cast<ListNameDialog &>(dialog);
        EXPECT_TRUE(widget<QPushButton>(&form, "BShow")->isVisibleTo(&form));
        EXPECT_EQ(widget<QLabel>(&form, "Memo1")->text(),
            u8("Loaded list contains 2 entries.\n\n0 orphaned file entries removed from list\n"
               "1 file entries updated\n\nSave updated list before continue?"));
        EXPECT_EQ(widget<QLineEdit>(&form, "EFname")->text(), u8("site.lst"));
        widget<QPushButton>(&form, "BShow")->click();
        form.reject();
    });
    ui.dialogScripts.append([&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), u8("Verification Report"));
        report = widget<QPlainTextEdit>(&dynamic_cast<filelists::ReportDialog &>(dialog), "Memo1")
                     ->toPlainText();
        dialog.accept();
    });
    loadList(u8("site.lst"));
    EXPECT_EQ(report, u8("Updated:  ") + sitePath(u8("grown.htm")));
    EXPECT_EQ(page.model()->entry(1).size, u8("5000"));
    EXPECT_FALSE(page.isSaved());
    EXPECT_TRUE(widget<QPushButton>(&page, "BSaveList")->isEnabled());
    // Without a verification the button stays hidden.
    ui.dialogScripts.append([](QDialog &dialog) {
        EXPECT_FALSE(widget<QPushButton>(&dynamic_cast<ListNameDialog &>(dialog), "BShow")
                         ->isVisibleTo(&dialog));
        dialog.reject();
    });
    page.saveList();
    EXPECT_EQ(ui.count(u8("dialog")), 3);
}

TEST_F(ListsPageTest, ListsWhoseEntriesAllVanished)
{
    struct Row {
        const char *name;
        QByteArray bytes;
    };
    const Row rows[] = {
        { "files gone", "/nowhere/*a*.htm*1*d\r\n/nowhere/*b*.htm*1*d\r\n" },
        { "fewer than five fields", "/nowhere/\r\njust text\r\n" },
        { "binary garbage", QByteArray("\x00\x01\xff\xfe*\x7f\r\r\n\x80\x81", 11) },
        { "CR-only line ends", "/nowhere/*a*.htm*1*d\r/nowhere/*b*.htm*1*d\r" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ui.calls.clear();
        writeBytes(listsFolder() + u8("gone.lst"), row.bytes);
        page.fillSavedLists();
        loadList(u8("gone.lst"));
        EXPECT_EQ(
            ui.texts(u8("info")), QStringList { u8("No more valid entries left in this list!") });
        EXPECT_EQ(ui.count(u8("dialog")), 0);
        EXPECT_EQ(page.model()->rowCount(), 0);
    }
}

TEST_F(ListsPageTest, AListThatCannotBeReadChangesNothing)
{
    makeSiteFile(u8("index.htm"));
    writeList(u8("site.lst"), { recordOf(u8("index.htm")) });
    writeList(u8("vanishing.lst"), { recordOf(u8("index.htm")) });
    loadList(u8("site.lst"));
    selectSavedLists({ u8("vanishing.lst") });
    QFile::remove(listsFolder() + u8("vanishing.lst"));
    page.openList();
    ASSERT_EQ(ui.count(u8("error")), 1);
    EXPECT_TRUE(ui.texts(u8("error")).first().contains(u8("vanishing.lst")));
    EXPECT_EQ(page.currentListFile(), listsFolder() + u8("site.lst"));
    EXPECT_EQ(page.model()->rowCount(), 1);
}

TEST_F(ListsPageTest, TypedListNames)
{
    makeSiteFile(u8("index.htm"));
    struct Row {
        const char *typed;
        const char *file; // what lands in the lists folder, or nullptr
        const char *error; // the error box, or nullptr
    };
    const Row rows[] = {
        { "site.LST", "site.LST", nullptr },
        { ".site.", "site.lst", nullptr },
        { "  plain  ", "plain.lst", nullptr },
        { "a/b", nullptr, "Invalid Filename: a/b" },
        { "what?", nullptr, "Invalid Filename: what?" },
        { "..", nullptr, "Invalid Filename: .." },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        ui.calls.clear();
        frame.folder = sitePath(QString());
        ui.dialogScripts.append(startSearch(false, false));
        // A refused name keeps the dialog open; the script then cancels it.
        ui.dialogScripts.append([&row](QDialog &dialog) {
            saveAs(u8(row.typed))(dialog);
            if (dialog.isVisible())
                dialog.reject();
        });
        page.searchFiles();
        if (row.file) {
            EXPECT_TRUE(QFileInfo::exists(listsFolder() + u8(row.file)));
            EXPECT_EQ(page.currentListFile(), listsFolder() + u8(row.file));
            EXPECT_EQ(widget<QLabel>(&page, "PanelTreeTop")->text(), scan::ListTitle(u8(row.file)));
            EXPECT_TRUE(page.isSaved());
        } else {
            EXPECT_EQ(ui.texts(u8("error")), QStringList { u8(row.error) });
            EXPECT_EQ(ui.count(u8("beep")), 1);
            EXPECT_TRUE(page.currentListFile().isEmpty());
        }
    }
}

TEST_F(ListsPageTest, WhichEntriesAreSaved)
{
    for (const char *name : { "a.htm", "b.htm", "c.htm" })
        makeSiteFile(u8(name));
    writeList(
        u8("site.lst"), { recordOf(u8("a.htm")), recordOf(u8("b.htm")), recordOf(u8("c.htm")) });
    struct Row {
        const char *name;
        QList<int> selected;
        ListNameDialog::Choice choice;
        QStringList saved; // empty: "Nothing to save!"
    };
    const Row rows[] = {
        { "all", { 1 }, ListNameDialog::AllEntries, { u8("a.htm"), u8("b.htm"), u8("c.htm") } },
        { "selected", { 0, 2 }, ListNameDialog::SelectedEntries, { u8("a.htm"), u8("c.htm") } },
        { "unselected", { 0, 2 }, ListNameDialog::UnselectedEntries, { u8("b.htm") } },
        { "none selected", {}, ListNameDialog::SelectedEntries, {} },
        { "all selected, unselected only", { 0, 1, 2 }, ListNameDialog::UnselectedEntries, {} },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ui.calls.clear();
        loadList(u8("site.lst"));
        selectRows(row.selected);
        ui.dialogScripts.append(saveAs(u8("out.lst"), row.choice));
        QFile::remove(listsFolder() + u8("out.lst"));
        page.saveList();
        QStringList records;
        for (const QString &name : row.saved)
            records.append(recordOf(name));
        if (records.isEmpty()) {
            EXPECT_EQ(ui.texts(u8("info")), QStringList { u8("Nothing to save!") });
            EXPECT_FALSE(QFileInfo::exists(listsFolder() + u8("out.lst")));
        } else {
            EXPECT_EQ(fileBytes(listsFolder() + u8("out.lst")), scan::listFileBytes(records));
        }
    }
    // The prompt of "Save List" and the proposed name of a list that has none.
    page.model()->clear();
    ui.calls.clear();
    page.saveReportToFile(u8("x"));
    EXPECT_EQ(ui.texts(u8("info")), QStringList { u8("Nothing to save!") });
}

TEST_F(ListsPageTest, AFailedSaveKeepsTheOldListAndSaysSo)
{
    makeSiteFile(u8("a.htm"));
    makeSiteFile(u8("b.htm"));
    writeList(u8("site.lst"), { recordOf(u8("a.htm")) });
    const QByteArray before = fileBytes(listsFolder() + u8("site.lst"));
    loadList(u8("site.lst"));
    ui.dialogScripts.append(startSearch(false, true));
    ui.dialogScripts.append(cancel());
    page.searchFiles();
    ASSERT_EQ(page.model()->rowCount(), 2);
    ASSERT_FALSE(page.isSaved());

    QFile::setPermissions(listsFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    ui.calls.clear();
    ui.dialogScripts.append(saveAs());
    page.saveList();
    QFile::setPermissions(
        listsFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (ui.count(u8("error")) == 0)
        GTEST_SKIP() << "root writes into a read-only folder";
    EXPECT_EQ(ui.texts(u8("error")),
        QStringList { u8("Invalid Filename: ") + listsFolder() + u8("site.lst") });
    EXPECT_EQ(ui.count(u8("beep")), 1);
    EXPECT_EQ(fileBytes(listsFolder() + u8("site.lst")), before);
    EXPECT_EQ(
        QDir(listsFolder()).entryList(QDir::Files | QDir::Hidden), QStringList { u8("site.lst") });
    EXPECT_FALSE(page.isSaved());
    EXPECT_EQ(page.currentListFile(), listsFolder() + u8("site.lst"));
}

// Root writes into read-only folders; a folder in the way of the list fails for everyone.
TEST_F(ListsPageTest, ASaveOverAFolderFails)
{
    makeSiteFile(u8("a.htm"));
    ASSERT_TRUE(QDir(listsFolder()).mkdir(u8("taken.lst")));
    ui.dialogScripts.append(startSearch(false, false));
    ui.dialogScripts.append(saveAs(u8("taken")));
    page.searchFiles();
    EXPECT_EQ(ui.texts(u8("error")),
        QStringList { u8("Invalid Filename: ") + listsFolder() + u8("taken.lst") });
    EXPECT_TRUE(QFileInfo(listsFolder() + u8("taken.lst")).isDir());
    EXPECT_EQ(QDir(listsFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { u8("taken.lst") });
    EXPECT_TRUE(page.currentListFile().isEmpty());
    EXPECT_FALSE(page.isSaved());
    EXPECT_TRUE(widget<QPushButton>(&page, "BSaveList")->isEnabled());
}

TEST_F(ListsPageTest, DeletingListFiles)
{
    makeSiteFile(u8("a.htm"));
    writeList(u8("site.lst"), { recordOf(u8("a.htm")) });
    writeList(u8("other.lst"), {});
    loadList(u8("site.lst"));

    selectSavedLists({ u8("site.lst"), u8("other.lst") });
    page.deleteList();
    EXPECT_EQ(ui.count(u8("beep")), 1);
    EXPECT_EQ(ui.count(u8("yesnocancel")), 0);

    for (platform::Answer answer : { platform::Answer::No, platform::Answer::Cancel }) {
        selectSavedLists({ u8("site.lst") });
        ui.answers = { answer };
        page.deleteList();
        EXPECT_TRUE(QFileInfo::exists(listsFolder() + u8("site.lst")));
    }
    selectSavedLists({ u8("site.lst") });
    ui.answers = { platform::Answer::Yes };
    frame.values.useRecycleBin = true;
    page.deleteList();
    EXPECT_EQ(ui.texts(u8("yesnocancel")).last(),
        u8("Delete List File \"") + listsFolder() + u8("site.lst\" from disk?"));
    EXPECT_FALSE(QFileInfo::exists(listsFolder() + u8("site.lst")));
    EXPECT_FALSE(frame.values.useRecycleBin);
    EXPECT_EQ(page.model()->rowCount(), 0);
    EXPECT_TRUE(page.currentListFile().isEmpty());
    EXPECT_EQ(widget<QLabel>(&page, "PanelTreeTop")->text(),
        u8("Open a file list, or click \"Search Files\" ..."));
    EXPECT_EQ(widget<QListWidget>(&page, "LBListen")->count(), 1);
}

TEST_F(ListsPageTest, SearchFindsWhatTheMaskAndTheFolderRulesAllow)
{
    for (const char *name :
        { "index.htm", "old/a.html", "old/deep/b.htm", "_vti_cnf/c.htm", "pic.jpg", ".hidden.htm" })
        makeSiteFile(u8(name));
    ui.dialogScripts.append([&](QDialog &dialog) {
        EXPECT_EQ(
            widget<QLabel>(&dynamic_cast<filelists::SearchDialog &>(dialog), "Label1")->text(),
            u8("\nSearch for:\n*.htm\nin folder:\n\"") + sitePath({}) + u8("\""));
        startSearch(true, false)(dialog);
    });
    ui.dialogScripts.append(cancel());
    page.searchFiles();
    QStringList found = shownPaths();
    found.sort();
    EXPECT_EQ(found,
        QStringList({ sitePath(u8("index.htm")), sitePath(u8("old/a.html")),
            sitePath(u8("old/deep/b.htm")) }));
    EXPECT_EQ(
        ui.texts(u8("dialog")), QStringList({ u8("Search Files"), u8("Save File List (*.lst)") }));
    EXPECT_EQ(widget<QLabel>(page.listNameDialog(), "Memo1")->text(),
        u8("\nSearch finished.\n3 unique entries in list.\n3 new entries added.\nSave results?"));
    EXPECT_EQ(widget<QLineEdit>(page.listNameDialog(), "EFname")->text(), u8("(newlist1).lst"));
    EXPECT_EQ(widget<QLabel>(&page, "PanelTreeTop")->text(), scan::ListTitle(sitePath({})));
    EXPECT_TRUE(widget<QPushButton>(&page, "BSaveList")->isEnabled());

    // Adding the same search again finds nothing new; the list stays as it was.
    ui.calls.clear();
    ui.dialogScripts.append(startSearch(true, true));
    page.searchFiles();
    EXPECT_EQ(
        ui.texts(u8("info")), QStringList { u8("No new entries to add ...\n\n") + sitePath({}) });
    EXPECT_EQ(page.model()->rowCount(), 3);

    // One folder only, nothing matching.
    ui.calls.clear();
    frame.mask = u8("*.asp");
    ui.dialogScripts.append(startSearch(false, false));
    page.searchFiles();
    EXPECT_EQ(ui.texts(u8("info")),
        QStringList { u8("No matching files found in folder:\n\n") + sitePath({}) });
    EXPECT_EQ(page.model()->rowCount(), 3);

    // Cancel in the search dialog does nothing; the choices keep their state.
    ui.calls.clear();
    ui.dialogScripts.append(cancel());
    page.searchFiles();
    EXPECT_EQ(ui.calls.size(), 1);
    EXPECT_FALSE(widget<QCheckBox>(page.searchDialog(), "CBIncludeSub")->isChecked());
}

TEST_F(ListsPageTest, SearchAddsToTheListAndCountsTheNewOnes)
{
    makeSiteFile(u8("a.htm"));
    writeList(u8("site.lst"), { recordOf(u8("a.htm")) });
    loadList(u8("site.lst"));
    makeSiteFile(u8("b.htm"));
    ui.dialogScripts.append(startSearch(false, true));
    ui.dialogScripts.append(cancel());
    page.searchFiles();
    EXPECT_EQ(widget<QLabel>(page.listNameDialog(), "Memo1")->text(),
        u8("\nSearch finished.\n2 unique entries in list.\n1 new entries added.\nSave results?"));
    // Adding keeps the list file; the sorted order follows duplicate removal.
    EXPECT_EQ(widget<QLineEdit>(page.listNameDialog(), "EFname")->text(), u8("site.lst"));
    EXPECT_EQ(shownPaths(), QStringList({ sitePath(u8("a.htm")), sitePath(u8("b.htm")) }));
}

// A list line cannot hold a line break: such a name stays out, and the hint line says so.
TEST_F(ListsPageTest, SearchLeavesOutNamesWithALineBreak)
{
    makeSiteFile(u8("a.htm"));
    makeSiteFile(u8("new\nline.htm"));
    ui.dialogScripts.append(startSearch(false, false));
    ui.dialogScripts.append(cancel());
    page.searchFiles();
    EXPECT_EQ(shownPaths(), QStringList({ sitePath(u8("a.htm")) }));
    EXPECT_TRUE(frame.hintLine.contains(u8("1 file name(s) with a line break left out")))
        << frame.hintLine.toStdString();
}

TEST_F(ListsPageTest, MergeJoinsListsWithoutDuplicates)
{
    for (const char *name : { "a.htm", "b.htm", "c.htm" })
        makeSiteFile(u8(name));
    writeList(u8("a.lst"), { recordOf(u8("b.htm")), recordOf(u8("a.htm")) });
    writeList(u8("b.lst"), { recordOf(u8("c.htm")), recordOf(u8("a.htm")) });
    selectSavedLists({ u8("b.lst"), u8("a.lst") });

    ui.answers = { platform::Answer::No };
    page.mergeLists();
    EXPECT_EQ(ui.texts(u8("yesno")),
        QStringList { u8("Merge following list files?:\n  a.lst\n  b.lst\n\n(Note: Duplicates will "
                         "be detected)") });
    EXPECT_EQ(page.model()->rowCount(), 0);

    ui.answers = { platform::Answer::Yes };
    ui.dialogScripts.append(cancel());
    page.mergeLists();
    EXPECT_EQ(shownPaths(),
        QStringList({ sitePath(u8("a.htm")), sitePath(u8("b.htm")), sitePath(u8("c.htm")) }));
    EXPECT_EQ(
        widget<QLabel>(&page, "PanelTreeTop")->text(), u8(" Files found in \" a.lst + b.lst \":"));
    EXPECT_EQ(widget<QLabel>(page.listNameDialog(), "Memo1")->text(), u8("\nFilelists merged ..."));
    EXPECT_TRUE(page.currentListFile().isEmpty());
    EXPECT_FALSE(page.isSaved());

    // A list that vanished ends the merge with the reason; the list shown stays.
    selectSavedLists({ u8("b.lst"), u8("a.lst") });
    QFile::remove(listsFolder() + u8("b.lst"));
    ui.calls.clear();
    ui.answers = { platform::Answer::Yes };
    page.mergeLists();
    EXPECT_EQ(ui.count(u8("error")), 1);
    EXPECT_EQ(page.model()->rowCount(), 3);
    EXPECT_EQ(
        widget<QLabel>(&page, "PanelTreeTop")->text(), u8(" Files found in \" a.lst + b.lst \":"));
}

TEST_F(ListsPageTest, AddTakesPickedFilesFromTheFirstOnesFolder)
{
    makeSiteFile(u8("index.htm"));
    makeSiteFile(u8("INDEX.HTM"));
    makeSiteFile(u8(".hidden.htm"));
    writeList(u8("site.lst"), { recordOf(u8("index.htm")) });
    loadList(u8("site.lst"));

    ui.paths = { QStringList({ site.filePath(u8("INDEX.HTM")), site.filePath(u8("gone.htm")),
                                 site.filePath(u8(".hidden.htm")) })
                     .join(u8("\n")) };
    ui.dialogScripts.append(cancel());
    page.addFiles();
    EXPECT_EQ(widget<QLabel>(page.listNameDialog(), "Memo1")->text(),
        u8("\n1 new entries added.\nSave results?"));
    EXPECT_EQ(page.model()->rowCount(), 2);
    EXPECT_EQ(page.currentListFile(), listsFolder() + u8("site.lst"));

    ui.calls.clear();
    ui.paths = { site.filePath(u8("index.htm")) };
    page.addFiles();
    EXPECT_EQ(
        ui.texts(u8("info")), QStringList { u8("No new entries to add ...\n\n") + sitePath({}) });

    ui.calls.clear();
    page.addFiles(); // cancelled
    EXPECT_EQ(ui.texts(u8("openmany")).size(), 1);
    EXPECT_EQ(ui.calls.size(), 1);
}

TEST_F(ListsPageTest, KeysTakeOutAndSelectAll)
{
    for (const char *name : { "a.htm", "b.htm", "c.htm" })
        makeSiteFile(u8(name));
    writeList(
        u8("site.lst"), { recordOf(u8("a.htm")), recordOf(u8("b.htm")), recordOf(u8("c.htm")) });
    loadList(u8("site.lst"));
    selectRows({ 1 });
    EXPECT_EQ(page.currentFile(), sitePath(u8("b.htm")));
    EXPECT_EQ(page.entryPath(1, true), sitePath(u8("b.htm")));
    EXPECT_EQ(page.entryPath(0, true), QString());
    EXPECT_EQ(page.entryPath(0, false), sitePath(u8("a.htm")));
    EXPECT_EQ(page.entryPath(3, false), QString());

    frame.requests.clear();
    QTest::keyClick(widget<QTreeView>(&page, "ELVReport"), Qt::Key_Return);
    EXPECT_TRUE(frame.requests.contains(u8("DblClickForAll")));

    QTest::keyClick(widget<QTreeView>(&page, "ELVReport"), Qt::Key_Delete);
    EXPECT_EQ(shownPaths(), QStringList({ sitePath(u8("a.htm")), sitePath(u8("c.htm")) }));
    EXPECT_FALSE(page.isSaved());
    EXPECT_TRUE(widget<QPushButton>(&page, "BSaveList")->isEnabled());

    QTest::keyClick(widget<QTreeView>(&page, "ELVReport"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(page.selectionCounts().selected, 2);
    EXPECT_EQ(page.currentFile(), QString());
    EXPECT_FALSE(frame.miniThumbs.isEmpty());

    page.takeOutFiles();
    EXPECT_EQ(page.model()->rowCount(), 0);
    EXPECT_FALSE(widget<QPushButton>(&page, "BTakeOut")->isEnabled());
    EXPECT_FALSE(widget<QPushButton>(&page, "BSelectAllRows")->isEnabled());
    // Delete on an empty list does nothing.
    QTest::keyClick(widget<QTreeView>(&page, "ELVReport"), Qt::Key_Delete);
    EXPECT_EQ(page.model()->rowCount(), 0);
}

TEST_F(ListsPageTest, HeaderClicksSortAndReverse)
{
    makeSiteFile(u8("Index.htm"), 900);
    makeSiteFile(u8("big.htm"), 10000);
    makeSiteFile(u8("small.htm"), 5);
    writeList(u8("site.lst"),
        { recordOf(u8("big.htm")), recordOf(u8("Index.htm")), recordOf(u8("small.htm")) });
    loadList(u8("site.lst"));
    selectRows({ 0 }); // big.htm: the selection follows its entry

    const auto sizes = [&] {
        QStringList values;
        for (const scan::ListEntry &entry : page.model()->entries())
            values.append(entry.size);
        return values;
    };
    const int sizeSection = scan::SizeColumn;
    widget<QTreeView>(&page, "ELVReport")->header()->sectionClicked(sizeSection);
    EXPECT_EQ(sizes(), QStringList({ u8("5"), u8("900"), u8("10000") }));
    EXPECT_EQ(widget<QTreeView>(&page, "ELVReport")->header()->sortIndicatorSection(), sizeSection);
    EXPECT_EQ(
        widget<QTreeView>(&page, "ELVReport")->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(page.currentFile(), sitePath(u8("big.htm")));
    widget<QTreeView>(&page, "ELVReport")->header()->sectionClicked(sizeSection);
    EXPECT_EQ(sizes(), QStringList({ u8("10000"), u8("900"), u8("5") }));
    EXPECT_EQ(
        widget<QTreeView>(&page, "ELVReport")->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(page.currentFile(), sitePath(u8("big.htm")));
    // Another column starts ascending again.
    widget<QTreeView>(&page, "ELVReport")->header()->sectionClicked(scan::NameColumn);
    EXPECT_EQ(
        widget<QTreeView>(&page, "ELVReport")->header()->sortIndicatorOrder(), Qt::AscendingOrder);

    // Start-page names are red; others keep the default colour.
    const filelists::ReportModel &model = *page.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        const QVariant colour = model.data(model.index(row, scan::NameColumn), Qt::ForegroundRole);
        EXPECT_EQ(colour.isValid(), model.entry(row).name == u8("Index")) << row;
        if (colour.isValid()) {
            EXPECT_EQ(colour.value<QColor>(), QColor(Qt::red));
        }
    }
    EXPECT_FALSE(model.data(model.index(0, scan::SizeColumn), Qt::ForegroundRole).isValid());
}

TEST_F(ListsPageTest, ProgressStepsOfALongFill)
{
    QStringList records;
    for (int i = 0; i < 95; ++i)
        records.append(u8("/nowhere/*p%1*.htm*1*d").arg(i));
    writeList(u8("long.lst"), records);
    frame.listProgress.clear();
    loadList(u8("long.lst"));
    // 95 records step every (95 + 1) / 10 + 1 = 10: nine steps, then back to 0.
    ASSERT_GE(frame.listProgress.size(), 10);
    EXPECT_EQ(frame.listProgress.mid(0, 10), QList<int>({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 0 }));
}
