// The folder view: drive, folder, filter and file list, the hand-off of the current file to
// the views, and the file operations on the selection.
#include "folderview/folderviewpage.h"

#include "engine/localfiles.h"
#include "frame/pageframe.h"
#include "folderview/filelistbox.h"
#include "folderview/fileops.h"
#include "folderview/folderlisting.h"
#include "kit/panels.h"
#include "platform/dialogs.h"
#include "imaging/jpegcodec.h"
#include "platform/filerules.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"
#include "platform/startfile.h"
#include "imaging/thumbstore.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTimer>
#include <QToolButton>

namespace folderview {

namespace {

constexpr int kPathRole = Qt::UserRole;
// The drive box and the filter box are this much narrower than the folder panel.
constexpr int kBoxMargin = 4;

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

FolderViewPage::FolderViewPage(frame::PageFrame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    buildFolderPanel();
    buildFileTab();
    connectControls();
}

void FolderViewPage::connectControls()
{
    fileList_->installEventFilter(this);
    fileList_->viewport()->installEventFilter(this);
    for (QWidget *w : { static_cast<QWidget *>(folderList_), static_cast<QWidget *>(driveBox_) })
        w->installEventFilter(this);
    miniThumb_->installEventFilter(this);
    m_folderPanel->installEventFilter(this);

    connect(driveBox_, &QComboBox::activated, this, &FolderViewPage::driveChosen);
    connect(folderList_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (m_frame.settings().openOnSingleClick)
            openChosenFolder(item);
    });
    connect(folderList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (!m_frame.settings().openOnSingleClick)
            openChosenFolder(item);
    });
    connect(filterBox_, &QComboBox::currentIndexChanged, this, &FolderViewPage::filterChosen);
    for (QWidget *w : { static_cast<QWidget *>(fileList_), static_cast<QWidget *>(miniThumb_) }) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint &pos) { m_frame.showContextMenu(w->mapToGlobal(pos)); });
    }
    connect(fileList_, &QListWidget::currentRowChanged, this, [this] { fileSelectionChanged(); });
    connect(
        fileList_, &FileListBox::mouseReleased, this, &FolderViewPage::afterFileListInteraction);
    connect(
        fileList_, &QListWidget::itemDoubleClicked, this, [this] { m_frame.openCurrentFile(); });
    connect(m_viewSwitch, &QButtonGroup::buttonClicked, this, &FolderViewPage::viewSwitchClicked);
    connect(saveButton_, &QPushButton::clicked, this, &FolderViewPage::saveClicked);
    connect(saveAsButton_, &QPushButton::clicked, this, &FolderViewPage::saveAsClicked);
}

bool FolderViewPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == fileList_ || watched == fileList_->viewport()) {
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
            m_entryChangedSincePress = false;
            m_cancelledSincePress = false;
        }
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            if (handleFileListKey(static_cast<QKeyEvent *>(event), type == QEvent::KeyRelease))
                return true;
        } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            kit::setFocusMark(fileTitle_, type == QEvent::FocusIn);
        }
    } else if (watched == folderList_ || watched == driveBox_) {
        if (type == QEvent::FocusIn || type == QEvent::FocusOut)
            kit::setFocusMark(folderTitle_, type == QEvent::FocusIn);
        // Enter opens the chosen folder, as a click would.
        if (watched == folderList_ && type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                openChosenFolder(folderList_->currentItem());
                return true;
            }
        }
    } else if (watched == miniThumb_ && type == QEvent::MouseButtonDblClick) {
        Q_EMIT miniThumbDoubleClicked();
    } else if (watched == m_folderPanel && type == QEvent::Resize) {
        fileManagerResized();
    }
    return QWidget::eventFilter(watched, event);
}

// --- Selection queries ---------------------------------------------------------------

QString FolderViewPage::currentFile() const
{
    if (selectedRowCount(fileList_) >= 2 || !fileList_->currentItem())
        return {};
    return platform::WithTrailingBackslash(m_currentFolder) + fileList_->currentItem()->text();
}

frame::SelectionCount FolderViewPage::selectionCounts() const
{
    return { this, selectedRowCount(fileList_), fileList_->count() };
}

QString FolderViewPage::entryPath(int index, bool onlySelected) const
{
    const QListWidgetItem *item = index < 0 ? nullptr : fileList_->item(index);
    if (!item || (onlySelected && !item->isSelected()))
        return {};
    return platform::WithTrailingBackslash(m_currentFolder) + item->text();
}

QStringList FolderViewPage::fileNames() const
{
    QStringList names;
    names.reserve(fileList_->count());
    for (int i = 0; i < fileList_->count(); ++i)
        names.append(fileList_->item(i)->text());
    return names;
}

