#include "app/tform1.h"

#include "app/contextmenu.h"
#include "app/tformabout.h"
#include "app/tformgenopt.h"
#include "app/tformhelp.h"

#include "engine/localfiles.h"
#include "filelists/filelistspage.h"
#include "folderview/fileops.h"
#include "folderview/folderlisting.h"
#include "folderview/folderviewpage.h"
#include "folderview/formprogress.h"
#include "formatter/style.h"
#include "platform/dialogs.h"
#include "platform/pathrules.h"
#include "platform/shell.h"
#include "platform/textcodec.h"
#include "snapshot/tformsnapprop.h"
#include "imaging/thumbclean.h"
#include "thumbs/thumbviewpage.h"
#include "viewer/tformview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>

namespace app {

namespace {

const QString kCaption = QStringLiteral(" Folioscope v1.0 ");
const QString kWelcome
    = QStringLiteral("Welcome to Folioscope - Please open a HTML file folder ...");
const QStringList kPageNames = { QStringLiteral("Folder View"), QStringLiteral("Thumbnail View"),
    QStringLiteral("File Lists") };
// The program's own page, opened by "&Folioscope Hompage".
const QString kHomePage = QStringLiteral("https://folioscope.org/");
constexpr int kHintMilliseconds = 5000;
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;

} // namespace

QString programFolderFor(const QString &executableDir)
{
    QString folder = platform::WithTrailingBackslash(QDir::toNativeSeparators(executableDir));
#ifdef Q_OS_WIN
    folder = folder.toUpper();
#endif
    return folder;
}

QString startFileFromArguments(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    // The native form of expanding short names: the absolute, cleaned path.
    const QString expanded
        = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(arguments.last()).absoluteFilePath()));
    if (!folderview::MaskMatches(expanded, folderview::AcceptedFileMask))
        return {};
    const QFileInfo info(expanded);
    return info.exists() && info.isFile() ? expanded : QString();
}

TForm1::TForm1(const QString &programDir, const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , m_arguments(arguments)
{
    buildLayout();
    FormCreate(programDir);
}

TForm1::~TForm1() = default;

void TForm1::setViewer(viewer::TFormView *view)
{
    m_viewer = view;
}

QString TForm1::currentFolder() const
{
    return m_folderPage->currentFolder();
}

QString TForm1::CurrentMask() const
{
    return m_folderPage->CurrentMask();
}

void TForm1::ShowMiniThumb(const QString &page)
{
    m_folderPage->ShowMiniThumb(page);
}

void TForm1::setListProgress(int position)
{
    ProgressActFile->setValue(position);
}

void TForm1::FormCreate(const QString &programDir)
{
    m_starting = true;
    platform::setApplicationTitle(kCaption);
    setWindowTitle(kCaption);
    m_programFolder = programFolderFor(programDir);
    m_dataFolder = dataFolderFor(m_programFolder, QFileInfo(m_programFolder).isWritable());
    // A folder that cannot be created is not reported; its users fail on their own terms.
    QDir().mkpath(thumbFolder());
    QDir().mkpath(listsFolder());
    m_viewerOpen = false;
    LoadSettings();
    if (!QFileInfo(m_settings.VIEW_PATH).isDir())
        m_settings.VIEW_PATH = m_dataFolder;
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    connectPages();
}

// The pages speak to each other only through the frame.
void TForm1::connectPages()
{
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::onPageChanged);
    connect(m_folderPage, &folderview::FolderViewPage::fileListChanged, m_thumbPage,
        &thumbs::ThumbViewPage::setEntries);
    connect(m_folderPage, &folderview::FolderViewPage::viewSwitchClicked, this,
        &TForm1::SBBrowserClick);
    connect(m_folderPage, &folderview::FolderViewPage::saveClicked, this, [this] {
        if (m_viewer)
            m_viewer->BSaveClick();
    });
    connect(m_folderPage, &folderview::FolderViewPage::saveAsClicked, this, [this] {
        if (m_viewer)
            m_viewer->SaveEditorFileAs();
        else
            platform::dialogs().beep();
    });
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                AppActivate();
        });
    connect(m_thumbPage, &thumbs::ThumbViewPage::deleteRequested, m_folderPage,
        &folderview::FolderViewPage::DeleteSelectedFiles);
    connect(m_folderPage, &folderview::FolderViewPage::miniThumbDoubleClicked, m_thumbPage,
        &thumbs::ThumbViewPage::ImgMiniDblClick);
}

