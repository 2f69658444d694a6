#pragma once

#include "frame/page.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "formatter/style.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/tformsnapprop.h"

#include <QMainWindow>

#include <vector>

class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;

namespace folderview {
class TFormProgress;
}

namespace viewer {
class TFormView;
}

namespace app {

class FolderServices;
class PopLBTree;

// The main window: the frame of the program. It holds the menus, the hint line, the page
// control with its pages, the settings, and the borrowed browser or editor; the selection
// queries answer for the active page.
class TForm1 : public QMainWindow, public PageFrame
{
    Q_OBJECT

public:
    // programDir is the executable's folder; arguments are the command-line parameters
    // without the program name.
    TForm1(const QString &programDir, const QStringList &arguments, QWidget *parent = nullptr);
    ~TForm1() override;

    // The viewer window lives beside the main window for the whole run.
    void setViewer(viewer::TFormView *view) { m_viewer = view; }
    void setProgressWindow(folderview::TFormProgress *progress) { m_progress = progress; }
    viewer::TFormView *viewer() const { return m_viewer; }

    // The pages in the order of their tabs.
    const std::vector<Page *> &pages() const { return m_pages; }

    QString ProgramFolder() const override { return m_programFolder; }
    QString dataFolder() const override { return m_dataFolder; }
    QString thumbFolder() const { return thumbFolderOf(m_dataFolder); }
    QString listsFolder() const { return listsFolderOf(m_dataFolder); }
    Settings &settings() override { return m_settings; }
    const Settings &settings() const { return m_settings; }
    // The formatter style and trim table, loaded once when the window is first shown.
    const formatter::Style &style() const { return m_style; }
    bool Starting() const override { return m_starting; }
    bool ViewerOpen() const { return m_viewerOpen; }
    QString StartFile() const { return m_startFile; }
    FolderServices &folderView() override { return *m_folder; }
    void setListProgress(int position) override;
    formatter::Style *formatterStyle() override { return &m_style; }
    QStringList tagSyntaxTable() const override { return m_tagHints; }
    // The program became the active application again: the editor's file may have changed.
    void AppActivate();

    // Selection queries of the active page.
    QString CurrentFile() const override { return activePage()->CurrentFile(); }
    folderview::SelectionCount SelectionCounts() const override
    {
        return activePage()->SelectionCounts();
    }
    QString EntryPath(int index, bool onlySelected) const override
    {
        return activePage()->EntryPath(index, onlySelected);
    }

    void UpdateStatus() override;
    std::optional<platform::Answer> AskSaveChanges() override;
    std::optional<platform::Answer> AskSaveChangesBeforeShowing() override;

    // What the pages and the viewer window ask of the main window.
    void setHintLine(const QString &text) override;
    QRect mainWindowBounds() const override { return geometry(); }
    Page *activePage() const override;
    void setActivePage(Page *page) override;
    void setPagesEnabled(bool enabled) override;
    void ShowFileInViews(bool force) override;
    void ClearViews() override;
    void SetViewerButtonState() override;
    void DblClickForAll() override;
    folderview::BatchProgress *progressWindow() override;
    void setMainWindowEnabled(bool enabled) override { setEnabled(enabled); }
    bool CheckDiskSpace(const QString &path, qint64 neededKb) override;
    engine::HtmlView *browserView() override;

    // "&Create Snapshot(s)", and the browser's "Snap View".
    void Snapcurrenrfile1Click();
    void snapCurrentView() override;
    const snapshot::SnapshotJob &snapshotJob() const { return m_snapshotJob; }

    void DockView(const QString &control, const QString &target);
    void SBBrowserClick();
    void handleDroppedFiles(const QStringList &paths);

    // Runs the steps of the first activation; later activations only refresh.
    void FormActivate();

    // The controls of the frame, for the windows and tests that drive them.
    QTabWidget *PageControl1 = nullptr;
    QLabel *LabelHint = nullptr;
    QProgressBar *ProgressActFile = nullptr;
    QMenu *MenuFile = nullptr;
    QMenu *MenuOptions = nullptr;
    QMenu *MenuExtras = nullptr;
    QMenu *MenuClean = nullptr;
    QMenu *MenuHelp = nullptr;
    app::PopLBTree *PopLBTree = nullptr;

    // The menu items' handlers.
    void GeneralOptions1Click();
    void BrowserOptions1Click();
    void Sh1Click();
    void FolioscopeHompage1Click();
    void About2Click();
    // The shared context menu at a global position, its items enabled for the active page.
    void showContextMenu(const QPoint &globalPos) override;
    void PopLBPoP();
    void MyLBPopUpHandler(int position);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate(const QString &programDir);
    void FormShow();
    void FormDestroy();
    void LoadSettings();
    void SaveSettings();
    void buildLayout();
    void buildMenus();
    // The one place that names the page classes.
    void createPages();
    void cleanThumbFolder(bool removeAll);
    void launchWithApplication(int index);
    void PageControl1Change(int index);
    void onPageChanged(int index);
    // Changes the page without the leave question and the page's arrival steps.
    void setPageQuietly(int index);
    // The editor holds changes that AskSaveChanges would ask about.
    bool hasUnsavedEditorChanges() const;
    snapshot::SnapshotHost snapshotHost();

    QString m_programFolder;
    QString m_dataFolder;
    Settings m_settings;
    formatter::Style m_style;
    bool m_starting = true;
    bool m_viewerOpen = false;
    bool m_activatedOnce = false;
    bool m_shownOnce = false;
    bool m_settingsWritten = false;
    bool m_revertingPage = false;
    bool m_hintsEnabled = true;
    bool m_optionsConfirmed = false;
    int m_lastPage = 0;
    QString m_startFile;
    QStringList m_arguments;
    QStringList m_tagHints;
    std::vector<Page *> m_pages;
    FolderServices *m_folder = nullptr;
    viewer::TFormView *m_viewer = nullptr;
    folderview::TFormProgress *m_progress = nullptr;
    snapshot::SnapshotJob m_snapshotJob;
};

} // namespace app