QString FolderViewPage::thumbFolder() const
{
    return frame::thumbFolderOf(m_frame.dataFolder());
}

bool FolderViewPage::isInThumbFolder(const QString &folder) const
{
    return platform::isInThumbFolder(folder, thumbFolder(), platform::nativePathStyle());
}

int FolderViewPage::findListIndex(const QString &fileName) const
{
    return folderview::findListIndex(fileNames(), fileName);
}

// --- Drive box and folder list -------------------------------------------------------

void FolderViewPage::fillDriveBox()
{
    driveBox_->clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    roots.sort();
    roots.append(QDir::homePath());
    for (const QString &root : roots)
        driveBox_->addItem(nativeClean(root), nativeClean(root));
}

void FolderViewPage::driveChosen(int index)
{
    const QString root = driveBox_->itemData(index).toString();
    changeFolder(m_lastFolderOfDrive.value(root, root));
}

void FolderViewPage::fillFolderList()
{
    folderList_->setUpdatesEnabled(false);
    folderList_->clear();
    // The path from the root down to the folder, then the folder's own sub-folders.
    QStringList chain;
    for (QDir dir(m_currentFolder);;) {
        chain.prepend(nativeClean(dir.absolutePath()));
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &path : chain) {
        const QString name = QDir(path).isRoot() ? path : QFileInfo(path).fileName();
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, folderList_);
        item->setData(kPathRole, path);
        ++depth;
    }
    const QStringList subFolders = listSubFolders(m_currentFolder);
    for (const QString &name : subFolders) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, folderList_);
        item->setData(kPathRole, nativeClean(QDir(m_currentFolder).filePath(name)));
    }
    if (!chain.isEmpty())
        folderList_->setCurrentRow(int(chain.size()) - 1);
    folderList_->setUpdatesEnabled(true);
}

void FolderViewPage::openChosenFolder(QListWidgetItem *item)
{
    if (item)
        changeFolder(item->data(kPathRole).toString());
}

bool FolderViewPage::settleEditsBeforeLeaving()
{
    return m_frame.isStarting() || m_frame.askSaveChanges() != platform::Answer::Cancel;
}

void FolderViewPage::changeFolder(const QString &folder)
{
    if (!settleEditsBeforeLeaving()) {
        showFolderPlace();
        return;
    }
    // A vanished folder shows its nearest parent.
    QString target = platform::nearestExistingFolder(nativeClean(folder));
    if (target.isEmpty())
        target = nativeClean(QDir::homePath());
    m_currentFolder = target;
    showFolderPlace();
    filesLabel_->setText(m_currentFolder);
    rereadFileList();
    folderChosen();
}

void FolderViewPage::showFolderPlace()
{
    fillFolderList();
    // The drive box follows: the volume whose root holds the folder, the longest one.
    int driveIndex = -1;
    qsizetype longest = -1;
    for (int i = 0; i < driveBox_->count(); ++i) {
        const QString root = driveBox_->itemData(i).toString();
        const QString withSep = platform::WithTrailingBackslash(root);
        if ((m_currentFolder == root || m_currentFolder.startsWith(withSep))
            && root.size() > longest) {
            longest = root.size();
            driveIndex = i;
        }
    }
    if (driveIndex >= 0) {
        driveBox_->setCurrentIndex(driveIndex);
        m_lastFolderOfDrive.insert(driveBox_->itemData(driveIndex).toString(), m_currentFolder);
    }
}

void FolderViewPage::folderChosen()
{
    if (isInThumbFolder(m_currentFolder)) {
        m_frame.setPagesEnabled(false);
        // At start-up the window is not on the screen yet: the box waits for it.
        if (m_frame.isStarting())
            QTimer::singleShot(0, this, &FolderViewPage::refuseThumbFolder);
        else
            refuseThumbFolder();
        return;
    }
    m_frame.setPagesEnabled(true);
    m_frame.clearViews();
    m_frame.updateStatus();
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
    const frame::Settings &settings = m_frame.settings();
    setFilterText(settings.allowedExtensions);
    acceptFilterKindsAsPages(settings.allowedExtensions);
    fillDriveBox();
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
        m_frame.setMainWindowEnabled(true);
        return true;
    }
    if (item != frame::JumpToFolder)
        return false;
    const QString file = m_frame.currentFile();
    // Found by the folder's bytes: a Latin-1 folder name is no folder to QFileInfo.
    if (platform::fileState(QFileInfo(file).absolutePath()).kind == platform::FileState::Folder)
        jumpToFileAndFolder(file);
    else
        platform::dialogs().ShowInfo(QStringLiteral("Folder \"%1\" not found.").arg(file));
    return true;
}

