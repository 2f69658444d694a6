#include "app/mainwindow.h"

#include "app/contextmenu.h"
#include "app/generaloptionsdialog.h"
#include "app/helpwindow.h"

#include "editor/tagrange.h"
#include "folderview/folderpanel.h"
#include "folderview/folderviewpage.h"
#include "folderview/viewsdock.h"
#include "formatter/style.h"
#include "frame/page.h"
#include "frame/progresswindow.h"
#include "kit/filedrops.h"
#include "kit/hintfilter.h"
#include "kit/panels.h"
#include "platform/dialogs.h"
#include "platform/diskspace.h"
#include "platform/shell.h"
#include "platform/startfile.h"
#include "snapshot/snapshotoptionsdialog.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace app {

namespace {

const QString kCaption = QStringLiteral(" Folioscope v1.0 ");
const QString kWelcome
    = QStringLiteral("Welcome to Folioscope - Please open a HTML file folder ...");
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;

} // namespace

MainWindow::MainWindow(const QString &programDir, const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , m_arguments(arguments)
{
    buildLayout();
    setUpWindow(programDir);
}

MainWindow::~MainWindow() = default;

void MainWindow::setViewer(viewer::ViewerWindow *view)
{
    m_viewer = view;
    if (view)
        connect(view, &viewer::ViewerWindow::fileSaved, this, &MainWindow::editorSaved,
            Qt::UniqueConnection);
}

void MainWindow::setListProgress(int position)
{
    m_listProgress->setValue(position);
}

void MainWindow::setUpWindow(const QString &programDir)
{
    m_starting = true;
    platform::setApplicationTitle(kCaption);
    setWindowTitle(kCaption);
    m_programFolder = frame::programFolderFor(programDir);
    m_dataFolder = frame::dataFolderFor(m_programFolder, QFileInfo(m_programFolder).isWritable());
    // What a write of the settings killed half-way left behind.
    frame::removeSettingsLeftovers(m_dataFolder);
    // A folder that cannot be created is not reported; its users fail on their own terms.
    QDir().mkpath(thumbFolder());
    QDir().mkpath(listsFolder());
    m_viewerOpen = false;
    loadSettings();
    if (!QFileInfo(m_settings.viewPath).isDir())
        m_settings.viewPath = m_dataFolder;
    new kit::FileDrops(this, [this](const QStringList &paths) { handleDroppedFiles(paths); });
    m_hints = new kit::HintFilter(this, [this](const QWidget *window) {
        return window == this || (m_viewer && window == m_viewer);
    });
    qApp->installEventFilter(m_hints);
    connect(m_pageTabs, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                applicationActivated();
        });
}

void MainWindow::loadSettings()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_settings = frame::loadSettingsFile(m_dataFolder, screen ? screen->size() : QSize(1024, 768));
    // A hand-edited size of nothing (or less) would leave no window to see.
    QRect bounds = m_settings.mainBounds;
    bounds.setSize(bounds.size().expandedTo(QSize(kMinimumWidth, kMinimumHeight)));
    if (screen)
        bounds.setSize(bounds.size().boundedTo(screen->availableSize()));
    setGeometry(bounds);
}

void MainWindow::saveSettings()
{
    const QString current = m_folderPanel->currentFolder();
    const QString folder = current.isEmpty() ? m_settings.viewPath : current;
    m_settings.viewPath = m_folderPanel->isInThumbFolder(folder) ? m_dataFolder : folder;
    m_settings.mainBounds = geometry();
    QString error;
    if (!frame::saveSettingsFile(m_dataFolder, m_settings, &error))
        platform::dialogs().errorBox(error);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    prepareToShow();
    if (const QScreen *screen = this->screen())
        kit::placeOnScreen(this, screen->availableGeometry());
    // Without a window manager the window may never be activated: run the first activation
    // anyway once the start-up events are through.
    QTimer::singleShot(0, this, [this] {
        if (!m_activatedOnce)
            handleActivation();
    });
}

