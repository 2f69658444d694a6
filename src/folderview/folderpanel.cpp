// The folder panel: drive, folder, filter and the thumbnail corner.
#include "folderview/folderpanel.h"

#include "folderview/folderlisting.h"
#include "frame/configuration.h"
#include "frame/datafolders.h"
#include "frame/settings.h"
#include "imaging/jpegcodec.h"
#include "imaging/thumbstore.h"
#include "kit/panels.h"
#include "platform/filerules.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace folderview {

namespace {

constexpr int kPathRole = Qt::UserRole;
// The drive box and the filter box are this much narrower than the folder panel.
constexpr int kBoxMargin = 4;

QString nativeClean(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

} // namespace

FolderPanel::FolderPanel(
    frame::Configuration &configuration, std::function<bool()> mayLeave, QWidget *parent)
    : QWidget(parent)
    , m_configuration(configuration)
    , m_mayLeave(std::move(mayLeave))
{
    buildLayout();
    connectControls();
}

void FolderPanel::buildLayout()
{
    setObjectName(QStringLiteral("PanelDateiManager"));
    QVBoxLayout *column = kit::tightColumn(this);

    folderTitle_ = kit::titleBar(QStringLiteral("Folder Selection"), this);
    folderTitle_->setObjectName(QStringLiteral("PanelDirectoryTop"));
    column->addWidget(folderTitle_);
    driveBox_ = new QComboBox(this);
    driveBox_->setObjectName(QStringLiteral("CBDrive"));
    driveBox_->setToolTip(QStringLiteral("Select File(s):"));
    column->addWidget(driveBox_);
    folderList_ = new QListWidget(this);
    folderList_->setObjectName(QStringLiteral("LBDir"));
    column->addWidget(folderList_, 1);
    filterTitle_ = kit::titleBar(QStringLiteral("Filter: "), this);
    filterTitle_->setObjectName(QStringLiteral("PanelFilterTop"));
    filterTitle_->setWordWrap(true);
    column->addWidget(filterTitle_);
    filterBox_ = new QComboBox(this);
    filterBox_->setObjectName(QStringLiteral("CBFilter"));
    filterBox_->setToolTip(QStringLiteral("Determine which files types should be filtered"));
    filterBox_->setStyleSheet(QStringLiteral("color: blue;"));
    filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    column->addWidget(filterBox_);
    column->addWidget(buildThumbCorner());
}

QWidget *FolderPanel::buildThumbCorner()
{
    miniThumbPanel_ = new QWidget(this);
    miniThumbPanel_->setObjectName(QStringLiteral("PanelActThumb"));
    miniThumbPanel_->setStyleSheet(QStringLiteral("background-color: #c0c0c0;"));
    auto *corner = new QVBoxLayout(miniThumbPanel_);
    corner->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("--- Thumbnail Corner ---"), miniThumbPanel_);
    caption->setAlignment(Qt::AlignCenter);
    corner->addWidget(caption);
    miniThumb_ = new QLabel(miniThumbPanel_);
    miniThumb_->setObjectName(QStringLiteral("ImgMini"));
    miniThumb_->setAlignment(Qt::AlignCenter);
    miniThumb_->setFixedSize(130, 100);
    miniThumb_->setCursor(Qt::PointingHandCursor);
    miniThumb_->setToolTip(QStringLiteral("Double click here to create/update thumbnail(s)"));
    corner->addWidget(miniThumb_, 0, Qt::AlignCenter);
    // 110 pixels held the caption and the picture in the small font the corner was drawn for;
    // in a larger one the caption takes more and the picture must not lose its bottom rows.
    miniThumbPanel_->setFixedHeight(std::max(110, corner->totalSizeHint().height()));
    return miniThumbPanel_;
}

void FolderPanel::connectControls()
{
    for (QWidget *w : { static_cast<QWidget *>(folderList_), static_cast<QWidget *>(driveBox_) })
        w->installEventFilter(this);
    miniThumb_->installEventFilter(this);
    connect(driveBox_, &QComboBox::activated, this, &FolderPanel::driveChosen);
    connect(folderList_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (m_configuration.settings().openOnSingleClick)
            openChosenFolder(item);
    });
    connect(folderList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (!m_configuration.settings().openOnSingleClick)
            openChosenFolder(item);
    });
    connect(filterBox_, &QComboBox::currentIndexChanged, this, &FolderPanel::filterChosen);
    miniThumb_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(miniThumb_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { Q_EMIT miniThumbMenuRequested(miniThumb_->mapToGlobal(pos)); });
}

bool FolderPanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == folderList_ || watched == driveBox_) {
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
    }
    return QWidget::eventFilter(watched, event);
}

// Narrower boxes are centred in the panel's column.
void FolderPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int width = std::max(0, this->width() - kBoxMargin);
    driveBox_->setMaximumWidth(width);
    filterBox_->setMaximumWidth(width);
}

QString FolderPanel::thumbFolder() const
{
    return frame::thumbFolderOf(m_configuration.dataFolder());
}

bool FolderPanel::isInThumbFolder(const QString &folder) const
{
    return platform::isInThumbFolder(folder, thumbFolder(), platform::nativePathStyle());
}

// --- Drive box and folder list -------------------------------------------------------

void FolderPanel::fillDriveBox()
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

void FolderPanel::driveChosen(int index)
{
    const QString root = driveBox_->itemData(index).toString();
    changeFolder(m_lastFolderOfDrive.value(root, root));
}

void FolderPanel::fillFolderList()
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

void FolderPanel::openChosenFolder(QListWidgetItem *item)
{
    if (item)
        changeFolder(item->data(kPathRole).toString());
}

void FolderPanel::changeFolder(const QString &folder)
{
    if (!m_mayLeave()) {
        showFolderPlace();
        return;
    }
    QString target = platform::nearestExistingFolder(nativeClean(folder));
    if (target.isEmpty())
        target = nativeClean(QDir::homePath());
    m_currentFolder = target;
    showFolderPlace();
    Q_EMIT folderChanged();
}

void FolderPanel::showFolderPlace()
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

// --- Filter ------------------------------------------------------------------------------

void FolderPanel::setFilterText(const QString &filterText)
{
    filterBox_->blockSignals(true);
    m_filterMasks.clear();
    filterBox_->clear();
    for (const FilterPair &entry : parseFilterText(filterText)) {
        filterBox_->addItem(entry.description);
        m_filterMasks.append(entry.mask);
    }
    filterBox_->blockSignals(false);
    fitToFilters();
    filterChosen(filterBox_->count() > 0 ? 0 : -1);
}

// The panel is 163 pixels wide, or wider where the platform's font needs it to show the
// filter entries whole.
void FolderPanel::fitToFilters()
{
    constexpr int kPanelWidth = 163;
    setMinimumWidth(std::max(kPanelWidth, filterBox_->sizeHint().width() + kBoxMargin));
}

void FolderPanel::filterChosen(int index)
{
    if (!m_mayLeave()) {
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
    Q_EMIT maskChanged();
}

// --- Thumbnail corner --------------------------------------------------------------------

void FolderPanel::showMiniThumb(const QString &page)
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

void FolderPanel::clearMiniThumb()
{
    miniThumb_->clear();
}

} // namespace folderview
