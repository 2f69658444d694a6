#include "thumbs/thumbviewpage.h"

#include "frame/datafolders.h"
#include "frame/settings.h"
#include "imaging/thumbclean.h"
#include "imaging/thumbstore.h"
#include "kit/panels.h"
#include "platform/filewatch.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "thumbs/thumbgrid.h"
#include "thumbs/thumbjobs.h"
#include "thumbs/thumblistmodel.h"
#include "thumbs/thumbrefresh.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace thumbs {

namespace {

const QString kPageHint
    = QStringLiteral("Thumbnail View - Create thumbnail previews of your webpages");
constexpr qint64 kNeededKb = 2000;
// A changed page is remade once it has been quiet this long.
constexpr int kQuietMs = 500;

} // namespace

ThumbViewPage::ThumbViewPage(const Frame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    buildLayout();
    connectControls();
}

// Focus moves while the children go; the page must not hear of it any more by then.
ThumbViewPage::~ThumbViewPage()
{
    disconnect(m_focusWatch);
}

void ThumbViewPage::buildLayout()
{
    QVBoxLayout *column = kit::tightColumn(this);
    m_thumbsLabel = kit::titleBar(QString(), this);
    m_thumbsLabel->setObjectName(QStringLiteral("LabelThumbs"));
    column->addWidget(m_thumbsLabel);

    m_model = new ThumbListModel(QString(), m_cache, this);
    m_thumbGrid = new ThumbGrid(*m_model, m_cache, this);
    m_thumbGrid->setObjectName(QStringLiteral("LVThumbs"));
    m_thumbGrid->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    column->addWidget(m_thumbGrid, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panThumbs = kit::buttonBar(this, &barLayout);
    m_makeThumbButton = kit::barButton(QStringLiteral("Make Thumbs"),
        QStringLiteral("Create or update selected thumbnail(s)"), barLayout);
    m_makeThumbButton->setObjectName(QStringLiteral("BMakeThumb"));
    m_clearThumbButton = kit::barButton(
        QStringLiteral("ClearThumbs"), QStringLiteral("Clear selected thumbnail(s)"), barLayout);
    m_clearThumbButton->setObjectName(QStringLiteral("BClearThumb"));
    m_selectAllButton = kit::barButton(
        QStringLiteral("Select All"), QStringLiteral("[CTRL-A ] = Select all"), barLayout);
    m_selectAllButton->setObjectName(QStringLiteral("BSelectAllThumbs"));
    m_snapBaseBox = new QComboBox(panThumbs);
    m_snapBaseBox->setObjectName(QStringLiteral("CBSnapBase"));
    m_snapBaseBox->setToolTip(QStringLiteral("Choose browser size for thumbnail creation"));
    for (int i = 0; i < kSnapBaseCount; ++i)
        m_snapBaseBox->addItem(snapBaseText(i));
    m_snapBaseBox->setCurrentIndex(3);
    barLayout->addWidget(m_snapBaseBox);
    barLayout->addStretch(1);
    column->addWidget(panThumbs);
}

void ThumbViewPage::connectControls()
{
    m_thumbGrid->installEventFilter(this);
    m_thumbGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_thumbGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.commands.showContextMenu(m_thumbGrid->viewport()->mapToGlobal(pos));
    });
    connect(m_thumbGrid, &ThumbGrid::mouseReleased, this, &ThumbViewPage::afterInteraction);
    connect(m_thumbGrid, &QListView::doubleClicked, this,
        [this] { m_frame.commands.openCurrentFile(); });
    connect(m_thumbGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_frame.status.updateStatus(); });
    connect(m_snapBaseBox, &QComboBox::currentIndexChanged, this, &ThumbViewPage::snapBaseChosen);
    connect(m_makeThumbButton, &QPushButton::clicked, this, &ThumbViewPage::makeThumbnails);
    connect(m_clearThumbButton, &QPushButton::clicked, this, &ThumbViewPage::deleteThumbnails);
    connect(m_selectAllButton, &QPushButton::clicked, this, &ThumbViewPage::selectAllThumbnails);
    m_watch = new platform::FileWatch(this);
    m_watch->setTiming(kQuietMs, 0, 100);
    m_refresh = new ThumbRefreshQueue([this](const QString &page) { remakeThumb(page); },
        [this](const QString &page) { return keepsFresh(page); }, this);
    m_refresh->setQuietTime(kQuietMs);
    connect(
        m_watch, &platform::FileWatch::filesChanged, m_refresh, &ThumbRefreshQueue::pagesChanged);
    // TabThumbEnter / TabThumbExit: the title turns teal while the page holds the focus.
    m_focusWatch
        = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
              kit::setFocusMark(m_thumbsLabel, now && isAncestorOf(now));
          });
}