void TForm1::LoadSettings()
{
    platform::IniFile ini;
    ini.load(m_dataFolder + QStringLiteral("prg.ini"));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    m_settings = readSettings(ini, m_dataFolder, screenSize);
    // A hand-edited size of nothing (or less) would leave no window to see.
    QRect bounds = m_settings.mainBounds;
    bounds.setSize(bounds.size().expandedTo(QSize(kMinimumWidth, kMinimumHeight)));
    if (screen)
        bounds.setSize(bounds.size().boundedTo(screen->availableSize()));
    setGeometry(bounds);
}

void TForm1::SaveSettings()
{
    const QString folder = currentFolder().isEmpty() ? m_settings.VIEW_PATH : currentFolder();
    m_settings.VIEW_PATH = m_folderPage->IsInThumbFolder(folder) ? m_dataFolder : folder;
    m_settings.mainBounds = geometry();
    platform::IniFile ini;
    ini.load(m_dataFolder + QStringLiteral("prg.ini"));
    writeSettings(ini, m_settings);
    QString error;
    if (!ini.save(&error))
        platform::dialogs().errorBox(error);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    FormShow();
    if (const QScreen *screen = this->screen())
        placeOnScreen(screen->availableGeometry());
    // Without a window manager the window may never be activated: run the first activation
    // anyway once the start-up events are through.
    QTimer::singleShot(0, this, [this] {
        if (!m_activatedOnce)
            FormActivate();
    });
}

// Centred, and never larger than the screen: a saved size from a bigger screen would put the
// menus out of reach, and be saved again at exit.
void TForm1::placeOnScreen(const QRect &available)
{
    QRect frame = frameGeometry();
    const QSize excess(std::max(0, frame.width() - available.width()),
        std::max(0, frame.height() - available.height()));
    if (!excess.isNull()) {
        resize(size() - excess);
        frame = frameGeometry();
    }
    frame.moveCenter(available.center());
    // A window that cannot shrink enough still keeps its menus on the screen.
    frame.moveTopLeft(
        QPoint(std::max(frame.left(), available.left()), std::max(frame.top(), available.top())));
    move(frame.topLeft());
}

void TForm1::FormShow()
{
    formatter::LoadProgramStyle(m_style, m_programFolder, m_settings.StyleName);
    m_settings.StyleName = QStringLiteral("THUMBS");
    setWindowTitle(kCaption);
    m_startFile = startFileFromArguments(m_arguments);
    loadTagHints();
    m_folderPage->setFilterText(m_settings.ALLOWED_EXTENSIONS);
    acceptFilterKindsAsPages(m_settings.ALLOWED_EXTENSIONS);
    m_listsPage->fillSavedLists();
    m_folderPage->fillDriveBox();
    m_folderPage->changeFolder(m_settings.VIEW_PATH);
    m_thumbPage->setBaseIndex(m_settings.THUMB_BASEIDX);
    PopLBTree->BuildContextMenu(m_settings.ExternalApps);
    SBBrowserClick();
    PageControl1->setCurrentIndex(ThumbnailViewPage);
    PageControl1->setCurrentIndex(FolderViewPage);
    setHintsEnabled(m_settings.DoShowHints);
}

// Whatever the filter list offers renders as a page, also the kinds the user added to it.
void TForm1::acceptFilterKindsAsPages(const QString &filterText)
{
    QStringList masks;
    for (const folderview::FilterPair &pair : folderview::parseFilterText(filterText))
        masks.append(pair.mask);
    if (masks.isEmpty())
        return; // an empty mask would match every file
    engine::setExtraPageTest([mask = folderview::FileMask(masks.join(QLatin1Char(';')))](
                                 const QString &name) { return mask.matches(name); });
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm1::FormActivate()
{
    m_starting = false;
    // Only the first activation jumps to the start file: later ones would drag the user
    // back from wherever they went after every dialog.
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        m_folderPage->JumpToFileAndFolder(m_startFile);
    }
    SetViewerButtonState();
    UpdateStatus();
    LabelHint->setText(kWelcome);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (AskSaveChanges() == platform::Dialogs::Cancel) {
        event->ignore();
        return;
    }
    event->accept();
    FormDestroy();
    if (m_viewer)
        m_viewer->close();
}

void TForm1::FormDestroy()
{
    if (m_settingsWritten)
        return;
    m_settingsWritten = true;
    SaveSettings();
}

