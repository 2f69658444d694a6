// The folder view: the file list, the hand-off of the current file to the views, and the
// file operations on the selection.
#include "folderview/folderviewpage.h"

#include "engine/localfiles.h"
#include "folderview/filelistbox.h"
#include "folderview/fileops.h"
#include "folderview/folderlisting.h"
#include "folderview/folderpanel.h"
#include "folderview/viewsdock.h"
#include "frame/settings.h"
#include "kit/panels.h"
#include "platform/dialogs.h"
#include "platform/filerules.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"
#include "platform/startfile.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace folderview {

namespace {

QString nativeClean(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

int selectedRowCount(const QListWidget *list)
{
    return int(list->selectedItems().size());
}

// Whatever the filter list offers renders as a page, also the kinds the user added to it.
void acceptFilterKindsAsPages(const QString &filterText)
{
    QStringList masks;
    for (const FilterPair &pair : parseFilterText(filterText))
        masks.append(pair.mask);
    if (masks.isEmpty())
        return; // an empty mask would match every file
    engine::setExtraPageTest([mask = platform::FileMask(masks.join(QLatin1Char(';')))](
                                 const QString &name) { return mask.matches(name); });
}

} // namespace

FolderViewPage::FolderViewPage(const Frame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
    , m_panel(new FolderPanel(m_frame.configuration, [this] { return settleEditsBeforeLeaving(); }))
{
    buildFileTab();
    connectControls();
}

void FolderViewPage::buildFileTab()
{
    QVBoxLayout *column = kit::tightColumn(this);
    m_fileTitle = kit::titleBar(QString(), this);
    m_fileTitle->setObjectName(QStringLiteral("PanelFileTop"));
    m_filesLabel = m_fileTitle;
    m_filesLabel->setObjectName(QStringLiteral("LabelFiles"));
    column->addWidget(m_fileTitle);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_fileList = new FileListBox(splitter);
    m_fileList->setObjectName(QStringLiteral("LBFile"));
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setUniformItemSizes(true);
    m_fileList->setIconSize(QSize(16, 16));
    m_fileList->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    splitter->addWidget(m_fileList);

    m_dock = new ViewsDock(splitter);
    splitter->addWidget(m_dock);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 149, 400 });
    column->addWidget(splitter, 1);
}

void FolderViewPage::connectControls()
{
    m_fileList->installEventFilter(this);
    m_fileList->viewport()->installEventFilter(this);
    connect(m_panel, &FolderPanel::folderChanged, this, &FolderViewPage::folderChanged);
    connect(m_panel, &FolderPanel::maskChanged, this, &FolderViewPage::maskChanged);
    connect(m_panel, &FolderPanel::miniThumbMenuRequested, this,
        [this](const QPoint &globalPos) { m_frame.commands.showContextMenu(globalPos); });
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fileList, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.commands.showContextMenu(m_fileList->mapToGlobal(pos));
    });
    connect(m_fileList, &QListWidget::currentRowChanged, this, [this] { fileSelectionChanged(); });
    connect(
        m_fileList, &FileListBox::mouseReleased, this, &FolderViewPage::afterFileListInteraction);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this,
        [this] { m_frame.commands.openCurrentFile(); });
}

bool FolderViewPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_fileList || watched == m_fileList->viewport()) {
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
            m_entryChangedSincePress = false;
            m_cancelledSincePress = false;
        }
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            if (handleFileListKey(static_cast<QKeyEvent *>(event), type == QEvent::KeyRelease))
                return true;
        } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            kit::setFocusMark(m_fileTitle, type == QEvent::FocusIn);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- Selection queries ---------------------------------------------------------------

QString FolderViewPage::currentFile() const
{
    if (selectedRowCount(m_fileList) >= 2 || !m_fileList->currentItem())
        return {};
    return platform::WithTrailingBackslash(m_panel->currentFolder())
        + m_fileList->currentItem()->text();
}

frame::SelectionCount FolderViewPage::selectionCounts() const
{
    return { this, selectedRowCount(m_fileList), m_fileList->count() };
}

QString FolderViewPage::entryPath(int index, bool onlySelected) const
{
    const QListWidgetItem *item = index < 0 ? nullptr : m_fileList->item(index);
    if (!item || (onlySelected && !item->isSelected()))
        return {};
    return platform::WithTrailingBackslash(m_panel->currentFolder()) + item->text();
}

QStringList FolderViewPage::fileNames() const
{
    QStringList names;
    names.reserve(m_fileList->count());
    for (int i = 0; i < m_fileList->count(); ++i)
        names.append(m_fileList->item(i)->text());
    return names;
}

int FolderViewPage::findListIndex(const QString &fileName) const
{
    return folderview::findListIndex(fileNames(), fileName);
}

bool FolderViewPage::settleEditsBeforeLeaving()
{
    return m_frame.pages.isStarting()
        || m_frame.editedFile.askSaveChanges() != platform::Answer::Cancel;
}

