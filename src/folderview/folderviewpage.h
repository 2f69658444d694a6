#pragma once

#include "frame/configuration.h"
#include "frame/editedfile.h"
#include "frame/entrycommands.h"
#include "frame/page.h"
#include "frame/pagecontrol.h"
#include "frame/progress.h"
#include "frame/selection.h"
#include "frame/statusline.h"
#include "frame/views.h"

#include <QStringList>
#include <QWidget>

class QKeyEvent;
class QLabel;

namespace folderview {

class FileListBox;
class FolderPanel;
class ViewsDock;

// The "Folder View" page: the file list of the folder that its folder panel shows, the dock
// of the borrowed browser or editor beside it, and the file operations on the selection.
// The folder panel, which the frame shows beside its page control, and the views dock are
// objects of their own that the frame uses directly.
class FolderViewPage : public QWidget, public frame::Page
{
    Q_OBJECT

public:
    // What the page asks of the frame that hosts it.
    struct Frame {
        template<class Host>
        Frame(Host &host)
            : selection(host)
            , status(host)
            , pages(host)
            , progress(host)
            , commands(host)
            , views(host)
            , editedFile(host)
            , configuration(host)
        { }
        frame::SelectionQueries &selection;
        frame::StatusLine &status;
        frame::PageControl &pages;
        frame::Progress &progress;
        frame::EntryCommands &commands;
        frame::Views &views;
        frame::EditedFile &editedFile;
        frame::Configuration &configuration;
    };

    explicit FolderViewPage(const Frame &frame, QWidget *parent = nullptr);

    FolderPanel *folderPanel() const { return m_panel; }
    ViewsDock *viewsDock() const { return m_dock; }

    // Selection queries of this page's file list.
    QString currentFile() const override;
    frame::SelectionCount selectionCounts() const override;
    QString entryPath(int index, bool onlySelected) const override;

    // The page.
    QString title() const override;
    QWidget *widget() override { return this; }
    void start() override;
    // Page activation: the folder labels follow the folder list from now on.
    void activate() override;
    bool hostsViews() const override { return true; }
    bool offersContextItem(frame::ContextItem item) const override;
    // "Copy file(s) to" and "Jump to Folder".
    bool runContextItem(frame::ContextItem item) override;

    QStringList fileNames() const;
    // Opens a folder in the panel and lists its files.
    void changeFolder(const QString &folder);

    // Opens the folder of the path and selects the file.
    void jumpToFileAndFolder(const QString &path);
    int findListIndex(const QString &fileName) const;
    void rereadFileList();
    // General Options changed the file icons setting.
    void applyFileIcons();
    void deleteSelectedFiles();
    void copySelectedFiles();
    void handleDroppedFiles(const QStringList &paths);
    // "Save As" wrote a copy into the current folder: the list is read again and the copy
    // selected in it.
    void showSavedCopy(const QString &path);

Q_SIGNALS:
    // The file list was read again: the thumbnail page mirrors it.
    void fileListChanged(const QString &folder, const QStringList &names);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFileTab();
    void connectControls();

    // The editor's unsaved changes are saved or dropped before the folder or the filter
    // changes; false for Cancel, which keeps them and the folder as it is.
    bool settleEditsBeforeLeaving();
    void folderChanged();
    void maskChanged();
    void folderChosen();
    void refuseThumbFolder();
    void fileSelectionChanged();
    void afterFileListInteraction();
    // After Yes or No to the question that a new current entry asked.
    void showChosenFile();
    // After Cancel: the list goes back to the file the editor holds.
    void returnToEditedFile();
    bool handleFileListKey(QKeyEvent *event, bool released);

    Frame m_frame;
    FolderPanel *m_panel = nullptr;
    ViewsDock *m_dock = nullptr;
    // Whether the current entry changed, and so the unsaved-changes question was asked,
    // since the last key or button press on the file list.
    bool m_entryChangedSincePress = false;
    // Cancel was the answer since that press: its release must not load the entry.
    bool m_cancelledSincePress = false;

    // The controls; their objectNames keep the old names.
    QLabel *m_fileTitle = nullptr;
    QLabel *m_filesLabel = nullptr;
    FileListBox *m_fileList = nullptr;
};

} // namespace folderview