void TForm1::setHintsEnabled(bool enabled)
{
    m_hintsEnabled = enabled;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const bool ours
            = widget && (widget->window() == this || (m_viewer && widget->window() == m_viewer));
        if (!ours)
            return false;
        if (m_hintsEnabled && !widget->toolTip().isEmpty()) {
            auto *help = static_cast<QHelpEvent *>(event);
            QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, kHintMilliseconds);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Selection queries ---------------------------------------------------------------

folderview::SelectionQueries *TForm1::activePage() const
{
    switch (PageControl1->currentIndex()) {
    case ThumbnailViewPage:
        return m_thumbPage;
    case FileListsPage:
        return m_listsPage;
    default:
        return m_folderPage;
    }
}

QString TForm1::CurrentFile() const
{
    return activePage()->CurrentFile();
}

folderview::SelectionCount TForm1::SelectionCounts() const
{
    return activePage()->SelectionCounts();
}

QString TForm1::EntryPath(int index, bool onlySelected) const
{
    return activePage()->EntryPath(index, onlySelected);
}

void TForm1::UpdateStatus()
{
    if (m_starting)
        return;
    const folderview::SelectionCount counts = SelectionCounts();
    MenuExtras->setEnabled(counts.selected > 0);
    MenuExtras->menuAction()->setEnabled(counts.selected > 0);
    LabelHint->setText(CurrentFile());
    for (int page = 0; page < PageControl1->count(); ++page) {
        QString caption = kPageNames.value(page);
        if (page == counts.page)
            caption += QStringLiteral("  (%1 of %2 files selected)")
                           .arg(counts.selected)
                           .arg(counts.total);
        PageControl1->setTabText(page, caption);
    }
}

bool TForm1::hasUnsavedEditorChanges() const
{
    return m_folderPage->BSave->isEnabled() && m_viewer && !m_viewer->viewerFile().isEmpty();
}

int TForm1::AskSaveChanges()
{
    if (!hasUnsavedEditorChanges())
        return 0;
    const int answer = platform::dialogs().AskYesNoCancel(
        QStringLiteral("Save changes in: ") + m_viewer->viewerFile());
    if (answer == platform::Dialogs::Yes) {
        m_viewer->BSaveClick();
        // A failed save keeps the changes: what asked must not go on as if they were safe.
        if (m_viewer->isEditorModified())
            return platform::Dialogs::Cancel;
    }
    if (answer == platform::Dialogs::No)
        m_viewer->discardEditorChanges();
    return answer;
}

int TForm1::AskSaveChangesBeforeShowing()
{
    if (!m_viewer || CurrentFile() == m_viewer->viewerFile())
        return 0;
    return AskSaveChanges();
}

void TForm1::setSaveButtons(bool saveEnabled, bool saveAsEnabled)
{
    m_folderPage->BSave->setEnabled(saveEnabled);
    m_folderPage->BSaveAs->setEnabled(saveAsEnabled);
}

void TForm1::showSavedCopy(const QString &path)
{
    m_folderPage->rereadFileList();
    const int row = m_folderPage->FindListIndex(platform::fileNamePart(path));
    if (row >= 0) {
        // Only selected: the viewer stays on the file it has.
        const QSignalBlocker blocker(m_folderPage->LBFile);
        m_folderPage->LBFile->setCurrentRow(row);
    }
    m_folderPage->LBFile->setFocus();
}

viewer::EditorSettings TForm1::editorSettings() const
{
    viewer::EditorSettings editor;
    editor.palette
        = { m_settings.TextCol, m_settings.TagCol, m_settings.QuotedCol, m_settings.CommentCol };
    editor.DoColorTags = m_settings.DoColorTags;
    editor.LastSearch = m_settings.LastSearch;
    editor.LastReplace = m_settings.LastReplace;
    return editor;
}

void TForm1::setEditorSettings(const viewer::EditorSettings &editor)
{
    m_settings.TextCol = editor.palette.TextCol;
    m_settings.TagCol = editor.palette.TagCol;
    m_settings.QuotedCol = editor.palette.QuotedCol;
    m_settings.CommentCol = editor.palette.CommentCol;
    m_settings.DoColorTags = editor.DoColorTags;
    m_settings.LastSearch = editor.LastSearch;
    m_settings.LastReplace = editor.LastReplace;
}

void TForm1::AppActivate()
{
    if (m_starting || !m_viewer || activePageIndex() != FolderViewPage)
        return;
    if (m_viewer->AskReloadChangedFile(CurrentFile()))
        ShowFileInViews(true);
    SetViewerButtonState();
}

void TForm1::setHintLine(const QString &text)
{
    LabelHint->setText(text);
}

QRect TForm1::mainWindowBounds() const
{
    return geometry();
}

int TForm1::activePageIndex() const
{
    return PageControl1->currentIndex();
}

void TForm1::setActivePage(int index)
{
    PageControl1->setCurrentIndex(index);
}

void TForm1::setPagesEnabled(bool enabled)
{
    PageControl1->setEnabled(enabled);
}

folderview::BatchProgress *TForm1::progressWindow()
{
    return m_progress;
}

void TForm1::setMainWindowEnabled(bool enabled)
{
    setEnabled(enabled);
}

bool TForm1::CheckDiskSpace(const QString &path, qint64 neededKb)
{
    return folderview::CheckDiskSpace(path, neededKb);
}

engine::HtmlView *TForm1::browserView()
{
    return m_viewer ? m_viewer->browser() : nullptr;
}

// --- Views and docking -------------------------------------------------------------------

void TForm1::ShowFileInViews(bool force)
{
    const QString newFile = CurrentFile();
    const QString oldFile = m_viewer ? m_viewer->viewerFile() : QString();
    if (newFile.isEmpty()) {
        ClearViews();
        return;
    }
    if (newFile == oldFile && !force)
        return;
    m_folderPage->ShowMiniThumb(newFile);
    if (m_viewer) {
        m_viewer->LoadFileIntoViewer(newFile);
        m_viewer->SetREToNotModified();
    }
}

void TForm1::ClearViews()
{
    m_folderPage->clearMiniThumb();
    if (m_viewer)
        m_viewer->clearViewer();
}

void TForm1::SetViewerButtonState()
{
    if (m_viewer)
        m_viewer->SetButtonState();
}

void TForm1::DockView(const QString &control, const QString &target)
{
    if (!m_viewer)
        return;
    m_folderPage->Panel1->setUpdatesEnabled(false);
    m_viewer->returnControls();
    m_folderPage->Panel1->setUpdatesEnabled(true);
    if (target != QLatin1String("MainWindow"))
        return;
    m_folderPage->showInPanel1(control == QLatin1String("Editor") ? m_viewer->editorControl()
                                                                  : m_viewer->browserControl());
}

void TForm1::SBBrowserClick()
{
    if (m_folderPage->browserSwitchDown()) {
        DockView(QStringLiteral("Browser"), QStringLiteral("MainWindow"));
        return;
    }
    DockView(QStringLiteral("Editor"), QStringLiteral("MainWindow"));
    if (m_viewer && m_viewer->editorControl()->isEnabled()
        && m_viewer->editorControl()->isVisible())
        m_viewer->editorControl()->setFocus();
}

void TForm1::DblClickForAll()
{
    if (CurrentFile().isEmpty() || !m_viewer)
        return;
    if (PageControl1->currentIndex() != FolderViewPage) {
        ShowFileInViews(false);
        m_viewer->SetButtonState();
    }
    if (m_viewer->isProcessing())
        return;
    m_viewerOpen = true;
    m_viewer->exec();
    m_viewerOpen = false;
    SBBrowserClick();
}

snapshot::SnapshotHost TForm1::snapshotHost()
{
    return { m_settings, m_snapshotJob, *this, m_progress, m_viewer ? m_viewer->browser() : nullptr,
        geometry(), [this] {
            if (m_viewer)
                m_viewer->returnControls();
        } };
}

void TForm1::Snapcurrenrfile1Click()
{
    snapshot::Snapcurrenrfile1Click(snapshotHost(), this);
}

void TForm1::snapCurrentView()
{
    if (m_viewer)
        snapshot::SnapFromBrowser(snapshotHost(), m_viewer);
}

void TForm1::BrowserOptions1Click()
{
    if (m_viewer)
        m_viewer->openBrowserSettings();
}

void TForm1::GeneralOptions1Click()
{
    TFormGenOpt options(m_settings, this);
    if (options.exec() != QDialog::Accepted)
        return;
    m_settings = options.values();
    m_optionsConfirmed = true;
    PopLBTree->setLaunchCaptions(m_settings.ExternalApps, m_optionsConfirmed);
    setHintsEnabled(m_settings.DoShowHints);
    m_folderPage->applyFileIcons();
}

void TForm1::Sh1Click()
{
    new TFormHelp(QDir::toNativeSeparators(m_programFolder + QStringLiteral("HELP/index.htm")));
}

void TForm1::FolioscopeHompage1Click()
{
    platform::openWithDefaultProgram(kHomePage);
}

void TForm1::About2Click()
{
    TFormAbout about(this);
    about.exec();
}

void TForm1::cleanThumbFolder(bool removeAll)
{
    platform::dialogs().ShowInfo(thumbs::CleanThumbFolder(thumbFolder(), removeAll).message);
}

// --- Context menu -------------------------------------------------------------------------

void TForm1::PopLBPoP()
{
    MenuState state;
    state.hasCurrentFile = !CurrentFile().isEmpty();
    state.selected = SelectionCounts().selected;
    state.page = activePageIndex();
    state.viewerOpen = m_viewerOpen;
    for (size_t i = 0; i < state.appExists.size(); ++i)
        state.appExists[i] = m_settings.ExternalApps[i].Exists;
    PopLBTree->PopLBPoP(state);
}

void TForm1::showContextMenu(const QPoint &globalPos)
{
    PopLBPoP();
    PopLBTree->popup(globalPos);
}

void TForm1::MyLBPopUpHandler(int position)
{
    const QString file = CurrentFile();
    switch (position) {
    case ViewInDefaultBrowser:
        platform::openWithDefaultProgram(file);
        break;
    case CreateSnapshots:
        Snapcurrenrfile1Click();
        break;
    case MakeThumbnails:
        m_thumbPage->BMakeThumbClick();
        break;
    case ClearThumbnails:
        m_thumbPage->BDelThumbClick();
        break;
    case CopyFilesTo:
        m_folderPage->CopySelectedFiles();
        setEnabled(true);
        break;
    case JumpToFolder:
        if (QFileInfo(QFileInfo(file).absolutePath()).isDir())
            m_folderPage->JumpToFileAndFolder(file);
        else
            platform::dialogs().ShowInfo(QStringLiteral("Folder \"%1\" not found.").arg(file));
        break;
    default:
        if (position >= FirstLaunch && position < ContextItemCount)
            launchWithApplication(position - FirstLaunch);
        break;
    }
}

// The external program always sees the file as it is on disk: saved, or the changes dropped.
void TForm1::launchWithApplication(int index)
{
    const QString file = CurrentFile();
    if (AskSaveChanges() == platform::Dialogs::Cancel)
        return;
    const ExternalApp &external = m_settings.ExternalApps[size_t(index)];
    platform::launchDetached(platform::launchCommandFor(external.Location, external.Param, file));
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    event->acceptProposedAction();
    handleDroppedFiles(paths);
}

void TForm1::handleDroppedFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    raise();
    activateWindow();
    m_folderPage->handleDroppedFiles(paths);
}