void FolderViewPage::changeFolder(const QString &folder)
{
    m_panel->changeFolder(folder);
}

void FolderViewPage::folderChanged()
{
    m_filesLabel->setText(m_panel->currentFolder());
    rereadFileList();
    folderChosen();
}

void FolderViewPage::folderChosen()
{
    if (m_panel->isInThumbFolder(m_panel->currentFolder())) {
        m_frame.pages.setPagesEnabled(false);
        // At start-up the window is not on the screen yet: the box waits for it.
        if (m_frame.pages.isStarting())
            QTimer::singleShot(0, this, &FolderViewPage::refuseThumbFolder);
        else
            refuseThumbFolder();
        return;
    }
    m_frame.pages.setPagesEnabled(true);
    m_frame.views.clearViews();
    m_frame.status.updateStatus();
}

void FolderViewPage::refuseThumbFolder()
{
    platform::dialogs().ShowInfo(
        QStringLiteral("Sorry, access denied. This is your thumbnail folder.\n"
                       "Please choose another folder ..."));
}

QString FolderViewPage::title() const
{
    return QStringLiteral("Folder View");
}

void FolderViewPage::start()
{
    const frame::Settings &settings = m_frame.configuration.settings();
    m_panel->setFilterText(settings.allowedExtensions);
    acceptFilterKindsAsPages(settings.allowedExtensions);
    m_panel->fillDriveBox();
    changeFolder(settings.viewPath);
}

bool FolderViewPage::offersContextItem(frame::ContextItem item) const
{
    return item != frame::JumpToFolder;
}

bool FolderViewPage::runContextItem(frame::ContextItem item)
{
    if (item == frame::CopyFilesTo) {
        copySelectedFiles();
        m_frame.progress.setMainWindowEnabled(true);
        return true;
    }
    if (item != frame::JumpToFolder)
        return false;
    const QString file = m_frame.selection.currentFile();
    // Found by the folder's bytes: a Latin-1 folder name is no folder to QFileInfo.
    if (platform::fileState(QFileInfo(file).absolutePath()).kind == platform::FileState::Folder)
        jumpToFileAndFolder(file);
    else
        platform::dialogs().ShowInfo(QStringLiteral("Folder \"%1\" not found.").arg(file));
    return true;
}

void FolderViewPage::showSavedCopy(const QString &path)
{
    rereadFileList();
    const int row = findListIndex(platform::fileNamePart(path));
    if (row >= 0) {
        // Only selected: the viewer stays on the file it has.
        const QSignalBlocker blocker(m_fileList);
        m_fileList->setCurrentRow(row);
    }
    m_fileList->setFocus();
}

void FolderViewPage::activate()
{
    m_filesLabel->setText(m_panel->currentFolder());
}

// --- File list ---------------------------------------------------------------------------

void FolderViewPage::maskChanged()
{
    if (!m_panel->currentFolder().isEmpty())
        rereadFileList();
    if (m_frame.pages.isStarting())
        return;
    m_frame.views.clearViews();
    m_frame.status.updateStatus();
}

void FolderViewPage::rereadFileList()
{
    const QStringList names = listMatchingFiles(m_panel->currentFolder(), m_panel->currentMask());
    m_fileList->setUpdatesEnabled(false);
    const bool blocked = m_fileList->blockSignals(true);
    m_fileList->clear();
    m_fileList->addItems(names);
    m_fileList->blockSignals(blocked);
    m_fileList->setUpdatesEnabled(true);
    applyFileIcons();
    Q_EMIT fileListChanged(m_panel->currentFolder(), names);
    // No question here: a change of folder or filter has settled the editor's changes first,
    // and a list read again after a copy or a delete keeps them in the views.
}

// The shell's icons of the files, one look-up per extension, or none when they are switched off.
void FolderViewPage::applyFileIcons()
{
    const bool show = m_frame.configuration.settings().showFileIcons;
    m_fileList->setUpdatesEnabled(false);
    QFileIconProvider icons;
    QHash<QString, QIcon> bySuffix;
    const QDir dir(m_panel->currentFolder());
    for (int i = 0; i < m_fileList->count(); ++i) {
        QListWidgetItem *item = m_fileList->item(i);
        if (!show) {
            item->setIcon(QIcon());
            continue;
        }
        const QString suffix = QFileInfo(item->text()).suffix().toLower();
        auto found = bySuffix.find(suffix);
        if (found == bySuffix.end())
            found = bySuffix.insert(suffix, icons.icon(QFileInfo(dir.filePath(item->text()))));
        item->setIcon(found.value());
    }
    m_fileList->setUpdatesEnabled(true);
}

// A new current entry, by a key or a button pressed on the list, or by a jump or a delete.
// The question's window may take the release of that press: the rest waits until the press
// is through.
void FolderViewPage::fileSelectionChanged()
{
    m_entryChangedSincePress = true;
    if (m_frame.pages.isStarting())
        return;
    const std::optional<platform::Answer> answer = m_frame.editedFile.askSaveChangesBeforeShowing();
    if (!answer)
        return;
    if (*answer == platform::Answer::Cancel) {
        // The press goes on to select the entry it hit: the list goes back after it.
        m_cancelledSincePress = true;
        QTimer::singleShot(0, this, &FolderViewPage::returnToEditedFile);
    } else {
        QTimer::singleShot(0, this, &FolderViewPage::showChosenFile);
    }
}

