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

    m_folderTitle = kit::titleBar(QStringLiteral("Folder Selection"), this);
    m_folderTitle->setObjectName(QStringLiteral("PanelDirectoryTop"));
    column->addWidget(m_folderTitle);
    m_driveBox = new QComboBox(this);
    m_driveBox->setObjectName(QStringLiteral("CBDrive"));
    m_driveBox->setToolTip(QStringLiteral("Select File(s):"));
    column->addWidget(m_driveBox);
    m_folderList = new QListWidget(this);
    m_folderList->setObjectName(QStringLiteral("LBDir"));
    column->addWidget(m_folderList, 1);
    m_filterTitle = kit::titleBar(QStringLiteral("Filter: "), this);
    m_filterTitle->setObjectName(QStringLiteral("PanelFilterTop"));
    m_filterTitle->setWordWrap(true);
    column->addWidget(m_filterTitle);
    m_filterBox = new QComboBox(this);
    m_filterBox->setObjectName(QStringLiteral("CBFilter"));
    m_filterBox->setToolTip(QStringLiteral("Determine which files types should be filtered"));
    m_filterBox->setStyleSheet(QStringLiteral("color: blue;"));
    m_filterBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    column->addWidget(m_filterBox);
    column->addWidget(buildThumbCorner());
}

QWidget *FolderPanel::buildThumbCorner()
{
    m_miniThumbPanel = new QWidget(this);
    m_miniThumbPanel->setObjectName(QStringLiteral("PanelActThumb"));
    m_miniThumbPanel->setStyleSheet(QStringLiteral("background-color: #c0c0c0;"));
    auto *corner = new QVBoxLayout(m_miniThumbPanel);
    corner->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("--- Thumbnail Corner ---"), m_miniThumbPanel);
    caption->setAlignment(Qt::AlignCenter);
    corner->addWidget(caption);
    m_miniThumb = new QLabel(m_miniThumbPanel);
    m_miniThumb->setObjectName(QStringLiteral("ImgMini"));
    m_miniThumb->setAlignment(Qt::AlignCenter);
    m_miniThumb->setFixedSize(130, 100);
    m_miniThumb->setCursor(Qt::PointingHandCursor);
    m_miniThumb->setToolTip(QStringLiteral("Double click here to create/update thumbnail(s)"));
    corner->addWidget(m_miniThumb, 0, Qt::AlignCenter);
    // 110 pixels held the caption and the picture in the small font the corner was drawn for;
    // in a larger one the caption takes more and the picture must not lose its bottom rows.
    m_miniThumbPanel->setFixedHeight(std::max(110, corner->totalSizeHint().height()));
    return m_miniThumbPanel;
}

void FolderPanel::connectControls()
{
    for (QWidget *w : { static_cast<QWidget *>(m_folderList), static_cast<QWidget *>(m_driveBox) })
        w->installEventFilter(this);
    m_miniThumb->installEventFilter(this);
    connect(m_driveBox, &QComboBox::activated, this, &FolderPanel::driveChosen);
    connect(m_folderList, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (m_configuration.settings().openOnSingleClick)
            openChosenFolder(item);
    });
    connect(m_folderList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (!m_configuration.settings().openOnSingleClick)
            openChosenFolder(item);
    });
    connect(m_filterBox, &QComboBox::currentIndexChanged, this, &FolderPanel::filterChosen);
    m_miniThumb->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_miniThumb, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { Q_EMIT miniThumbMenuRequested(m_miniThumb->mapToGlobal(pos)); });
}

bool FolderPanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_folderList || watched == m_driveBox) {
        if (type == QEvent::FocusIn || type == QEvent::FocusOut)
            kit::setFocusMark(m_folderTitle, type == QEvent::FocusIn);
        // Enter opens the chosen folder, as a click would.
        if (watched == m_folderList && type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                openChosenFolder(m_folderList->currentItem());
                return true;
            }
        }
    } else if (watched == m_miniThumb && type == QEvent::MouseButtonDblClick) {
        Q_EMIT miniThumbDoubleClicked();
    }
    return QWidget::eventFilter(watched, event);
}