// --- Page switching ---------------------------------------------------------------------

void TForm1::onPageChanged(int index)
{
    if (m_revertingPage)
        return;
    if (m_lastPage == FolderViewPage && index != FolderViewPage && !m_starting
        && hasUnsavedEditorChanges()) {
        // The tab control has switched already, but nothing is painted before the event loop
        // runs: back to Folder View first, so that the question (and Cancel) leave the screen
        // as it was.
        setPageQuietly(FolderViewPage);
        if (AskSaveChanges() == platform::Dialogs::Cancel)
            return;
        setPageQuietly(index);
    }
    m_lastPage = index;
    PageControl1Change(index);
}

void TForm1::setPageQuietly(int index)
{
    m_revertingPage = true;
    PageControl1->setCurrentIndex(index);
    m_revertingPage = false;
}

void TForm1::PageControl1Change(int index)
{
    LabelHint->clear();
    m_folderPage->clearMiniThumb();
    switch (index) {
    case FolderViewPage:
        m_folderPage->activate();
        if (m_viewer)
            m_viewer->clearViewer();
        ShowFileInViews(false);
        break;
    case ThumbnailViewPage:
        m_thumbPage->activate();
        m_folderPage->ShowMiniThumb(CurrentFile());
        break;
    case FileListsPage:
        m_listsPage->activate();
        m_folderPage->ShowMiniThumb(CurrentFile());
        break;
    default:
        break;
    }
    UpdateStatus();
}

void TForm1::loadTagHints()
{
    m_tagHints.clear();
    QFile file(m_programFolder + QStringLiteral("tagsyntax.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = platform::decodeText(file.readAll()).text;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n')))
        m_tagHints.append((line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line).toString());
}

} // namespace app