// A released key or button: the list has settled the selection that it makes.
void FolderViewPage::afterFileListInteraction()
{
    if (std::exchange(m_cancelledSincePress, false)) {
        returnToEditedFile();
        return;
    }
    // The current entry may name another file than the editor holds (a copy just saved
    // under a new name is selected, or every entry is): loading it must ask as a change would.
    if (!std::exchange(m_entryChangedSincePress, false)
        && m_frame.editedFile.askSaveChangesBeforeShowing() == platform::Answer::Cancel) {
        returnToEditedFile();
        return;
    }
    showChosenFile();
}

void FolderViewPage::showChosenFile()
{
    // Left for another page meanwhile, the views are that page's to fill.
    if (m_frame.pages.activePage() != this)
        return;
    m_frame.status.updateStatus();
    m_frame.views.showFileInViews(false);
    m_frame.views.setViewerButtonState();
}

void FolderViewPage::returnToEditedFile()
{
    const QString edited = m_frame.editedFile.editedFile();
    int row = -1;
    for (int i = 0; i < m_fileList->count() && row < 0 && !edited.isEmpty(); ++i)
        if (entryPath(i, false) == edited)
            row = i;
    {
        const QSignalBlocker blocker(m_fileList);
        m_fileList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        if (row < 0)
            m_fileList->clearSelection();
    }
    m_frame.status.updateStatus();
}

bool FolderViewPage::handleFileListKey(QKeyEvent *event, bool released)
{
    if (released) {
        if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier)
            m_fileList->selectAll();
        afterFileListInteraction();
        return false;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_frame.commands.openCurrentFile();
        return true;
    }
    if (event->key() == Qt::Key_Delete) {
        deleteSelectedFiles();
        return true;
    }
    return false;
}

// --- Jumps ------------------------------------------------------------------------------

void FolderViewPage::jumpToFileAndFolder(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (platform::fileState(info.absolutePath()).kind != platform::FileState::Folder)
        return;
    const auto answer = m_frame.editedFile.askSaveChanges();
    if (answer == platform::Answer::Cancel)
        return;
    if (answer == platform::Answer::No) {
        m_frame.views.clearViews();
        m_frame.status.updateStatus();
    }
    m_frame.pages.setActivePage(this);
    changeFolder(info.absolutePath());
    if (platform::fileState(path).kind == platform::FileState::Missing)
        return;
    const int index = findListIndex(info.fileName());
    if (index < 0)
        return;
    m_fileList->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    if (m_fileList->isVisible())
        m_fileList->setFocus();
}

// --- File operations ---------------------------------------------------------------------

void FolderViewPage::deleteSelectedFiles()
{
    // The editor's changes are settled before any file goes: saved afterwards, they would
    // bring back a deleted file behind the list's back.
    const DeleteResult result = folderview::deleteSelectedFiles(m_frame.selection,
        m_frame.configuration.settings().useRecycleBin,
        [this] { return m_frame.editedFile.askSaveChanges() != platform::Answer::Cancel; });
    if (!result.confirmed)
        return;
    rereadFileList();
    if (m_frame.pages.activePage() == this) {
        // The new current entry first, so that the views and the counts show the list as it is.
        const int current = std::min(result.lastDeletedIndex, m_fileList->count() - 1);
        if (current >= 0)
            m_fileList->setCurrentRow(current);
        m_frame.views.showFileInViews(false);
        m_frame.views.setViewerButtonState();
    }
    m_frame.status.updateStatus();
}

void FolderViewPage::copySelectedFiles()
{
    frame::BatchProgress *progress = m_frame.progress.progressWindow();
    if (!progress)
        return;
    const CopyResult result = folderview::copySelectedFiles(m_frame.selection,
        m_frame.configuration.settings().copyPath, *progress,
        [this](bool enabled) { m_frame.progress.setMainWindowEnabled(enabled); });
    const QString copied = result.singleTarget;
    if (copied.isEmpty())
        return;
    if (nativeClean(QFileInfo(copied).absolutePath()) != m_panel->currentFolder())
        return;
    rereadFileList();
    const int index = findListIndex(QFileInfo(copied).fileName());
    if (index >= 0) {
        // Only selected, as a copy saved from the editor is: the views keep what they show.
        const QSignalBlocker blocker(m_fileList);
        m_fileList->setCurrentRow(index);
    }
    if (m_fileList->isVisible())
        m_fileList->setFocus();
}

void FolderViewPage::handleDroppedFiles(const QStringList &paths)
{
    if (!paths.isEmpty())
        jumpToFileAndFolder(platform::AcceptDroppedFiles(paths));
}

} // namespace folderview