QString ThumbViewPage::thumbFolder() const
{
    return frame::thumbFolderOf(m_frame.configuration.dataFolder());
}

bool ThumbViewPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_thumbGrid && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (type == QEvent::KeyPress)
            return thumbKeyPressed(key->key());
        thumbKeyReleased(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

bool ThumbViewPage::thumbKeyPressed(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_frame.commands.openCurrentFile();
        return true;
    }
    if (key == Qt::Key_Delete) {
        Q_EMIT deleteRequested();
        return true;
    }
    return false;
}

void ThumbViewPage::thumbKeyReleased(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_A && (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier)
        selectAllThumbnails();
    afterInteraction();
}

// LVThumbsMouseUp, and every key released in the grid.
void ThumbViewPage::afterInteraction()
{
    m_frame.status.updateStatus();
    m_frame.folder.showMiniThumb(m_frame.selection.currentFile());
}

void ThumbViewPage::selectAllThumbnails()
{
    {
        const platform::HourglassGuard hourglass;
        m_thumbGrid->selectAll();
    }
    m_frame.status.updateStatus();
}

// --- Selection queries ---------------------------------------------------------------

QString ThumbViewPage::currentFile() const
{
    const QModelIndexList rows = m_thumbGrid->selectionModel()->selectedIndexes();
    return rows.size() == 1 ? entryPath(rows.first().row(), false) : QString();
}

frame::SelectionCount ThumbViewPage::selectionCounts() const
{
    return { this, int(m_thumbGrid->selectionModel()->selectedIndexes().size()),
        m_model->rowCount() };
}

QString ThumbViewPage::entryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount() || index >= m_names.size())
        return {};
    if (onlySelected && !m_thumbGrid->selectionModel()->isRowSelected(index, {}))
        return {};
    return platform::WithTrailingBackslash(m_folder) + m_names.at(index);
}

// --- Entries and activation ----------------------------------------------------------

void ThumbViewPage::setEntries(const QString &folder, const QStringList &names)
{
    if (folder != m_folder) {
        m_refresh->clear();
        m_refreshFailed = false;
        m_watch->clear();
    }
    m_folder = folder;
    m_names = names;
    // Within the folder only new pages are added: replacing the set would drop a change the
    // watcher has not reported yet.
    QStringList pages;
    for (const QString &name : names)
        pages.append(platform::WithTrailingBackslash(folder) + name);
    if (!folder.isEmpty())
        m_watch->addFiles(pages);
    m_thumbsLabel->setText(folder);
    m_model->setThumbFolder(thumbFolder());
    m_model->setEntries(folder, names);
}

void ThumbViewPage::setBaseIndex(int index)
{
    m_cache.setCacheMax(m_frame.configuration.settings().cacheMax);
    if (index < 0 || index >= m_snapBaseBox->count())
        index = frame::Settings().thumbBaseIndex;
    m_snapBaseBox->setCurrentIndex(index);
    snapBaseChosen(index);
}

void ThumbViewPage::snapBaseChosen(int index)
{
    if (index < 0 || index >= kSnapBaseCount)
        return;
    m_frame.configuration.settings().thumbBaseIndex = index;
    m_base = snapBaseSize(index, m_base);
}

QString ThumbViewPage::title() const
{
    return QStringLiteral("Thumbnail View");
}

void ThumbViewPage::start()
{
    setBaseIndex(m_frame.configuration.settings().thumbBaseIndex);
}

bool ThumbViewPage::offersContextItem(frame::ContextItem item) const
{
    return item != frame::JumpToFolder;
}

bool ThumbViewPage::runContextItem(frame::ContextItem item)
{
    if (item == frame::MakeThumbnails)
        makeThumbnails();
    else if (item == frame::ClearThumbnails)
        deleteThumbnails();
    else
        return false;
    return true;
}

void ThumbViewPage::activate()
{
    m_thumbsLabel->setText(m_folder);
    if (m_thumbGrid->selectionModel()->selectedIndexes().isEmpty() && m_model->rowCount() > 0) {
        const QModelIndex first = m_model->index(0);
        m_thumbGrid->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    }
    if (m_thumbGrid->isVisible())
        m_thumbGrid->setFocus();
}

QString ThumbViewPage::arrivalHint() const
{
    return kPageHint;
}

// --- Making and clearing -------------------------------------------------------------

void ThumbViewPage::redrawEntry(int index)
{
    if (m_frame.pages.activePage() == this)
        m_model->entryChanged(index);
}

