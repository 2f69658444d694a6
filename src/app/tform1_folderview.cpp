// The folder view of the main window: drive, folder, filter and file list, the hand-off
// of the current file to the viewer, and the file operations on the selection.
#include "app/tform1.h"

#include "app/thumblistmodel.h"
#include "folderview/fileops.h"
#include "folderview/folderlisting.h"
#include "folderview/formprogress.h"
#include "platform/dialogs.h"
#include "platform/jpegcodec.h"
#include "platform/pathrules.h"
#include "thumbs/thumbstore.h"
#include "viewer/tformview.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QStorageInfo>
#include <QTabWidget>

namespace app {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString nativeClean(const QString &path) { return QDir::toNativeSeparators(QDir::cleanPath(path)); }

// The nearest folder of the path that still exists, so a vanished folder shows its parent.
QString existingFolderOf(QString folder)
{
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            return {};
        folder = parent;
    }
    return folder;
}

} // namespace

bool TForm1::IsInThumbFolder(const QString &folder) const
{
    return folderview::IsInThumbFolder(folder, thumbFolder(), platform::nativePathStyle());
}

int TForm1::FindListIndex(const QString &fileName) const
{
    QStringList names;
    names.reserve(LBFile->count());
    for (int i = 0; i < LBFile->count(); ++i)
        names.append(LBFile->item(i)->text());
    return folderview::FindListIndex(names, fileName);
}

// --- Drive box and folder list -------------------------------------------------------

void TForm1::fillDriveBox()
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

void TForm1::CBDriveChange(int index)
{
    const QString root = CBDrive->itemData(index).toString();
    changeFolder(m_lastFolderOfDrive.value(root, root));
}

void TForm1::fillFolderList()
{
    LBDir->setUpdatesEnabled(false);
    LBDir->clear();
    // The path from the root down to the folder, then the folder's own sub-folders.
    QStringList chain;
    for (QDir dir(m_currentFolder);; ) {
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
    const QStringList subFolders =
        QDir(m_currentFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subFolders) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, LBDir);
        item->setData(kPathRole, nativeClean(QDir(m_currentFolder).filePath(name)));
    }
    if (!chain.isEmpty())
        LBDir->setCurrentRow(int(chain.size()) - 1);
    LBDir->setUpdatesEnabled(true);
}

void TForm1::LBDirXClick(QListWidgetItem *item)
{
    if (item)
        changeFolder(item->data(kPathRole).toString());
}

void TForm1::changeFolder(const QString &folder)
{
    QString target = existingFolderOf(nativeClean(folder));
    if (target.isEmpty())
        target = nativeClean(QDir::homePath());
    m_currentFolder = target;
    fillFolderList();
    setFolderLabel();
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

void TForm1::LBDirXChange()
{
    if (IsInThumbFolder(m_currentFolder)) {
        platform::dialogs().ShowInfo(
            QStringLiteral("Sorry, access denied. This is your thumbnail folder.\n"
                           "Please choose another folder ..."));
        PageControl1->setEnabled(false);
        return;
    }
    PageControl1->setEnabled(true);
    sizeThumbList();
    ClearViews();
    UpdateStatus();
}

void TForm1::setFolderLabel()
{
    LabelFiles->setText(m_currentFolder);
    LabelThumbs->setText(m_currentFolder);
}

// --- Filter and file list ---------------------------------------------------------------

void TForm1::CBFilterChange(int index)
{
    m_currentMask = index >= 0 && index < m_filterMasks.size() ? m_filterMasks.at(index)
                                                                : QStringLiteral("*.*");
    PanelFilterTop->setText(QStringLiteral(" Filter: ") + m_currentMask);
    PanelFilterTop->setToolTip(m_currentMask);
    PanelFilterTop->repaint();
    if (!m_currentFolder.isEmpty())
        rereadFileList();
    if (m_starting)
        return;
    sizeThumbList();
    ClearViews();
    UpdateStatus();
}

void TForm1::rereadFileList()
{
    const QStringList names = folderview::listMatchingFiles(m_currentFolder, m_currentMask);
    LBFile->setUpdatesEnabled(false);
    const bool blocked = LBFile->blockSignals(true);
    LBFile->clear();
    LBFile->addItems(names);
    if (m_settings.DoShowFileIcons) {
        QFileIconProvider icons;
        QHash<QString, QIcon> bySuffix;
        const QDir dir(m_currentFolder);
        for (int i = 0; i < LBFile->count(); ++i) {
            QListWidgetItem *item = LBFile->item(i);
            const QString suffix = QFileInfo(item->text()).suffix().toLower();
            auto found = bySuffix.find(suffix);
            if (found == bySuffix.end())
                found = bySuffix.insert(suffix, icons.icon(QFileInfo(dir.filePath(item->text()))));
            item->setIcon(found.value());
        }
    }
    LBFile->blockSignals(blocked);
    LBFile->setUpdatesEnabled(true);
    LBFileChange();
}

void TForm1::LBFileChange()
{
    if (!m_starting)
        AskSaveChanges(); // Cancel acts as No here: the selection change goes ahead.
}

void TForm1::afterFileListInteraction()
{
    UpdateStatus();
    ShowFileInViews(false);
    if (m_viewer)
        m_viewer->SetButtonState();
}

bool TForm1::handleFileListKey(QKeyEvent *event, bool released)
{
    if (released) {
        if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier)
            LBFile->selectAll();
        afterFileListInteraction();
        return false;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        DblClickForAll();
        return true;
    }
    if (event->key() == Qt::Key_Delete) {
        DeleteSelectedFiles();
        return true;
    }
    return false;
}

