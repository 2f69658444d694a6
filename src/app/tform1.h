#pragma once

#include "frame/pageframe.h"
#include "frame/settings.h"
#include "formatter/style.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/tformsnapprop.h"
#include "viewer/viewerhost.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;

namespace filelists {
class FileListsPage;
}

namespace folderview {
class FolderViewPage;
class TFormProgress;
} // namespace folderview

namespace thumbs {
class ThumbViewPage;
}

namespace viewer {
class TFormView;
}

namespace app {

class PopLBTree;

// The main window: the frame of the program. It holds the menus, the hint line, the page
// control with the three pages, the settings, and the borrowed browser or editor; the
// selection queries answer for the active page.
class TForm1 : public QMainWindow, public PageFrame, public viewer::ViewerHost
{
    Q_OBJECT

public:
    // programDir is the executable's folder; arguments are the command-line parameters
    // without the program name.
    TForm1(const QString &programDir, const QStringList &arguments, QWidget *parent = nullptr);
    ~TForm1() override;

    // The viewer window lives beside the main window for the whole run.
    void setViewer(viewer::TFormView *view);
    void setProgressWindow(folderview::TFormProgress *progress) { m_progress = progress; }
    viewer::TFormView *viewer() const { return m_viewer; }

    folderview::FolderViewPage *folderPage() const { return m_folderPage; }
    thumbs::ThumbViewPage *thumbPage() const { return m_thumbPage; }
    filelists::FileListsPage *listsPage() const { return m_listsPage; }

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
    QString currentFolder() const override;
    QString CurrentMask() const override;
    void ShowMiniThumb(const QString &page) override;
    void setListProgress(int position) override;
    // The editor's tag syntax hints, one line of tagsyntax.txt each.
    const QStringList &tagHints() const { return m_tagHints; }

    // What the viewer window's editor asks of the main window.
    QString currentFile() const override { return CurrentFile(); }
    void setSaveButtons(bool saveEnabled, bool saveAsEnabled) override;
    void showSavedCopy(const QString &path) override;
    viewer::EditorSettings editorSettings() const override;
    void setEditorSettings(const viewer::EditorSettings &editor) override;
    formatter::Style *formatterStyle() override { return &m_style; }
    QStringList tagSyntaxTable() const override { return m_tagHints; }
    // The program became the active application again: the editor's file may have changed.
    void AppActivate();

    // Selection queries of the active page.
    QString CurrentFile() const override;
    folderview::SelectionCount SelectionCounts() const override;
    QString EntryPath(int index, bool onlySelected) const override;

    void UpdateStatus() override;
    int AskSaveChanges() override;
    int AskSaveChangesBeforeShowing() override;

    // What the pages and the viewer window ask of the main window.
    void setHintLine(const QString &text) override;
    QRect mainWindowBounds() const override;
    int activePageIndex() const override;
    void setActivePage(int index) override;
    void setPagesEnabled(bool enabled) override;
    void ShowFileInViews(bool force) override;
    void ClearViews() override;
    void SetViewerButtonState() override;
    void DblClickForAll() override;
    folderview::BatchProgress *progressWindow() override;
    void setMainWindowEnabled(bool enabled) override;
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
    void placeOnScreen(const QRect &available);
    void buildLayout();
    void buildMenus();
    void connectPages();
    void setHintsEnabled(bool enabled);
    void cleanThumbFolder(bool removeAll);
    void launchWithApplication(int index);
    void PageControl1Change(int index);
    void onPageChanged(int index);
    // Changes the page without the leave question and the page's arrival steps.
    void setPageQuietly(int index);
    // The editor holds changes that AskSaveChanges would ask about.
    bool hasUnsavedEditorChanges() const;
    folderview::SelectionQueries *activePage() const;
    snapshot::SnapshotHost snapshotHost();
    void loadTagHints();
    void acceptFilterKindsAsPages(const QString &filterText);

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
    int m_lastPage = FolderViewPage;
    QString m_startFile;
    QStringList m_arguments;
    QStringList m_tagHints;
    folderview::FolderViewPage *m_folderPage = nullptr;
    thumbs::ThumbViewPage *m_thumbPage = nullptr;
    filelists::FileListsPage *m_listsPage = nullptr;
    viewer::TFormView *m_viewer = nullptr;
    folderview::TFormProgress *m_progress = nullptr;
    snapshot::SnapshotJob m_snapshotJob;
};

// ProgramFolder from the executable's folder: one trailing separator, upper case on
// Windows only (a POSIX file system is case-sensitive).
QString programFolderFor(const QString &executableDir);

// The start file from the command-line parameters (without the program name): the last of
// one or two, as an absolute clean path, when it is an accepted file kind that exists.
QString startFileFromArguments(const QStringList &arguments);

} // namespace app
