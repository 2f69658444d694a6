#pragma once

#include "formatter/style.h"
#include "frame/datafolders.h"
#include "frame/page.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotoptionsdialog.h"

#include <QMainWindow>

#include <vector>

class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;

namespace folderview {
class FolderPanel;
class FolderViewPage;
class ViewsDock;
} // namespace folderview

namespace frame {
class ProgressWindow;
}

namespace kit {
class HintFilter;
}

namespace viewer {
class ViewerWindow;
}

namespace app {

class ContextMenu;

// The main window: the frame of the program. It holds the menus, the hint line, the page
// control with its pages, the settings, and the borrowed browser or editor; the selection
// queries answer for the active page. It implements every interface of the frame.
class MainWindow : public QMainWindow, public frame::PageFrame
{
    Q_OBJECT

public:
    // programDir is the executable's folder; arguments are the command-line parameters
    // without the program name.
    MainWindow(const QString &programDir, const QStringList &arguments, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The viewer window lives beside the main window for the whole run.
    void setViewer(viewer::ViewerWindow *view);
    void setProgressWindow(frame::ProgressWindow *progress) { m_progress = progress; }
    viewer::ViewerWindow *viewer() const { return m_viewer; }

    // The pages in the order of their tabs.
    const std::vector<frame::Page *> &pages() const { return m_pages; }

    QString programFolder() const { return m_programFolder; }
    QString thumbFolder() const { return frame::thumbFolderOf(m_dataFolder); }
    QString listsFolder() const { return frame::listsFolderOf(m_dataFolder); }
    const frame::Settings &settings() const { return m_settings; }
    // The formatter style and trim table, loaded once when the window is first shown.
    const formatter::Style &style() const { return m_style; }
    bool isViewerOpen() const { return m_viewerOpen; }
    // The program became the active application again: the editor's file may have changed.
    void applicationActivated();

    // "&Create Snapshot(s)".
    void createSnapshots();
    const snapshot::SnapshotJob &snapshotJob() const { return m_snapshotJob; }

    void dockView(const QString &control, const QString &target);
    void showBrowser();
    void handleDroppedFiles(const QStringList &paths);

    // Runs the steps of the first activation; later activations only refresh.
    void handleActivation();

    // The menu items' handlers.
    void showGeneralOptions();
    void showHelp();
    void prepareContextMenu();
    void runContextMenuItem(int position);

    // --- The frame's interfaces --------------------------------------------------------

    // Selection queries of the active page.
    QString currentFile() const override { return activePage()->currentFile(); }
    frame::SelectionCount selectionCounts() const override
    {
        return activePage()->selectionCounts();
    }
    QString entryPath(int index, bool onlySelected) const override
    {
        return activePage()->entryPath(index, onlySelected);
    }

    // Status line.
    void setHintLine(const QString &text) override;
    void updateStatus() override;
    void setListProgress(int position) override;

    // Page control.
    frame::Page *activePage() const override;
    void setActivePage(frame::Page *page) override;
    void setPagesEnabled(bool enabled) override;
    bool isStarting() const override { return m_starting; }

    // Progress.
    frame::BatchProgress *progressWindow() override;
    void setMainWindowEnabled(bool enabled) override { setEnabled(enabled); }
    bool checkDiskSpace(const QString &path, qint64 neededKb) override;

    // Entry commands.
    void openCurrentFile() override;
    void openCurrentFileAt(const frame::TextSpot &spot) override;
    // The shared context menu at a global position, its items enabled for the active page.
    void showContextMenu(const QPoint &globalPos) override;

    // Views.
    void showFileInViews(bool force) override;
    void clearViews() override;
    void setViewerButtonState() override;
    engine::HtmlView *browserView() override;

    // The edited file.
    QString editedFile() const override;
    bool hasUnsavedChanges() const override;
    std::optional<platform::Answer> askSaveChanges() override;
    std::optional<platform::Answer> askSaveChangesBeforeShowing() override;
    void reloadEditedFile() override;
    void followEditorSaves(
        QObject *receiver, const std::function<void(const QString &)> &saved) override;

    // Configuration.
    frame::Settings &settings() override { return m_settings; }
    QString dataFolder() const override { return m_dataFolder; }

    // The Folder View's folder, mask and corner.
    QString currentFolder() const override;
    QString currentMask() const override;
    void showMiniThumb(const QString &page) override;
    void showSavedCopy(const QString &path) override;

    // The viewer window's host.
    QRect mainWindowBounds() const override { return geometry(); }
    // The browser's "Snap View".
    void snapCurrentView() override;
    void setSaveButtons(bool saveEnabled, bool saveAsEnabled) override;
    formatter::Style *formatterStyle() override { return &m_style; }
    QStringList tagSyntaxTable() const override { return m_tagHints; }

Q_SIGNALS:
    // The viewer's editor wrote its text to a file.
    void editorSaved(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setUpWindow(const QString &programDir);
    void prepareToShow();
    void tearDown();
    void loadSettings();
    void saveSettings();
    void buildLayout();
    void buildMenus();
    // The one place that names the page classes.
    void createPages();
    void launchWithApplication(int index);
    void enterPage(int index);
    void onPageChanged(int index);
    // The "&Extras" menu and the tabs' captions follow the active page's selection.
    void showSelectionCounts();
    // Changes the page without the leave question and the page's arrival steps.
    void setPageQuietly(int index);
    snapshot::SnapshotHost snapshotHost();

    QString m_programFolder;
    QString m_dataFolder;
    frame::Settings m_settings;
    formatter::Style m_style;
    bool m_starting = true;
    bool m_viewerOpen = false;
    bool m_activatedOnce = false;
    bool m_shownOnce = false;
    bool m_settingsWritten = false;
    bool m_revertingPage = false;
    bool m_optionsConfirmed = false;
    int m_lastPage = 0;
    QString m_startFile;
    QStringList m_arguments;
    QStringList m_tagHints;
    std::vector<frame::Page *> m_pages;
    // The Folder View page, its folder panel beside the page control and the dock of the
    // borrowed views.
    folderview::FolderViewPage *m_folder = nullptr;
    folderview::FolderPanel *m_folderPanel = nullptr;
    folderview::ViewsDock *m_viewsDock = nullptr;
    viewer::ViewerWindow *m_viewer = nullptr;
    frame::ProgressWindow *m_progress = nullptr;
    snapshot::SnapshotJob m_snapshotJob;

    // The controls; their objectNames keep the old names.
    QTabWidget *m_pageTabs = nullptr;
    QLabel *m_hintLabel = nullptr;
    QProgressBar *m_listProgress = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_optionsMenu = nullptr;
    QMenu *m_extrasMenu = nullptr;
    QMenu *m_cleanMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    app::ContextMenu *m_contextMenu = nullptr;
    kit::HintFilter *m_hints = nullptr;
};

} // namespace app