// Narrower boxes are centred in the panel's column.
void FolderPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int width = std::max(0, this->width() - kBoxMargin);
    m_driveBox->setMaximumWidth(width);
    m_filterBox->setMaximumWidth(width);
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
    m_driveBox->clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    roots.sort();
    roots.append(QDir::homePath());
    for (const QString &root : roots)
        m_driveBox->addItem(nativeClean(root), nativeClean(root));
}

void FolderPanel::driveChosen(int index)
{
    const QString root = m_driveBox->itemData(index).toString();
    changeFolder(m_lastFolderOfDrive.value(root, root));
}

void FolderPanel::fillFolderList()
{
    m_folderList->setUpdatesEnabled(false);
    m_folderList->clear();
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
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, m_folderList);
        item->setData(kPathRole, path);
        ++depth;
    }
    const QStringList subFolders = listSubFolders(m_currentFolder);
    for (const QString &name : subFolders) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, m_folderList);
        item->setData(kPathRole, nativeClean(QDir(m_currentFolder).filePath(name)));
    }
    if (!chain.isEmpty())
        m_folderList->setCurrentRow(int(chain.size()) - 1);
    m_folderList->setUpdatesEnabled(true);
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
    for (int i = 0; i < m_driveBox->count(); ++i) {
        const QString root = m_driveBox->itemData(i).toString();
        const QString withSep = platform::WithTrailingBackslash(root);
        if ((m_currentFolder == root || m_currentFolder.startsWith(withSep))
            && root.size() > longest) {
            longest = root.size();
            driveIndex = i;
        }
    }
    if (driveIndex >= 0) {
        m_driveBox->setCurrentIndex(driveIndex);
        m_lastFolderOfDrive.insert(m_driveBox->itemData(driveIndex).toString(), m_currentFolder);
    }
}

// --- Filter ------------------------------------------------------------------------------

void FolderPanel::setFilterText(const QString &filterText)
{
    m_filterBox->blockSignals(true);
    m_filterMasks.clear();
    m_filterBox->clear();
    for (const FilterPair &entry : parseFilterText(filterText)) {
        m_filterBox->addItem(entry.description);
        m_filterMasks.append(entry.mask);
    }
    m_filterBox->blockSignals(false);
    fitToFilters();
    filterChosen(m_filterBox->count() > 0 ? 0 : -1);
}

// The panel is 163 pixels wide, or wider where the platform's font needs it to show the
// filter entries whole.
void FolderPanel::fitToFilters()
{
    constexpr int kPanelWidth = 163;
    setMinimumWidth(std::max(kPanelWidth, m_filterBox->sizeHint().width() + kBoxMargin));
}

void FolderPanel::filterChosen(int index)
{
    if (!m_mayLeave()) {
        const QSignalBlocker blocker(m_filterBox);
        m_filterBox->setCurrentIndex(m_filterIndex);
        return;
    }
    m_filterIndex = index;
    m_currentMask = index >= 0 && index < m_filterMasks.size() ? m_filterMasks.at(index)
                                                               : QStringLiteral("*.*");
    // A zero-width space after each ";" lets a long mask wrap inside the narrow panel.
    QString shown = m_currentMask;
    shown.replace(QLatin1Char(';'), QStringLiteral(";\u200B"));
    m_filterTitle->setText(QStringLiteral(" Filter: ") + shown);
    m_filterTitle->setToolTip(m_currentMask);
    m_filterTitle->repaint();
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
        m_miniThumb->clear();
    else
        m_miniThumb->setPixmap(QPixmap::fromImage(image));
    m_miniThumbPanel->repaint();
}

void FolderPanel::clearMiniThumb()
{
    m_miniThumb->clear();
}

} // namespace folderview
