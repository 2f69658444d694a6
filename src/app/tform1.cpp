#include "app/tform1.h"

#include "app/contextmenu.h"
#include "app/tformabout.h"
#include "app/tformgenopt.h"
#include "app/tformhelp.h"

#include "editor/tagrange.h"
#include "folderview/fileops.h"
#include "folderview/formprogress.h"
#include "frame/folderservices.h"
#include "frame/page.h"
#include "formatter/style.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "snapshot/tformsnapprop.h"
#include "imaging/thumbclean.h"
#include "kit/panels.h"
#include "viewer/tformview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>

namespace app {

namespace {

const QString kCaption = QStringLiteral(" Folioscope v1.0 ");
const QString kWelcome
    = QStringLiteral("Welcome to Folioscope - Please open a HTML file folder ...");
// The program's own page, opened by "&Folioscope Hompage".
const QString kHomePage = QStringLiteral("https://folioscope.org/");
constexpr int kHintMilliseconds = 5000;
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;

} // namespace

TForm1::TForm1(const QString &programDir, const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , m_arguments(arguments)
{
    buildLayout();
    FormCreate(programDir);
}

TForm1::~TForm1() = default;

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
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::onPageChanged);
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                AppActivate();
        });
}

void TForm1::LoadSettings()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_settings = loadSettingsFile(m_dataFolder, screen ? screen->size() : QSize(1024, 768));
    // A hand-edited size of nothing (or less) would leave no window to see.
    QRect bounds = m_settings.mainBounds;
    bounds.setSize(bounds.size().expandedTo(QSize(kMinimumWidth, kMinimumHeight)));
    if (screen)
        bounds.setSize(bounds.size().boundedTo(screen->availableSize()));
    setGeometry(bounds);
}

void TForm1::SaveSettings()
{
    const QString current = m_folder->currentFolder();
    const QString folder = current.isEmpty() ? m_settings.VIEW_PATH : current;
    m_settings.VIEW_PATH = m_folder->IsInThumbFolder(folder) ? m_dataFolder : folder;
    m_settings.mainBounds = geometry();
    QString error;
    if (!saveSettingsFile(m_dataFolder, m_settings, &error))
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
        kit::placeOnScreen(this, screen->availableGeometry());
    // Without a window manager the window may never be activated: run the first activation
    // anyway once the start-up events are through.
    QTimer::singleShot(0, this, [this] {
        if (!m_activatedOnce)
            FormActivate();
    });
}

