#pragma once

#include "app/settings.h"
#include "folderview/selection.h"
#include "formatter/style.h"
#include "viewer/viewerhost.h"

#include <QMainWindow>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLabel;
class QListView;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace folderview {
class TFormProgress;
}

namespace viewer {
class TFormView;
}

namespace app {

class ThumbListModel;

// The main window: the frame of the whole program with its three pages.
class TForm1 : public QMainWindow, public folderview::SelectionQueries, public viewer::ViewerHost
{
    Q_OBJECT

public:
    enum Page { FolderViewPage = 0, ThumbnailViewPage = 1, FileListsPage = 2 };

    // programDir is the executable's folder; arguments are the command-line parameters
    // without the program name.
    TForm1(const QString &programDir, const QStringList &arguments, QWidget *parent = nullptr);
    ~TForm1() override;

    // The viewer window lives beside the main window for the whole run.
    void setViewer(viewer::TFormView *view);
    void setProgressWindow(folderview::TFormProgress *progress) { m_progress = progress; }
    viewer::TFormView *viewer() const { return m_viewer; }

    QString ProgramFolder() const { return m_programFolder; }
    QString thumbFolder() const;
    QString listsFolder() const;
    Settings &settings() { return m_settings; }
    const Settings &settings() const { return m_settings; }
    // The formatter style and trim table, loaded once when the window is first shown.
    const formatter::Style &style() const { return m_style; }
    bool Starting() const { return m_starting; }
    bool ViewerOpen() const { return m_viewerOpen; }
    QString StartFile() const { return m_startFile; }
    QString CurrentMask() const { return m_currentMask; }
    QString currentFolder() const { return m_currentFolder; }
    // The editor's tag syntax hints, one line of tagsyntax.txt each.
    const QStringList &tagHints() const { return m_tagHints; }

    // Selection queries of the active page.
    QString CurrentFile() const override;
    folderview::SelectionCount SelectionCounts() const override;
    QString EntryPath(int index, bool onlySelected) const override;

    void UpdateStatus();
    int AskSaveChanges() override;

    // What the viewer window asks of the main window.
    void setHintLine(const QString &text) override;
    QRect mainWindowBounds() const override;
    int activePageIndex() const override;
    void DockView(const QString &control, const QString &target);
    void SBBrowserClick();
    void DblClickForAll();

    // Folder view.
    void JumpToFileAndFolder(const QString &path);
    void ShowFileInViews(bool force);
    void ClearViews();
    void ShowMiniThumb(const QString &page);
    bool IsInThumbFolder(const QString &folder) const;
    int FindListIndex(const QString &fileName) const;
    void changeFolder(const QString &folder);
    void rereadFileList();
    void DeleteSelectedFiles();
    void CopySelectedFiles();
    void handleDroppedFiles(const QStringList &paths);

    // Runs the steps of the first activation; later activations only refresh.
    void FormActivate();

    // The controls, for the windows and tests that drive them.
    QTabWidget *PageControl1 = nullptr;
    QLabel *LabelHint = nullptr;
    QProgressBar *ProgressActFile = nullptr;
    QLabel *PanelDirectoryTop = nullptr;
    QComboBox *CBDrive = nullptr;
    QListWidget *LBDir = nullptr;
    QLabel *PanelFilterTop = nullptr;
    QComboBox *CBFilter = nullptr;
    QWidget *PanelActThumb = nullptr;
    QLabel *ImgMini = nullptr;
    QWidget *TabFile = nullptr;
    QLabel *PanelFileTop = nullptr;
    QLabel *LabelFiles = nullptr;
    QListWidget *LBFile = nullptr;
    QWidget *Panel1 = nullptr;
    QToolButton *SBBrowser = nullptr;
    QToolButton *SBEditor = nullptr;
    QPushButton *BSaveAs = nullptr;
    QPushButton *BSave = nullptr;
    QWidget *TabThumb = nullptr;
    QLabel *LabelThumbs = nullptr;
    QListView *LVThumbs = nullptr;
    QPushButton *BMakeThumb = nullptr;
    QPushButton *BClearThumb = nullptr;
    QPushButton *BSelectAllThumbs = nullptr;
    QComboBox *CBSnapBase = nullptr;
    QWidget *TabTree = nullptr;
    QLabel *PanelTreeTop = nullptr;
    QListWidget *LBListen = nullptr;
    QPushButton *BLoadList = nullptr;
    QPushButton *BDeleteList = nullptr;
    QPushButton *BMergeList = nullptr;
    QTreeWidget *ELVReport = nullptr;
    QPushButton *BSearch = nullptr;
    QPushButton *BSelectAllRows = nullptr;
    QPushButton *BTakeOut = nullptr;
    QPushButton *BSaveList = nullptr;
    QPushButton *BAdd = nullptr;
    QMenu *MenuFile = nullptr;
    QMenu *MenuOptions = nullptr;
    QMenu *MenuExtras = nullptr;
    QMenu *MenuClean = nullptr;
    QMenu *MenuHelp = nullptr;

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
    void readStartFile(const QStringList &arguments);
    void buildLayout();
    void connectControls();
    void buildMenus();
    QWidget *buildFolderPanel();
    QWidget *buildFileTab();
    QWidget *buildThumbTab();
    QWidget *buildListsTab();
    void setHintsEnabled(bool enabled);
    void BrowserOptions1Click();

    void PageControl1Change(int index);
    void onPageChanged(int index);
    void fillDriveBox();
    void CBDriveChange(int index);
    void fillFolderList();
    void LBDirXClick(QListWidgetItem *item);
    void LBDirXChange();
    void CBFilterChange(int index);
    void LBFileChange();
    void afterFileListInteraction();
    void sizeThumbList();
    void setFocusMark(QLabel *titleBar, bool focused);
    void setFolderLabel();
    bool handleFileListKey(QKeyEvent *event, bool released);
    void SetListButtonState();
    void loadTagHints();
    void fillSavedLists();

    QString m_programFolder;
    Settings m_settings;
    formatter::Style m_style;
    bool m_starting = true;
    bool m_viewerOpen = false;
    bool m_activatedOnce = false;
    bool m_shownOnce = false;
    bool m_settingsWritten = false;
    bool m_revertingPage = false;
    bool m_hintsEnabled = true;
    int m_lastPage = FolderViewPage;
    QString m_startFile;
    QString m_currentMask = QStringLiteral("*.htm");
    QString m_currentFolder;
    QStringList m_filterMasks;
    QHash<QString, QString> m_lastFolderOfDrive;
    QStringList m_arguments;
    QStringList m_tagHints;
    QButtonGroup *m_viewSwitch = nullptr;
    ThumbListModel *m_thumbModel = nullptr;
    viewer::TFormView *m_viewer = nullptr;
    folderview::TFormProgress *m_progress = nullptr;
    QLabel *m_panel1Placeholder = nullptr;
};

// ProgramFolder from the executable's folder: one trailing separator, upper case on
// Windows only (a POSIX file system is case-sensitive).
QString programFolderFor(const QString &executableDir);

// The start file from the command-line parameters (without the program name): the last of
// one or two, as an absolute clean path, when it is an accepted file kind that exists.
QString startFileFromArguments(const QStringList &arguments);

} // namespace app