void TForm1::sizeThumbList()
{
    QStringList names;
    names.reserve(LBFile->count());
    for (int i = 0; i < LBFile->count(); ++i)
        names.append(LBFile->item(i)->text());
    m_thumbModel->setNames(names);
}

// --- Views --------------------------------------------------------------------------------

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
    ShowMiniThumb(newFile);
    if (m_viewer) {
        m_viewer->LoadFileIntoViewer(newFile);
        m_viewer->SetREToNotModified();
    }
}

void TForm1::ClearViews()
{
    ImgMini->clear();
    if (m_viewer)
        m_viewer->clearViewer();
}

void TForm1::ShowMiniThumb(const QString &page)
{
    const auto style = platform::nativePathStyle();
    const QString thumb = page.isEmpty() ? QString()
                                         : thumbs::ThumbFileFor(thumbFolder(), platform::folderPart(page, style),
                                                                page, style);
    const QImage image = thumb.isEmpty() || !QFileInfo::exists(thumb) ? QImage()
                                                                       : platform::readJpeg(thumb);
    if (image.isNull())
        ImgMini->clear();
    else
        ImgMini->setPixmap(QPixmap::fromImage(image));
    PanelActThumb->repaint();
}

void TForm1::JumpToFileAndFolder(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return;
    const int answer = AskSaveChanges();
    if (answer == platform::Dialogs::Cancel)
        return;
    if (answer == platform::Dialogs::No) {
        ClearViews();
        UpdateStatus();
    }
    PageControl1->setCurrentIndex(FolderViewPage);
    changeFolder(info.absolutePath());
    if (!info.exists())
        return;
    const int index = FindListIndex(info.fileName());
    if (index < 0)
        return;
    LBFile->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    if (LBFile->isVisible())
        LBFile->setFocus();
}

// --- File operations ---------------------------------------------------------------------

void TForm1::DeleteSelectedFiles()
{
    const folderview::DeleteResult result = folderview::DeleteSelectedFiles(*this, m_settings.DoRecycleBin);
    if (!result.confirmed)
        return;
    const int page = PageControl1->currentIndex();
    if (page != FolderViewPage && page != ThumbnailViewPage)
        return;
    rereadFileList();
    if (page == FolderViewPage) {
        ShowFileInViews(false);
        const int current = std::min(result.lastDeletedIndex, LBFile->count() - 1);
        if (current >= 0)
            LBFile->setCurrentRow(current);
    }
    sizeThumbList();
}

void TForm1::CopySelectedFiles()
{
    if (!m_progress)
        return;
    const folderview::CopyResult result = folderview::CopySelectedFiles(
        *this, m_settings.COPYPATH, *m_progress, [this](bool enabled) { setEnabled(enabled); });
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
    sizeThumbList();
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
    JumpToFileAndFolder(folderview::AcceptDroppedFiles(paths));
}

} // namespace app