// A missing page or a failed write is skipped silently; a page that did not render as it
// should is named.
void ThumbViewPage::nameCaptureProblem(const ThumbMaker &maker, const QString &page)
{
    const QString problem
        = engine::captureProblem(maker.lastOutcome(), page, engine::PartialPicture::Saved);
    if (!problem.isEmpty())
        m_frame.status.setHintLine(problem);
}

void ThumbViewPage::addOrRemoveThumbs(ThumbMode mode)
{
    // The background remakes wait for the batch.
    m_refresh->pause();
    if (!m_maker)
        m_maker
            = std::make_unique<ThumbMaker>(thumbFolder(), m_frame.views.browserView(), &m_cache);
    m_maker->setHostCount(ThumbMaker::defaultHostCount());
    const QString folder = thumbFolder();
    ThumbJobHooks hooks;
    hooks.makeThumb = [this](const QString &page) {
        snapBaseChosen(m_snapBaseBox->currentIndex());
        const bool stored = m_maker->makeThumb(page, m_base);
        nameCaptureProblem(*m_maker, page);
        return stored;
    };
    hooks.clearThumb = [this, folder](const QString &page) {
        imaging::ClearThumb(
            folder, page, [this](const QString &thumb) { m_cache.invalidate(thumb); });
    };
    hooks.checkDiskSpace
        = [this, folder] { return m_frame.progress.checkDiskSpace(folder, kNeededKb); };
    frame::BatchProgress *progress = m_frame.progress.progressWindow();
    hooks.planBatch = [this, progress](const QStringList &pages) {
        snapBaseChosen(m_snapBaseBox->currentIndex());
        // Only a batch has a stop button; its flag is cleared when the batch shows it.
        if (progress)
            m_maker->setStopCheck([progress] { return progress->stopRequested(); });
        m_maker->plan(pages, m_base);
    };
    hooks.entryDone = [this](int index) { redrawEntry(index); };
    hooks.singleDone = [this] {
        m_frame.folder.showMiniThumb(m_frame.selection.currentFile());
        const QModelIndexList selected = m_thumbGrid->selectionModel()->selectedIndexes();
        if (!selected.isEmpty())
            redrawEntry(selected.first().row());
    };
    hooks.setMainWindowEnabled
        = [this](bool enabled) { m_frame.progress.setMainWindowEnabled(enabled); };
    thumbs::addOrRemoveThumbs(mode, m_frame.selection, progress, hooks);
    m_maker->cancel();
    m_maker->setStopCheck({});
    m_refresh->resume();
}

void ThumbViewPage::makeThumbnails()
{
    addOrRemoveThumbs(ThumbMode::Make);
    m_frame.progress.setMainWindowEnabled(true);
}

void ThumbViewPage::deleteThumbnails()
{
    addOrRemoveThumbs(ThumbMode::Clear);
    m_frame.progress.setMainWindowEnabled(true);
}

// --- Keeping thumbnails fresh --------------------------------------------------------

bool ThumbViewPage::keepsFresh(const QString &page) const
{
    return m_frame.configuration.settings().keepThumbsFresh && !m_refreshFailed
        && QFileInfo::exists(
            imaging::ThumbFileFor(thumbFolder(), platform::folderPart(page), page));
}

ThumbMaker &ThumbViewPage::refreshMaker()
{
    if (!m_refreshMaker) {
        m_refreshMaker
            = std::make_unique<ThumbMaker>(thumbFolder(), m_frame.views.browserView(), &m_cache);
        m_refreshMaker->setBusyCursor(false);
        // With a stop check the load lets input through; a batch starting stops it.
        m_refreshMaker->setStopCheck([this] { return m_refresh->isPaused(); });
    }
    return *m_refreshMaker;
}

void ThumbViewPage::remakeThumb(const QString &page)
{
    ThumbMaker &maker = refreshMaker();
    const bool stored = maker.makeThumb(page, m_base);
    const engine::CaptureOutcome outcome = maker.lastOutcome();
    if (!stored && engine::capturesPicture(outcome)) {
        // The thumbnail folder cannot be written: one message, not one per page.
        m_refreshFailed = true;
        m_refresh->clear();
        m_frame.status.setHintLine(QStringLiteral("Cannot keep thumbnails fresh: cannot write to ")
            + QDir::toNativeSeparators(thumbFolder()));
        return;
    }
    nameCaptureProblem(maker, page);
    if (!stored)
        return;
    const int row = m_names.indexOf(platform::fileNamePart(page));
    if (row >= 0 && entryPath(row, false) == page)
        redrawEntry(row);
    if (page == m_frame.selection.currentFile())
        m_frame.folder.showMiniThumb(page);
}

void ThumbViewPage::openMiniThumb()
{
    makeThumbnails();
}

} // namespace thumbs