void MainWindow::prepareToShow()
{
    formatter::LoadProgramStyle(m_style, m_programFolder, m_settings.styleName);
    m_settings.styleName = QStringLiteral("THUMBS");
    setWindowTitle(kCaption);
    m_startFile = platform::startFileFromArguments(m_arguments);
    m_tagHints = editor::readTagHintTable(m_programFolder + QStringLiteral("tagsyntax.txt"));
    for (frame::Page *page : m_pages)
        page->start();
    m_contextMenu->buildItems(m_settings.externalApps);
    showBrowser();
    m_pageTabs->setCurrentIndex(1);
    m_pageTabs->setCurrentIndex(0);
    m_hints->setHintsShown(m_settings.showHints);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        handleActivation();
}

void MainWindow::handleActivation()
{
    m_starting = false;
    // Only the first activation jumps to the start file and greets: later ones would drag
    // the user back from wherever they went, and write over what the hint line says (the
    // file just chosen behind a question), after every dialog.
    const bool first = !std::exchange(m_activatedOnce, true);
    if (first)
        m_folder->jumpToFileAndFolder(m_startFile);
    setViewerButtonState();
    if (!first) {
        showSelectionCounts();
        return;
    }
    updateStatus();
    m_hintLabel->setText(kWelcome);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (askSaveChanges() == platform::Answer::Cancel) {
        event->ignore();
        return;
    }
    event->accept();
    tearDown();
    if (m_viewer)
        m_viewer->close();
}

void MainWindow::tearDown()
{
    if (m_settingsWritten)
        return;
    m_settingsWritten = true;
    saveSettings();
}

// --- Selection queries ---------------------------------------------------------------

frame::Page *MainWindow::activePage() const
{
    const int index = m_pageTabs->currentIndex();
    return index > 0 && size_t(index) < m_pages.size() ? m_pages[size_t(index)] : m_pages.front();
}

void MainWindow::setActivePage(frame::Page *page)
{
    m_pageTabs->setCurrentWidget(page->widget());
}

void MainWindow::updateStatus()
{
    if (m_starting)
        return;
    showSelectionCounts();
    m_hintLabel->setText(currentFile());
}

void MainWindow::showSelectionCounts()
{
    const frame::SelectionCount counts = selectionCounts();
    m_extrasMenu->setEnabled(counts.selected > 0);
    m_extrasMenu->menuAction()->setEnabled(counts.selected > 0);
    for (size_t index = 0; index < m_pages.size(); ++index)
        m_pageTabs->setTabText(int(index), frame::tabCaption(*m_pages[index], counts));
}

bool MainWindow::hasUnsavedChanges() const
{
    return m_viewsDock->saveEnabled() && m_viewer && !m_viewer->viewerFile().isEmpty();
}

std::optional<platform::Answer> MainWindow::askSaveChanges()
{
    if (!hasUnsavedChanges())
        return {};
    return m_viewer->askSaveChanges();
}

QString MainWindow::editedFile() const
{
    return m_viewer ? m_viewer->viewerFile() : QString();
}

std::optional<platform::Answer> MainWindow::askSaveChangesBeforeShowing()
{
    if (!m_viewer || currentFile() == m_viewer->viewerFile())
        return {};
    return askSaveChanges();
}

void MainWindow::reloadEditedFile()
{
    if (!m_viewer || m_viewer->viewerFile().isEmpty())
        return;
    if (m_viewer->viewerFile() == currentFile())
        showFileInViews(true);
    else
        m_viewer->reload();
}

void MainWindow::followEditorSaves(
    QObject *receiver, const std::function<void(const QString &)> &saved)
{
    connect(this, &MainWindow::editorSaved, receiver, saved);
}

void MainWindow::applicationActivated()
{
    if (m_starting || !m_viewer || !activePage()->hostsViews())
        return;
    if (m_viewer->askReloadChangedFile(currentFile()))
        showFileInViews(true);
    setViewerButtonState();
}

void MainWindow::setHintLine(const QString &text)
{
    m_hintLabel->setText(text);
}

void MainWindow::setPagesEnabled(bool enabled)
{
    m_pageTabs->setEnabled(enabled);
}

frame::BatchProgress *MainWindow::progressWindow()
{
    return m_progress;
}

