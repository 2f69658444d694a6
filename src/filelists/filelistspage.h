#pragma once

#include "frame/configuration.h"
#include "frame/editedfile.h"
#include "frame/entrycommands.h"
#include "frame/folderplace.h"
#include "frame/page.h"
#include "frame/statusline.h"
#include "scan/listrecord.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeView;

namespace filelists {

class ReportModel;
class ListNameDialog;
class SearchDialog;

// The "File Lists" page: the report list of the list being worked on, and the saved lists.
class FileListsPage : public QWidget, public frame::Page
{
    Q_OBJECT

public:
    // What the page asks of the frame that hosts it.
    struct Frame {
        template<class Host>
        Frame(Host &host)
            : status(host)
            , commands(host)
            , folder(host)
            , configuration(host)
            , editedFile(host)
        { }
        frame::StatusLine &status;
        frame::EntryCommands &commands;
        frame::FolderPlace &folder;
        frame::Configuration &configuration;
        frame::EditedFile &editedFile;
    };

    explicit FileListsPage(const Frame &frame, QWidget *parent = nullptr);
    ~FileListsPage() override;

    QString currentFile() const override;
    frame::SelectionCount selectionCounts() const override;
    QString entryPath(int index, bool onlySelected) const override;

    // The "Saved Lists" box shows the list files of the lists folder.
    void fillSavedLists();
    // "Select All", "Take out" and "Save List" by the entries and their saved state.
    void setListButtonState();
    // "Load List", "Delete" and "Merge" by the saved lists selected.
    void listChosen();
    QString title() const override;
    QWidget *widget() override { return this; }
    // Start-up: the saved lists.
    void start() override;
    // Page activation.
    void activate() override;
    bool hostsViews() const override { return false; }
    // Its entries come from any folder: "Jump to Folder" too.
    bool offersContextItem(frame::ContextItem) const override { return true; }
    bool runContextItem(frame::ContextItem) override { return false; }

    void openList();
    void saveList();
    // Asks for a name and which entries to save, and writes the list file. Report lines of a
    // verification make the report reachable from the dialog.
    void saveReportToFile(const QString &prompt, const QStringList &reportLines = {});
    void deleteList();
    void searchFiles();
    void addFiles();
    void mergeLists();
    // "Replace...": find and replace in the list's files (the selected ones when more than
    // one is selected), with a preview; the report list then shows the files changed.
    void replaceInFiles();
    // "Undo Replace": puts back the files of the replace `id`, after a question.
    void undoReplace(const QString &id);
    void takeOutFiles();
    void selectAllRows();
    // Sorts by a column: ascending, or reversed when it is the sort column already.
    void sortByColumn(int column);
    // The work list's records become entries, after the old ones unless `clear`.
    void fillListFromRecords(bool clear);

    QString currentListFile() const { return m_currentListFile; }
    bool isSaved() const { return m_saved; }
    ReportModel *model() const { return m_model; }
    SearchDialog *searchDialog() const { return m_searchDialog; }
    ListNameDialog *listNameDialog() const { return m_listNameDialog; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    QWidget *buildReportSide(QWidget *parent);
    QWidget *buildListsSide(QWidget *parent);
    QMenu *replaceMenu();
    void connectControls();
    void sizeReportColumns();
    bool reportListEvent(QEvent *event);
    bool savedListsEvent(QEvent *event);
    void reportKeyPressed(int key);
    void reportKeyReleased(int key, Qt::KeyboardModifiers modifiers);
    void listsLeft();
    void verifyLoadedList();
    QString listsFolder() const;
    QStringList selectedListNames() const;
    QStringList currentRecords() const;
    std::vector<bool> selectedFlags() const;
    void selectRows(const std::vector<bool> &flags);
    void setTitle(const QString &text);
    // The entries replace the list's, in their own order.
    void showEntries(QList<scan::ListEntry> entries);

    Frame m_frame;
    ReportModel *m_model = nullptr;
    SearchDialog *m_searchDialog = nullptr;
    ListNameDialog *m_listNameDialog = nullptr;
    // The shared buffer of loading, saving, verification and search.
    QStringList m_workList;
    QString m_currentListFile;
    bool m_saved = true;
    int m_sortColumn = -1;
    bool m_sortAscending = true;

    // The controls; their objectNames keep the old names.
    QLabel *m_reportTitle = nullptr;
    QTreeView *m_report = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_selectAllButton = nullptr;
    QPushButton *m_takeOutButton = nullptr;
    QPushButton *m_saveListButton = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QLabel *m_listsTitle = nullptr;
    QListWidget *m_lists = nullptr;
    QPushButton *m_loadListButton = nullptr;
    QPushButton *m_deleteListButton = nullptr;
    QPushButton *m_mergeListButton = nullptr;
};

} // namespace filelists
