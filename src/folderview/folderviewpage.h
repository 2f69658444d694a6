#pragma once

#include "frame/folderservices.h"
#include "frame/page.h"

#include <QHash>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QToolButton;

namespace frame {
class PageFrame;
}

namespace folderview {

class FileListBox;

// The "Folder View" page: the folder panel beside the pages (drive box, folder list, filter,
// thumbnail corner), the file list, the panel that hosts the borrowed browser or editor, and
// the file operations on the selection. It serves the frame the folder and the panel of
// the borrowed views too.
class FolderViewPage : public QWidget, public frame::Page, public frame::FolderServices
{
    Q_OBJECT

public:
    explicit FolderViewPage(frame::PageFrame &frame, QWidget *parent = nullptr);

    // The folder panel that the frame shows beside its page control.
    QWidget *folderPanel() const override { return m_folderPanel; }

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

    QString currentFolder() const override { return m_currentFolder; }
    QString currentMask() const override { return m_currentMask; }
    QStringList fileNames() const;

    // Start-up: the filter entries from the filter text, the drive box, the first folder.
    void setFilterText(const QString &filterText);
    void fillDriveBox();
    void changeFolder(const QString &folder);

    void jumpToFileAndFolder(const QString &path) override;
    void showMiniThumb(const QString &page) override;
    void clearMiniThumb() override;
    bool isInThumbFolder(const QString &folder) const override;
    int findListIndex(const QString &fileName) const;
    void rereadFileList();
    void applyFileIcons() override;
    void deleteSelectedFiles();
    void copySelectedFiles();
    void handleDroppedFiles(const QStringList &paths) override;

    QWidget *viewsPanel() const override { return browserPanel_; }
    // Where the borrowed browser or editor goes; the placeholder shows while none is there.
    void showInBrowserPanel(QWidget *borrowed) override;
    bool browserSwitchDown() const override;
    void setSaveButtons(bool saveEnabled, bool saveAsEnabled) override;
    bool saveEnabled() const override;
    void showSavedCopy(const QString &path) override;

Q_SIGNALS:
    // The file list was read again: the thumbnail page mirrors it.
    void fileListChanged(const QString &folder, const QStringList &names);
    // "Browser" or "Editor" was pressed.
    void viewSwitchClicked();
    // The save buttons act on the borrowed editor, which the frame lends.
    void saveClicked();
    void saveAsClicked();
    void miniThumbDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFolderPanel();
    void buildFileTab();
    void connectControls();

    // The editor's unsaved changes are saved or dropped before the folder or the filter
    // changes; false for Cancel, which keeps them and the folder as it is.
    bool settleEditsBeforeLeaving();
    void driveChosen(int index);
    void fillFolderList();
    // The folder list and the drive box show the current folder.
    void showFolderPlace();
    void openChosenFolder(QListWidgetItem *item);
    void folderChosen();
    void refuseThumbFolder();
    void fitFolderPanel();
    void fileManagerResized();
    void filterChosen(int index);
    void fileSelectionChanged();
    void afterFileListInteraction();
    // After Yes or No to the question that a new current entry asked.
    void showChosenFile();
    // After Cancel: the list goes back to the file the editor holds.
    void returnToEditedFile();
    bool handleFileListKey(QKeyEvent *event, bool released);
    QString thumbFolder() const;

    frame::PageFrame &m_frame;
    QWidget *m_folderPanel = nullptr;
    QLabel *m_browserPlaceholder = nullptr;
    QButtonGroup *m_viewSwitch = nullptr;
    QString m_currentMask = QStringLiteral("*.htm");
    QString m_currentFolder;
    QStringList m_filterMasks;
    QHash<QString, QString> m_lastFolderOfDrive;
    // Whether the current entry changed, and so the unsaved-changes question was asked,
    // since the last key or button press on the file list.
    bool m_entryChangedSincePress = false;
    // Cancel was the answer since that press: its release must not load the entry.
    bool m_cancelledSincePress = false;
    int m_filterIndex = -1;

    // The controls; their objectNames keep the old names.
    QLabel *folderTitle_ = nullptr;
    QComboBox *driveBox_ = nullptr;
    QListWidget *folderList_ = nullptr;
    QLabel *filterTitle_ = nullptr;
    QComboBox *filterBox_ = nullptr;
    QWidget *miniThumbPanel_ = nullptr;
    QLabel *miniThumb_ = nullptr;
    QLabel *fileTitle_ = nullptr;
    QLabel *filesLabel_ = nullptr;
    FileListBox *fileList_ = nullptr;
    QWidget *browserPanel_ = nullptr;
    QToolButton *browserButton_ = nullptr;
    QToolButton *editorButton_ = nullptr;
    QPushButton *saveAsButton_ = nullptr;
    QPushButton *saveButton_ = nullptr;
};

} // namespace folderview