void FolderViewPage::setSaveButtons(bool saveEnabled, bool saveAsEnabled)
{
    saveButton_->setEnabled(saveEnabled);
    saveAsButton_->setEnabled(saveAsEnabled);
}

bool FolderViewPage::saveEnabled() const
{
    return saveButton_->isEnabled();
}

void FolderViewPage::showSavedCopy(const QString &path)
{
    rereadFileList();
    const int row = findListIndex(platform::fileNamePart(path));
    if (row >= 0) {
        // Only selected: the viewer stays on the file it has.
        const QSignalBlocker blocker(fileList_);
        fileList_->setCurrentRow(row);
    }
    fileList_->setFocus();
}

void FolderViewPage::activate()
{
    filesLabel_->setText(m_currentFolder);
}

// --- Filter and file list ---------------------------------------------------------------

void FolderViewPage::setFilterText(const QString &filterText)
{
    filterBox_->blockSignals(true);
    m_filterMasks.clear();
    filterBox_->clear();
    for (const FilterPair &entry : parseFilterText(filterText)) {
        filterBox_->addItem(entry.description);
        m_filterMasks.append(entry.mask);
    }
    filterBox_->blockSignals(false);
    fitFolderPanel();
    filterChosen(filterBox_->count() > 0 ? 0 : -1);
}

// The panel is 163 pixels wide, or wider where the platform's font needs it to show the
// filter entries whole.
void FolderViewPage::fitFolderPanel()
{
    constexpr int kPanelWidth = 163;
    m_folderPanel->setMinimumWidth(
        std::max(kPanelWidth, filterBox_->sizeHint().width() + kBoxMargin));
}

// Narrower boxes are centred in the panel's column.
void FolderViewPage::fileManagerResized()
{
    const int width = std::max(0, m_folderPanel->width() - kBoxMargin);
    driveBox_->setMaximumWidth(width);
    filterBox_->setMaximumWidth(width);
}

void FolderViewPage::filterChosen(int index)
{
    if (!settleEditsBeforeLeaving()) {
        const QSignalBlocker blocker(filterBox_);
        filterBox_->setCurrentIndex(m_filterIndex);
        return;
    }
    m_filterIndex = index;
    m_currentMask = index >= 0 && index < m_filterMasks.size() ? m_filterMasks.at(index)
                                                               : QStringLiteral("*.*");
    // A zero-width space after each ";" lets a long mask wrap inside the narrow panel.
    QString shown = m_currentMask;
    shown.replace(QLatin1Char(';'), QStringLiteral(";\u200B"));
    filterTitle_->setText(QStringLiteral(" Filter: ") + shown);
    filterTitle_->setToolTip(m_currentMask);
    filterTitle_->repaint();
    if (!m_currentFolder.isEmpty())
        rereadFileList();
    if (m_frame.isStarting())
        return;
    m_frame.clearViews();
    m_frame.updateStatus();
}

void FolderViewPage::rereadFileList()
{
    const QStringList names = listMatchingFiles(m_currentFolder, m_currentMask);
    fileList_->setUpdatesEnabled(false);
    const bool blocked = fileList_->blockSignals(true);
    fileList_->clear();
    fileList_->addItems(names);
    fileList_->blockSignals(blocked);
    fileList_->setUpdatesEnabled(true);
    applyFileIcons();
    Q_EMIT fileListChanged(m_currentFolder, names);
    // No question here: a change of folder or filter has settled the editor's changes first,
    // and a list read again after a copy or a delete keeps them in the views.
}

// The shell's icons of the files, one look-up per extension, or none when they are switched off.
void FolderViewPage::applyFileIcons()
{
    const bool show = m_frame.settings().showFileIcons;
    fileList_->setUpdatesEnabled(false);
    QFileIconProvider icons;
    QHash<QString, QIcon> bySuffix;
    const QDir dir(m_currentFolder);
    for (int i = 0; i < fileList_->count(); ++i) {
        QListWidgetItem *item = fileList_->item(i);
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
    fileList_->setUpdatesEnabled(true);
}

// A new current entry, by a key or a button pressed on the list, or by a jump or a delete.
// The question's window may take the release of that press: the rest waits until the press
// is through.
void FolderViewPage::fileSelectionChanged()
{
    m_entryChangedSincePress = true;
    if (m_frame.isStarting())
        return;
    const std::optional<platform::Answer> answer = m_frame.askSaveChangesBeforeShowing();
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
        && m_frame.askSaveChangesBeforeShowing() == platform::Answer::Cancel) {
        returnToEditedFile();
        return;
    }
    showChosenFile();
}

