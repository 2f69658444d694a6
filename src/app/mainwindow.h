#pragma once

#include "formatter/style.h"
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
// queries answer for the active page.
class MainWindow : public QMainWindow, public frame::PageFrame
{
    Q_OBJECT

public:
    // programDir is the executable's folder; arguments are the command-line parameters
    // without the program name.
    MainWindow(const QString &programDir, const QStringList &arguments, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The viewer window lives beside the main window for the whole run.
    void setViewer(viewer::ViewerWindow *view) { m_viewer = view; }
    void setProgressWindow(frame::ProgressWindow *progress) { m_progress = progress; }
    viewer::ViewerWindow *viewer() const { return m_viewer; }

    // The pages in the order of their tabs.
    const std::vector<frame::Page *> &pages() const { return m_pages; }

    QString programFolder() const override { return m_programFolder; }
    QString dataFolder() const override { return m_dataFolder; }
    QString thumbFolder() const { return frame::thumbFolderOf(m_dataFolder); }
    QString listsFolder() const { return frame::listsFolderOf(m_dataFolder); }
    frame::Settings &settings() override { return m_settings; }
    const frame::Settings &settings() const { return m_settings; }
    // The formatter style and trim table, loaded once when the window is first shown.
    const formatter::Style &style() const { return m_style; }
    bool isStarting() const override { return m_starting; }
    bool isViewerOpen() const { return m_viewerOpen; }
    QString startFile() const { return m_startFile; }
    frame::FolderServices &folderView() override { return *m_folder; }
    void setListProgress(int position) override;
    formatter::Style *formatterStyle() override { return &m_style; }
    QStringList tagSyntaxTable() const override { return m_tagHints; }
    // The program became the active application again: the editor's file may have changed.
    void applicationActivated();

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

    void updateStatus() override;
    std::optional<platform::Answer> askSaveChanges() override;
    std::optional<platform::Answer> askSaveChangesBeforeShowing() override;
    QString editorFile(bool *unsaved) const override;
    void reloadEditorFile() override;
    QString viewerFile() const override;

    // What the pages and the viewer window ask of the main window.
    void setHintLine(const QString &text) override;
    QRect mainWindowBounds() const override { return geometry(); }
    frame::Page *activePage() const override;
    void setActivePage(frame::Page *page) override;
    void setPagesEnabled(bool enabled) override;
    void showFileInViews(bool force) override;
    void clearViews() override;
    void setViewerButtonState() override;
    void openCurrentFile() override;
    frame::BatchProgress *progressWindow() override;
    void setMainWindowEnabled(bool enabled) override { setEnabled(enabled); }
    bool checkDiskSpace(const QString &path, qint64 neededKb) override;
    engine::HtmlView *browserView() override;

    // "&Create Snapshot(s)", and the browser's "Snap View".
    void createSnapshots();
    void snapCurrentView() override;
    const snapshot::SnapshotJob &snapshotJob() const { return m_snapshotJob; }

    void dockView(const QString &control, const QString &target);
    void showBrowser();
    void handleDroppedFiles(const QStringList &paths);

    // Runs the steps of the first activation; later activations only refresh.
    void handleActivation();

    // The menu items' handlers.
    void showGeneralOptions();
    void showHelp();
    // The shared context menu at a global position, its items enabled for the active page.
    void showContextMenu(const QPoint &globalPos) override;
    void prepareContextMenu();
    void runContextMenuItem(int position);

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
    // The editor holds changes that askSaveChanges would ask about.
    bool hasUnsavedEditorChanges() const;
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
    frame::FolderServices *m_folder = nullptr;
    viewer::ViewerWindow *m_viewer = nullptr;
    frame::ProgressWindow *m_progress = nullptr;
    snapshot::SnapshotJob m_snapshotJob;

    // The controls; their objectNames keep the old names.
    QTabWidget *pages_ = nullptr;
    QLabel *hintLabel_ = nullptr;
    QProgressBar *listProgress_ = nullptr;
    QMenu *fileMenu_ = nullptr;
    QMenu *optionsMenu_ = nullptr;
    QMenu *extrasMenu_ = nullptr;
    QMenu *cleanMenu_ = nullptr;
    QMenu *helpMenu_ = nullptr;
    app::ContextMenu *contextMenu_ = nullptr;
    kit::HintFilter *m_hints = nullptr;
};

} // namespace app