bool MainWindow::checkDiskSpace(const QString &path, qint64 neededKb)
{
    return platform::checkDiskSpace(path, neededKb);
}

engine::HtmlView *MainWindow::browserView()
{
    return m_viewer ? m_viewer->browser() : nullptr;
}

// --- The Folder View's place ------------------------------------------------------------

QString MainWindow::currentFolder() const
{
    return m_folderPanel->currentFolder();
}

QString MainWindow::currentMask() const
{
    return m_folderPanel->currentMask();
}

void MainWindow::showMiniThumb(const QString &page)
{
    m_folderPanel->showMiniThumb(page);
}

void MainWindow::showSavedCopy(const QString &path)
{
    m_folder->showSavedCopy(path);
}

void MainWindow::setSaveButtons(bool saveEnabled, bool saveAsEnabled)
{
    m_viewsDock->setSaveButtons(saveEnabled, saveAsEnabled);
}

// --- Views and docking -------------------------------------------------------------------

void MainWindow::showFileInViews(bool force)
{
    const QString newFile = currentFile();
    const QString oldFile = m_viewer ? m_viewer->viewerFile() : QString();
    if (newFile.isEmpty()) {
        clearViews();
        return;
    }
    if (newFile == oldFile && !force)
        return;
    m_folderPanel->showMiniThumb(newFile);
    if (m_viewer) {
        m_viewer->loadFileIntoViewer(newFile);
        m_viewer->setEditorNotModified();
    }
}

void MainWindow::clearViews()
{
    m_folderPanel->clearMiniThumb();
    if (m_viewer)
        m_viewer->clearViewer();
}

void MainWindow::setViewerButtonState()
{
    if (m_viewer)
        m_viewer->setButtonState();
}

void MainWindow::dockView(const QString &control, const QString &target)
{
    if (!m_viewer)
        return;
    m_viewsDock->viewsPanel()->setUpdatesEnabled(false);
    m_viewer->returnControls();
    m_viewsDock->viewsPanel()->setUpdatesEnabled(true);
    if (target != QLatin1String("MainWindow"))
        return;
    m_viewsDock->showInBrowserPanel(control == QLatin1String("Editor")
            ? m_viewer->editorControl()
            : m_viewer->browserControl());
}

void MainWindow::showBrowser()
{
    if (m_viewsDock->browserSwitchDown()) {
        dockView(QStringLiteral("Browser"), QStringLiteral("MainWindow"));
        return;
    }
    dockView(QStringLiteral("Editor"), QStringLiteral("MainWindow"));
    if (m_viewer && m_viewer->editorControl()->isEnabled()
        && m_viewer->editorControl()->isVisible())
        m_viewer->editorControl()->setFocus();
}

void MainWindow::openCurrentFile()
{
    if (currentFile().isEmpty() || !m_viewer)
        return;
    if (!activePage()->hostsViews()) {
        // Changes kept by a Cancel when the viewer last closed are not dropped unasked.
        if (askSaveChangesBeforeShowing() == platform::Answer::Cancel)
            return;
        showFileInViews(false);
        m_viewer->setButtonState();
    }
    if (m_viewer->isProcessing())
        return;
    m_viewerOpen = true;
    m_viewer->exec();
    m_viewerOpen = false;
    showBrowser();
}

void MainWindow::openCurrentFileAt(const frame::TextSpot &spot)
{
    if (m_viewer)
        m_viewer->selectInEditorOnShow(spot.line, spot.column, spot.text);
    openCurrentFile();
    if (m_viewer)
        m_viewer->clearEditorSpot();
}

snapshot::SnapshotHost MainWindow::snapshotHost()
{
    return { m_settings, m_snapshotJob, *this, m_progress, m_viewer ? m_viewer->browser() : nullptr,
        geometry(), [this] {
            if (m_viewer)
                m_viewer->returnControls();
        } };
}

void MainWindow::createSnapshots()
{
    snapshot::createSnapshots(snapshotHost(), this);
}

void MainWindow::snapCurrentView()
{
    if (m_viewer)
        snapshot::SnapFromBrowser(snapshotHost(), m_viewer);
}