void FolderViewPage::showChosenFile()
{
    // Left for another page meanwhile, the views are that page's to fill.
    if (m_frame.activePage() != this)
        return;
    m_frame.updateStatus();
    m_frame.showFileInViews(false);
    m_frame.setViewerButtonState();
}

void FolderViewPage::returnToEditedFile()
{
    const QString edited = m_frame.viewerFile();
    int row = -1;
    for (int i = 0; i < fileList_->count() && row < 0 && !edited.isEmpty(); ++i)
        if (entryPath(i, false) == edited)
            row = i;
    {
        const QSignalBlocker blocker(fileList_);
        fileList_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        if (row < 0)
            fileList_->clearSelection();
    }
    m_frame.updateStatus();
}

bool FolderViewPage::handleFileListKey(QKeyEvent *event, bool released)
{
    if (released) {
        if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier)
            fileList_->selectAll();
        afterFileListInteraction();
        return false;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_frame.openCurrentFile();
        return true;
    }
    if (event->key() == Qt::Key_Delete) {
        deleteSelectedFiles();
        return true;
    }
    return false;
}

// --- Views --------------------------------------------------------------------------------

void FolderViewPage::showMiniThumb(const QString &page)
{
    const auto style = platform::nativePathStyle();
    const QString thumb = page.isEmpty()
        ? QString()
        : imaging::ThumbFileFor(thumbFolder(), platform::folderPart(page, style), page, style);
    const QImage image
        = thumb.isEmpty() || !QFileInfo::exists(thumb) ? QImage() : imaging::readJpeg(thumb);
    if (image.isNull())
        miniThumb_->clear();
    else
        miniThumb_->setPixmap(QPixmap::fromImage(image));
    miniThumbPanel_->repaint();
}

void FolderViewPage::clearMiniThumb()
{
    miniThumb_->clear();
}

void FolderViewPage::showInBrowserPanel(QWidget *borrowed)
{
    m_browserPlaceholder->hide();
    browserPanel_->layout()->addWidget(borrowed);
    borrowed->show();
}

bool FolderViewPage::browserSwitchDown() const
{
    return browserButton_->isChecked();
}

void FolderViewPage::jumpToFileAndFolder(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (platform::fileState(info.absolutePath()).kind != platform::FileState::Folder)
        return;
    const auto answer = m_frame.askSaveChanges();
    if (answer == platform::Answer::Cancel)
        return;
    if (answer == platform::Answer::No) {
        m_frame.clearViews();
        m_frame.updateStatus();
    }
    m_frame.setActivePage(this);
    changeFolder(info.absolutePath());
    if (platform::fileState(path).kind == platform::FileState::Missing)
        return;
    const int index = findListIndex(info.fileName());
    if (index < 0)
        return;
    fileList_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    if (fileList_->isVisible())
        fileList_->setFocus();
}

// --- File operations ---------------------------------------------------------------------

void FolderViewPage::deleteSelectedFiles()
{
    // The editor's changes are settled before any file goes: saved afterwards, they would
    // bring back a deleted file behind the list's back.
    const DeleteResult result
        = folderview::deleteSelectedFiles(m_frame, m_frame.settings().useRecycleBin,
            [this] { return m_frame.askSaveChanges() != platform::Answer::Cancel; });
    if (!result.confirmed)
        return;
    rereadFileList();
    if (m_frame.activePage() == this) {
        // The new current entry first, so that the views and the counts show the list as it is.
        const int current = std::min(result.lastDeletedIndex, fileList_->count() - 1);
        if (current >= 0)
            fileList_->setCurrentRow(current);
        m_frame.showFileInViews(false);
        m_frame.setViewerButtonState();
    }
    m_frame.updateStatus();
}

void FolderViewPage::copySelectedFiles()
{
    frame::BatchProgress *progress = m_frame.progressWindow();
    if (!progress)
        return;
    const CopyResult result = folderview::copySelectedFiles(m_frame, m_frame.settings().copyPath,
        *progress, [this](bool enabled) { m_frame.setMainWindowEnabled(enabled); });
    const QString copied = result.singleTarget;
    if (copied.isEmpty())
        return;
    if (nativeClean(QFileInfo(copied).absolutePath()) != m_currentFolder)
        return;
    rereadFileList();
    const int index = findListIndex(QFileInfo(copied).fileName());
    if (index >= 0) {
        // Only selected, as a copy saved from the editor is: the views keep what they show.
        const QSignalBlocker blocker(fileList_);
        fileList_->setCurrentRow(index);
    }
    if (fileList_->isVisible())
        fileList_->setFocus();
}

void FolderViewPage::handleDroppedFiles(const QStringList &paths)
{
    if (!paths.isEmpty())
        jumpToFileAndFolder(platform::AcceptDroppedFiles(paths));
}

} // namespace folderview
