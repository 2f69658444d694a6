// The folder view: drive, folder, filter and file list, the hand-off of the current file to
// the views, and the file operations on the selection.
#include "folderview/folderviewpage.h"

#include "engine/localfiles.h"
#include "frame/pageframe.h"
#include "folderview/fileops.h"
#include "folderview/folderlisting.h"
#include "kit/panels.h"
#include "platform/dialogs.h"
#include "imaging/jpegcodec.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"
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

// The nearest folder of the path that still exists, so a vanished folder shows its parent.
QString existingFolderOf(QString folder)
{
    while (!folder.isEmpty() && platform::fileState(folder).kind != platform::FileState::Folder) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            return {};
        folder = parent;
    }
    return folder;
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
    engine::setExtraPageTest([mask = FileMask(masks.join(QLatin1Char(';')))](
                                 const QString &name) { return mask.matches(name); });
}

} // namespace

FolderViewPage::FolderViewPage(app::PageFrame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    buildFolderPanel();
    buildFileTab();
    connectControls();
}

void FolderViewPage::connectControls()
{
    LBFile->installEventFilter(this);
    LBFile->viewport()->installEventFilter(this);
    for (QWidget *w : { static_cast<QWidget *>(LBDir), static_cast<QWidget *>(CBDrive) })
        w->installEventFilter(this);
    ImgMini->installEventFilter(this);
    m_folderPanel->installEventFilter(this);

    connect(CBDrive, &QComboBox::activated, this, &FolderViewPage::CBDriveChange);
    connect(LBDir, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (m_frame.settings().DoOpenOnSingleClick)
            LBDirXClick(item);
    });
    connect(LBDir, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (!m_frame.settings().DoOpenOnSingleClick)
            LBDirXClick(item);
    });
    connect(CBFilter, &QComboBox::currentIndexChanged, this, &FolderViewPage::CBFilterChange);
    for (QWidget *w : { static_cast<QWidget *>(LBFile), static_cast<QWidget *>(ImgMini) }) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint &pos) { m_frame.showContextMenu(w->mapToGlobal(pos)); });
    }
    connect(LBFile, &QListWidget::currentRowChanged, this, [this] { LBFileChange(); });
    connect(LBFile, &QListWidget::itemDoubleClicked, this, [this] { m_frame.DblClickForAll(); });
    connect(m_viewSwitch, &QButtonGroup::buttonClicked, this, &FolderViewPage::viewSwitchClicked);
    connect(BSave, &QPushButton::clicked, this, &FolderViewPage::saveClicked);
    connect(BSaveAs, &QPushButton::clicked, this, &FolderViewPage::saveAsClicked);
}

bool FolderViewPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == LBFile || watched == LBFile->viewport()) {
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)
            m_entryChangedSincePress = false;
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            if (handleFileListKey(static_cast<QKeyEvent *>(event), type == QEvent::KeyRelease))
                return true;
        } else if (type == QEvent::MouseButtonRelease) {
            afterFileListInteraction();
        } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            kit::setFocusMark(PanelFileTop, type == QEvent::FocusIn);
        }
    } else if (watched == LBDir || watched == CBDrive) {
        if (type == QEvent::FocusIn || type == QEvent::FocusOut)
            kit::setFocusMark(PanelDirectoryTop, type == QEvent::FocusIn);
        // Enter opens the chosen folder, as a click would.
        if (watched == LBDir && type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                LBDirXClick(LBDir->currentItem());
                return true;
            }
        }
    } else if (watched == ImgMini && type == QEvent::MouseButtonDblClick) {
        Q_EMIT miniThumbDoubleClicked();
    } else if (watched == m_folderPanel && type == QEvent::Resize) {
        PanelDateiManagerResize();
    }
    return QWidget::eventFilter(watched, event);
}

// --- Selection queries ---------------------------------------------------------------

QString FolderViewPage::CurrentFile() const
{
    if (selectedRowCount(LBFile) >= 2 || !LBFile->currentItem())
        return {};
    return platform::WithTrailingBackslash(m_currentFolder) + LBFile->currentItem()->text();
}

SelectionCount FolderViewPage::SelectionCounts() const
{
    return { this, selectedRowCount(LBFile), LBFile->count() };
}