void TForm1::FormShow()
{
    formatter::LoadProgramStyle(m_style, m_programFolder, m_settings.StyleName);
    m_settings.StyleName = QStringLiteral("THUMBS");
    setWindowTitle(kCaption);
    m_startFile = folderview::startFileFromArguments(m_arguments);
    m_tagHints = editor::readTagHintTable(m_programFolder + QStringLiteral("tagsyntax.txt"));
    for (Page *page : m_pages)
        page->start();
    PopLBTree->BuildContextMenu(m_settings.ExternalApps);
    SBBrowserClick();
    PageControl1->setCurrentIndex(1);
    PageControl1->setCurrentIndex(0);
    m_hintsEnabled = m_settings.DoShowHints;
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
        m_folder->JumpToFileAndFolder(m_startFile);
    }
    SetViewerButtonState();
    UpdateStatus();
    LabelHint->setText(kWelcome);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (AskSaveChanges() == platform::Answer::Cancel) {
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

Page *TForm1::activePage() const
{
    const int index = PageControl1->currentIndex();
    return index > 0 && size_t(index) < m_pages.size() ? m_pages[size_t(index)] : m_pages.front();
}

void TForm1::setActivePage(Page *page)
{
    PageControl1->setCurrentWidget(page->widget());
}

void TForm1::UpdateStatus()
{
    if (m_starting)
        return;
    const folderview::SelectionCount counts = SelectionCounts();
    MenuExtras->setEnabled(counts.selected > 0);
    MenuExtras->menuAction()->setEnabled(counts.selected > 0);
    LabelHint->setText(CurrentFile());
    for (size_t index = 0; index < m_pages.size(); ++index)
        PageControl1->setTabText(int(index), tabCaption(*m_pages[index], counts));
}

bool TForm1::hasUnsavedEditorChanges() const
{
    return m_folder->saveEnabled() && m_viewer && !m_viewer->viewerFile().isEmpty();
}

std::optional<platform::Answer> TForm1::AskSaveChanges()
{
    if (!hasUnsavedEditorChanges())
        return {};
    return m_viewer->askSaveChanges();
}

std::optional<platform::Answer> TForm1::AskSaveChangesBeforeShowing()
{
    if (!m_viewer || CurrentFile() == m_viewer->viewerFile())
        return {};
    return AskSaveChanges();
}

void TForm1::AppActivate()
{
    if (m_starting || !m_viewer || !activePage()->hostsViews())
        return;
    if (m_viewer->AskReloadChangedFile(CurrentFile()))
        ShowFileInViews(true);
    SetViewerButtonState();
}

void TForm1::setHintLine(const QString &text)
{
    LabelHint->setText(text);
}

void TForm1::setPagesEnabled(bool enabled)
{
    PageControl1->setEnabled(enabled);
}

folderview::BatchProgress *TForm1::progressWindow()
{
    return m_progress;
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
    m_folder->ShowMiniThumb(newFile);
    if (m_viewer) {
        m_viewer->LoadFileIntoViewer(newFile);
        m_viewer->SetREToNotModified();
    }
}

void TForm1::ClearViews()
{
    m_folder->clearMiniThumb();
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
    m_folder->viewsPanel()->setUpdatesEnabled(false);
    m_viewer->returnControls();
    m_folder->viewsPanel()->setUpdatesEnabled(true);
    if (target != QLatin1String("MainWindow"))
        return;
    m_folder->showInPanel1(control == QLatin1String("Editor") ? m_viewer->editorControl()
                                                              : m_viewer->browserControl());
}

void TForm1::SBBrowserClick()
{
    if (m_folder->browserSwitchDown()) {
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
    if (!activePage()->hostsViews()) {
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
    m_hintsEnabled = m_settings.DoShowHints;
    m_folder->applyFileIcons();
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
    state.jumpOffered = activePage()->offersContextItem(JumpToFolder);
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

// The page-specific items go to the page that serves them.
void TForm1::MyLBPopUpHandler(int position)
{
    if (position == ViewInDefaultBrowser)
        platform::openWithDefaultProgram(CurrentFile());
    else if (position == CreateSnapshots)
        Snapcurrenrfile1Click();
    else if (position >= FirstLaunch && position < ContextItemCount)
        launchWithApplication(position - FirstLaunch);
    else
        for (Page *page : m_pages)
            if (page->runContextItem(ContextItem(position)))
                return;
}

// The external program always sees the file as it is on disk: saved, or the changes dropped.
void TForm1::launchWithApplication(int index)
{
    const QString file = CurrentFile();
    if (AskSaveChanges() == platform::Answer::Cancel)
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
    m_folder->handleDroppedFiles(paths);
}

// --- Page switching ---------------------------------------------------------------------

void TForm1::onPageChanged(int index)
{
    if (m_revertingPage)
        return;
    if (index != m_lastPage && m_pages[size_t(m_lastPage)]->hostsViews() && !m_starting
        && hasUnsavedEditorChanges()) {
        // The tab control has switched already, but nothing is painted before the event loop
        // runs: back to the page first, so that the question (and Cancel) leave the screen as
        // it was.
        setPageQuietly(m_lastPage);
        if (AskSaveChanges() == platform::Answer::Cancel)
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
    m_folder->clearMiniThumb();
    if (index >= 0 && size_t(index) < m_pages.size()) {
        Page *page = m_pages[size_t(index)];
        page->activate();
        if (page->hostsViews()) {
            if (m_viewer)
                m_viewer->clearViewer();
            ShowFileInViews(false);
        } else {
            m_folder->ShowMiniThumb(CurrentFile());
        }
    }
    UpdateStatus();
}

} // namespace app