void MainWindow::showGeneralOptions()
{
    GeneralOptionsDialog options(m_settings, this);
    if (options.exec() != QDialog::Accepted)
        return;
    m_settings = options.values();
    m_optionsConfirmed = true;
    m_contextMenu->setLaunchCaptions(m_settings.externalApps, m_optionsConfirmed);
    m_hints->setHintsShown(m_settings.showHints);
    m_folder->applyFileIcons();
}

void MainWindow::showHelp()
{
    new HelpWindow(QDir::toNativeSeparators(m_programFolder + QStringLiteral("HELP/index.htm")));
}

// --- Context menu -------------------------------------------------------------------------

void MainWindow::prepareContextMenu()
{
    frame::MenuState state;
    state.hasCurrentFile = !currentFile().isEmpty();
    state.selected = selectionCounts().selected;
    state.jumpOffered = activePage()->offersContextItem(frame::JumpToFolder);
    state.viewerOpen = m_viewerOpen;
    for (size_t i = 0; i < state.appExists.size(); ++i)
        state.appExists[i] = m_settings.externalApps[i].exists;
    m_contextMenu->prepareContextMenu(state);
}

void MainWindow::showContextMenu(const QPoint &globalPos)
{
    prepareContextMenu();
    m_contextMenu->popup(globalPos);
}

// The page-specific items go to the page that serves them.
void MainWindow::runContextMenuItem(int position)
{
    if (position == frame::ViewInDefaultBrowser)
        platform::openWithDefaultProgram(currentFile());
    else if (position == frame::CreateSnapshots)
        createSnapshots();
    else if (position >= frame::FirstLaunch && position < frame::ContextItemCount)
        launchWithApplication(position - frame::FirstLaunch);
    else
        for (frame::Page *page : m_pages)
            if (page->runContextItem(frame::ContextItem(position)))
                return;
}

// The external program always sees the file as it is on disk: saved, or the changes dropped.
void MainWindow::launchWithApplication(int index)
{
    const QString file = currentFile();
    if (askSaveChanges() == platform::Answer::Cancel)
        return;
    const frame::ExternalApp &external = m_settings.externalApps[size_t(index)];
    platform::launchDetached(
        platform::launchCommandFor(external.location, external.parameters, file));
}

void MainWindow::handleDroppedFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    raise();
    activateWindow();
    m_folder->handleDroppedFiles(paths);
}

// --- Page switching ---------------------------------------------------------------------

void MainWindow::onPageChanged(int index)
{
    if (m_revertingPage)
        return;
    // Leaving the page that shows the views drops them, and so does arriving on it (it loads
    // its own file): changes kept by a Cancel when the viewer window closed count too.
    const bool arrivingOnViews
        = index >= 0 && size_t(index) < m_pages.size() && m_pages[size_t(index)]->hostsViews();
    if (index != m_lastPage && (m_pages[size_t(m_lastPage)]->hostsViews() || arrivingOnViews)
        && !m_starting && hasUnsavedChanges()) {
        // The tab control has switched already, but nothing is painted before the event loop
        // runs: back to the page first, so that the question (and Cancel) leave the screen as
        // it was.
        setPageQuietly(m_lastPage);
        if (askSaveChanges() == platform::Answer::Cancel)
            return;
        setPageQuietly(index);
    }
    m_lastPage = index;
    enterPage(index);
}

void MainWindow::setPageQuietly(int index)
{
    m_revertingPage = true;
    m_pageTabs->setCurrentIndex(index);
    m_revertingPage = false;
}

void MainWindow::enterPage(int index)
{
    m_hintLabel->clear();
    m_folderPanel->clearMiniThumb();
    frame::Page *page
        = index >= 0 && size_t(index) < m_pages.size() ? m_pages[size_t(index)] : nullptr;
    if (page) {
        page->activate();
        if (page->hostsViews()) {
            if (m_viewer)
                m_viewer->clearViewer();
            showFileInViews(false);
        } else {
            m_folderPanel->showMiniThumb(currentFile());
        }
    }
    updateStatus();
    if (const QString hint = page ? page->arrivalHint() : QString(); !hint.isEmpty())
        m_hintLabel->setText(hint);
}

} // namespace app