QString FolderViewPage::EntryPath(int index, bool onlySelected) const
{
    const QListWidgetItem *item = index < 0 ? nullptr : LBFile->item(index);
    if (!item || (onlySelected && !item->isSelected()))
        return {};
    return platform::WithTrailingBackslash(m_currentFolder) + item->text();
}

QStringList FolderViewPage::fileNames() const
{
    QStringList names;
    names.reserve(LBFile->count());
    for (int i = 0; i < LBFile->count(); ++i)
        names.append(LBFile->item(i)->text());
    return names;
}

QString FolderViewPage::thumbFolder() const
{
    return app::thumbFolderOf(m_frame.dataFolder());
}

bool FolderViewPage::IsInThumbFolder(const QString &folder) const
{
    return folderview::IsInThumbFolder(folder, thumbFolder(), platform::nativePathStyle());
}

int FolderViewPage::FindListIndex(const QString &fileName) const
{
    return folderview::FindListIndex(fileNames(), fileName);
}

// --- Drive box and folder list -------------------------------------------------------

void FolderViewPage::fillDriveBox()
{
    CBDrive->clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    roots.sort();
    roots.append(QDir::homePath());
    for (const QString &root : roots)
        CBDrive->addItem(nativeClean(root), nativeClean(root));
}

void FolderViewPage::CBDriveChange(int index)
{
    const QString root = CBDrive->itemData(index).toString();
    changeFolder(m_lastFolderOfDrive.value(root, root));
}

void FolderViewPage::fillFolderList()
{
    LBDir->setUpdatesEnabled(false);
    LBDir->clear();
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
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, LBDir);
        item->setData(kPathRole, path);
        ++depth;
    }
    const QStringList subFolders = listSubFolders(m_currentFolder);
    for (const QString &name : subFolders) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, LBDir);
        item->setData(kPathRole, nativeClean(QDir(m_currentFolder).filePath(name)));
    }
    if (!chain.isEmpty())
        LBDir->setCurrentRow(int(chain.size()) - 1);
    LBDir->setUpdatesEnabled(true);
}

void FolderViewPage::LBDirXClick(QListWidgetItem *item)
{
    if (item)
        changeFolder(item->data(kPathRole).toString());
}

void FolderViewPage::changeFolder(const QString &folder)
{
    QString target = existingFolderOf(nativeClean(folder));
    if (target.isEmpty())
        target = nativeClean(QDir::homePath());
    m_currentFolder = target;
    fillFolderList();
    LabelFiles->setText(m_currentFolder);
    // The drive box follows: the volume whose root holds the folder, the longest one.
    int driveIndex = -1;
    qsizetype longest = -1;
    for (int i = 0; i < CBDrive->count(); ++i) {
        const QString root = CBDrive->itemData(i).toString();
        const QString withSep = platform::WithTrailingBackslash(root);
        if ((target == root || target.startsWith(withSep)) && root.size() > longest) {
            longest = root.size();
            driveIndex = i;
        }
    }
    if (driveIndex >= 0) {
        CBDrive->setCurrentIndex(driveIndex);
        m_lastFolderOfDrive.insert(CBDrive->itemData(driveIndex).toString(), target);
    }
    rereadFileList();
    LBDirXChange();
}

void FolderViewPage::LBDirXChange()
{
    if (IsInThumbFolder(m_currentFolder)) {
        m_frame.setPagesEnabled(false);
        // At start-up the window is not on the screen yet: the box waits for it.
        if (m_frame.Starting())
            QTimer::singleShot(0, this, &FolderViewPage::refuseThumbFolder);
        else
            refuseThumbFolder();
        return;
    }
    m_frame.setPagesEnabled(true);
    m_frame.ClearViews();
    m_frame.UpdateStatus();
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
    const app::Settings &settings = m_frame.settings();
    setFilterText(settings.ALLOWED_EXTENSIONS);
    acceptFilterKindsAsPages(settings.ALLOWED_EXTENSIONS);
    fillDriveBox();
    changeFolder(settings.VIEW_PATH);
}

bool FolderViewPage::offersContextItem(app::ContextItem item) const
{
    return item != app::JumpToFolder;
}

bool FolderViewPage::runContextItem(app::ContextItem item)
{
    if (item == app::CopyFilesTo) {
        CopySelectedFiles();
        m_frame.setMainWindowEnabled(true);
        return true;
    }
    if (item != app::JumpToFolder)
        return false;
    const QString file = m_frame.CurrentFile();
    if (QFileInfo(QFileInfo(file).absolutePath()).isDir())
        JumpToFileAndFolder(file);
    else
        platform::dialogs().ShowInfo(QStringLiteral("Folder \"%1\" not found.").arg(file));
    return true;
}

void FolderViewPage::setSaveButtons(bool saveEnabled, bool saveAsEnabled)
{
    BSave->setEnabled(saveEnabled);
    BSaveAs->setEnabled(saveAsEnabled);
}

bool FolderViewPage::saveEnabled() const
{
    return BSave->isEnabled();
}

void FolderViewPage::showSavedCopy(const QString &path)
{
    rereadFileList();
    const int row = FindListIndex(platform::fileNamePart(path));
    if (row >= 0) {
        // Only selected: the viewer stays on the file it has.
        const QSignalBlocker blocker(LBFile);
        LBFile->setCurrentRow(row);
    }
    LBFile->setFocus();
}

void FolderViewPage::activate()
{
    LabelFiles->setText(m_currentFolder);
}

// --- Filter and file list ---------------------------------------------------------------

void FolderViewPage::setFilterText(const QString &filterText)
{
    CBFilter->blockSignals(true);
    m_filterMasks.clear();
    CBFilter->clear();
    for (const FilterPair &entry : parseFilterText(filterText)) {
        CBFilter->addItem(entry.description);
        m_filterMasks.append(entry.mask);
    }
    CBFilter->blockSignals(false);
    fitFolderPanel();
    CBFilterChange(CBFilter->count() > 0 ? 0 : -1);
}

// The panel is 163 pixels wide, or wider where the platform's font needs it to show the
// filter entries whole.
void FolderViewPage::fitFolderPanel()
{
    constexpr int kPanelWidth = 163;
    m_folderPanel->setMinimumWidth(
        std::max(kPanelWidth, CBFilter->sizeHint().width() + kBoxMargin));
}

// Narrower boxes are centred in the panel's column.
void FolderViewPage::PanelDateiManagerResize()
{
    const int width = std::max(0, m_folderPanel->width() - kBoxMargin);
    CBDrive->setMaximumWidth(width);
    CBFilter->setMaximumWidth(width);
}

void FolderViewPage::CBFilterChange(int index)
{
    m_currentMask = index >= 0 && index < m_filterMasks.size() ? m_filterMasks.at(index)
                                                               : QStringLiteral("*.*");
    // A zero-width space after each ";" lets a long mask wrap inside the narrow panel.
    QString shown = m_currentMask;
    shown.replace(QLatin1Char(';'), QStringLiteral(";\u200B"));
    PanelFilterTop->setText(QStringLiteral(" Filter: ") + shown);
    PanelFilterTop->setToolTip(m_currentMask);
    PanelFilterTop->repaint();
    if (!m_currentFolder.isEmpty())
        rereadFileList();
    if (m_frame.Starting())
        return;
    m_frame.ClearViews();
    m_frame.UpdateStatus();
}

void FolderViewPage::rereadFileList()
{
    const QStringList names = listMatchingFiles(m_currentFolder, m_currentMask);
    LBFile->setUpdatesEnabled(false);
    const bool blocked = LBFile->blockSignals(true);
    LBFile->clear();
    LBFile->addItems(names);
    LBFile->blockSignals(blocked);
    LBFile->setUpdatesEnabled(true);
    applyFileIcons();
    Q_EMIT fileListChanged(m_currentFolder, names);
    LBFileChange();
}

// The shell's icons of the files, one look-up per extension, or none when they are switched off.
void FolderViewPage::applyFileIcons()
{
    const bool show = m_frame.settings().DoShowFileIcons;
    LBFile->setUpdatesEnabled(false);
    QFileIconProvider icons;
    QHash<QString, QIcon> bySuffix;
    const QDir dir(m_currentFolder);
    for (int i = 0; i < LBFile->count(); ++i) {
        QListWidgetItem *item = LBFile->item(i);
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
    LBFile->setUpdatesEnabled(true);
}

void FolderViewPage::LBFileChange()
{
    if (!m_frame.Starting())
        m_frame.AskSaveChanges(); // Cancel acts as No here: the selection change goes ahead.
    m_entryChangedSincePress = true;
}

void FolderViewPage::afterFileListInteraction()
{
    m_frame.UpdateStatus();
    // The current entry may name another file than the editor holds (a copy just saved
    // under a new name is selected): a click that loads it must ask as a change would.
    if (!std::exchange(m_entryChangedSincePress, false)
        && m_frame.AskSaveChangesBeforeShowing() == platform::Answer::Cancel)
        return;
    m_frame.ShowFileInViews(false);
    m_frame.SetViewerButtonState();
}

bool FolderViewPage::handleFileListKey(QKeyEvent *event, bool released)
{
    if (released) {
        if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier)
            LBFile->selectAll();
        afterFileListInteraction();
        return false;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_frame.DblClickForAll();
        return true;
    }
    if (event->key() == Qt::Key_Delete) {
        DeleteSelectedFiles();
        return true;
    }
    return false;
}

// --- Views --------------------------------------------------------------------------------

void FolderViewPage::ShowMiniThumb(const QString &page)
{
    const auto style = platform::nativePathStyle();
    const QString thumb = page.isEmpty()
        ? QString()
        : thumbs::ThumbFileFor(thumbFolder(), platform::folderPart(page, style), page, style);
    const QImage image
        = thumb.isEmpty() || !QFileInfo::exists(thumb) ? QImage() : platform::readJpeg(thumb);
    if (image.isNull())
        ImgMini->clear();
    else
        ImgMini->setPixmap(QPixmap::fromImage(image));
    PanelActThumb->repaint();
}

void FolderViewPage::clearMiniThumb()
{
    ImgMini->clear();
}

void FolderViewPage::showInPanel1(QWidget *borrowed)
{
    m_panel1Placeholder->hide();
    Panel1->layout()->addWidget(borrowed);
    borrowed->show();
}

bool FolderViewPage::browserSwitchDown() const
{
    return SBBrowser->isChecked();
}

void FolderViewPage::JumpToFileAndFolder(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (platform::fileState(info.absolutePath()).kind != platform::FileState::Folder)
        return;
    const auto answer = m_frame.AskSaveChanges();
    if (answer == platform::Answer::Cancel)
        return;
    if (answer == platform::Answer::No) {
        m_frame.ClearViews();
        m_frame.UpdateStatus();
    }
    m_frame.setActivePage(this);
    changeFolder(info.absolutePath());
    if (platform::fileState(path).kind == platform::FileState::Missing)
        return;
    const int index = FindListIndex(info.fileName());
    if (index < 0)
        return;
    LBFile->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    if (LBFile->isVisible())
        LBFile->setFocus();
}

// --- File operations ---------------------------------------------------------------------

void FolderViewPage::DeleteSelectedFiles()
{
    // The editor's changes are settled before any file goes: saved afterwards, they would
    // bring back a deleted file behind the list's back.
    const DeleteResult result
        = folderview::DeleteSelectedFiles(m_frame, m_frame.settings().DoRecycleBin,
            [this] { return m_frame.AskSaveChanges() != platform::Answer::Cancel; });
    if (!result.confirmed)
        return;
    rereadFileList();
    if (m_frame.activePage() == this) {
        // The new current entry first, so that the views and the counts show the list as it is.
        const int current = std::min(result.lastDeletedIndex, LBFile->count() - 1);
        if (current >= 0)
            LBFile->setCurrentRow(current);
        m_frame.ShowFileInViews(false);
        m_frame.SetViewerButtonState();
    }
    m_frame.UpdateStatus();
}

void FolderViewPage::CopySelectedFiles()
{
    BatchProgress *progress = m_frame.progressWindow();
    if (!progress)
        return;
    const CopyResult result = folderview::CopySelectedFiles(m_frame, m_frame.settings().COPYPATH,
        *progress, [this](bool enabled) { m_frame.setMainWindowEnabled(enabled); });
    const QString copied = result.singleTarget;
    if (copied.isEmpty())
        return;
    if (nativeClean(QFileInfo(copied).absolutePath()) != m_currentFolder)
        return;
    rereadFileList();
    const int index = FindListIndex(QFileInfo(copied).fileName());
    if (index >= 0)
        LBFile->setCurrentRow(index);
    if (LBFile->isVisible())
        LBFile->setFocus();
}

void FolderViewPage::handleDroppedFiles(const QStringList &paths)
{
    if (!paths.isEmpty())
        JumpToFileAndFolder(AcceptDroppedFiles(paths));
}

} // namespace folderview
