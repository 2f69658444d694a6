#include "thumbs/thumbviewpage.h"

#include "frame/folderservices.h"
#include "frame/pageframe.h"
#include "kit/panels.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "imaging/thumbclean.h"
#include "thumbs/thumbgrid.h"
#include "thumbs/thumbjobs.h"
#include "thumbs/thumblistmodel.h"
#include "imaging/thumbstore.h"

#include <QApplication>
#include <QComboBox>
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

} // namespace

ThumbViewPage::ThumbViewPage(app::PageFrame &frame, QWidget *parent)
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
    LabelThumbs = kit::titleBar(QString(), this);
    column->addWidget(LabelThumbs);

    m_model = new ThumbListModel(QString(), m_cache, this);
    LVThumbs = new ThumbGrid(*m_model, m_cache, this);
    LVThumbs->setObjectName(QStringLiteral("LVThumbs"));
    LVThumbs->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    column->addWidget(LVThumbs, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panThumbs = kit::buttonBar(this, &barLayout);
    BMakeThumb = kit::barButton(QStringLiteral("Make Thumbs"),
        QStringLiteral("Create or update selected thumbnail(s)"), barLayout);
    BClearThumb = kit::barButton(
        QStringLiteral("ClearThumbs"), QStringLiteral("Clear selected thumbnail(s)"), barLayout);
    BSelectAllThumbs = kit::barButton(
        QStringLiteral("Select All"), QStringLiteral("[CTRL-A ] = Select all"), barLayout);
    CBSnapBase = new QComboBox(panThumbs);
    CBSnapBase->setToolTip(QStringLiteral("Choose browser size for thumbnail creation"));
    for (int i = 0; i < kSnapBaseCount; ++i)
        CBSnapBase->addItem(snapBaseText(i));
    CBSnapBase->setCurrentIndex(3);
    barLayout->addWidget(CBSnapBase);
    barLayout->addStretch(1);
    column->addWidget(panThumbs);
}

void ThumbViewPage::connectControls()
{
    LVThumbs->installEventFilter(this);
    LVThumbs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LVThumbs, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.showContextMenu(LVThumbs->viewport()->mapToGlobal(pos));
    });
    connect(LVThumbs, &ThumbGrid::mouseReleased, this, &ThumbViewPage::afterInteraction);
    connect(LVThumbs, &QListView::doubleClicked, this, [this] { m_frame.DblClickForAll(); });
    connect(LVThumbs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_frame.UpdateStatus(); });
    connect(CBSnapBase, &QComboBox::currentIndexChanged, this, &ThumbViewPage::CBSnapBaseChange);
    connect(BMakeThumb, &QPushButton::clicked, this, &ThumbViewPage::BMakeThumbClick);
    connect(BClearThumb, &QPushButton::clicked, this, &ThumbViewPage::BDelThumbClick);
    connect(BSelectAllThumbs, &QPushButton::clicked, this, &ThumbViewPage::BThumbSelAllClick);
    // TabThumbEnter / TabThumbExit: the title turns teal while the page holds the focus.
    m_focusWatch
        = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
              kit::setFocusMark(LabelThumbs, now && isAncestorOf(now));
          });
}

QString ThumbViewPage::thumbFolder() const
{
    return app::thumbFolderOf(m_frame.dataFolder());
}

bool ThumbViewPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == LVThumbs && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (type == QEvent::KeyPress)
            return LVThumbsKeyDown(key->key());
        LVThumbsKeyUp(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

bool ThumbViewPage::LVThumbsKeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_frame.DblClickForAll();
        return true;
    }
    if (key == Qt::Key_Delete) {
        Q_EMIT deleteRequested();
        return true;
    }
    return false;
}

void ThumbViewPage::LVThumbsKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_A && (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier)
        BThumbSelAllClick();
    afterInteraction();
}

// LVThumbsMouseUp, and every key released in the grid.
void ThumbViewPage::afterInteraction()
{
    m_frame.UpdateStatus();
    m_frame.folderView().ShowMiniThumb(m_frame.CurrentFile());
}

void ThumbViewPage::BThumbSelAllClick()
{
    {
        const platform::HourglassGuard hourglass;
        LVThumbs->selectAll();
    }
    m_frame.UpdateStatus();
}

// --- Selection queries ---------------------------------------------------------------

QString ThumbViewPage::CurrentFile() const
{
    const QModelIndexList rows = LVThumbs->selectionModel()->selectedIndexes();
    return rows.size() == 1 ? EntryPath(rows.first().row(), false) : QString();
}

folderview::SelectionCount ThumbViewPage::SelectionCounts() const
{
    return { this, int(LVThumbs->selectionModel()->selectedIndexes().size()), m_model->rowCount() };
}

QString ThumbViewPage::EntryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount() || index >= m_names.size())
        return {};
    if (onlySelected && !LVThumbs->selectionModel()->isRowSelected(index, {}))
        return {};
    return platform::WithTrailingBackslash(m_folder) + m_names.at(index);
}

// --- Entries and activation ----------------------------------------------------------

void ThumbViewPage::setEntries(const QString &folder, const QStringList &names)
{
    m_folder = folder;
    m_names = names;
    LabelThumbs->setText(folder);
    m_model->setThumbFolder(thumbFolder());
    m_model->setEntries(folder, names);
}

void ThumbViewPage::setBaseIndex(int index)
{
    m_cache.setCacheMax(m_frame.settings().CACHE_MAX);
    if (index < 0 || index >= CBSnapBase->count())
        index = app::Settings().THUMB_BASEIDX;
    CBSnapBase->setCurrentIndex(index);
    CBSnapBaseChange(index);
}

void ThumbViewPage::CBSnapBaseChange(int index)
{
    if (index < 0 || index >= kSnapBaseCount)
        return;
    m_frame.settings().THUMB_BASEIDX = index;
    m_base = snapBaseSize(index, m_base);
}

QString ThumbViewPage::title() const
{
    return QStringLiteral("Thumbnail View");
}

void ThumbViewPage::start()
{
    setBaseIndex(m_frame.settings().THUMB_BASEIDX);
}

bool ThumbViewPage::offersContextItem(app::ContextItem item) const
{
    return item != app::JumpToFolder;
}

bool ThumbViewPage::runContextItem(app::ContextItem item)
{
    if (item == app::MakeThumbnails)
        BMakeThumbClick();
    else if (item == app::ClearThumbnails)
        BDelThumbClick();
    else
        return false;
    return true;
}

void ThumbViewPage::activate()
{
    LabelThumbs->setText(m_folder);
    if (LVThumbs->selectionModel()->selectedIndexes().isEmpty() && m_model->rowCount() > 0) {
        const QModelIndex first = m_model->index(0);
        LVThumbs->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    }
    if (LVThumbs->isVisible())
        LVThumbs->setFocus();
    m_frame.setHintLine(kPageHint);
}

// --- Making and clearing -------------------------------------------------------------

void ThumbViewPage::redrawEntry(int index)
{
    if (m_frame.activePage() == this)
        m_model->entryChanged(index);
}

void ThumbViewPage::Add_Remove(int mode)
{
    if (!m_maker)
        m_maker = std::make_unique<ThumbMaker>(thumbFolder(), m_frame.browserView(), &m_cache);
    m_maker->setHostCount(ThumbMaker::defaultHostCount());
    const QString folder = thumbFolder();
    ThumbJobHooks hooks;
    hooks.makeThumb = [this](const QString &page) {
        CBSnapBaseChange(CBSnapBase->currentIndex());
        const bool stored = m_maker->MakeThumb(page, m_base);
        // A missing page or a failed write is skipped silently; a page that did not render
        // as it should is named.
        const QString problem
            = engine::captureProblem(m_maker->lastOutcome(), page, engine::PartialPicture::Saved);
        if (!problem.isEmpty())
            m_frame.setHintLine(problem);
        return stored;
    };
    hooks.clearThumb = [this, folder](const QString &page) {
        ClearThumb(folder, page, [this](const QString &thumb) { m_cache.CacheInvalidate(thumb); });
    };
    hooks.checkDiskSpace = [this, folder] { return m_frame.CheckDiskSpace(folder, kNeededKb); };
    folderview::BatchProgress *progress = m_frame.progressWindow();
    hooks.planBatch = [this, progress](const QStringList &pages) {
        CBSnapBaseChange(CBSnapBase->currentIndex());
        // Only a batch has a stop button; its flag is cleared when the batch shows it.
        if (progress)
            m_maker->setStopCheck([progress] { return progress->stopRequested(); });
        m_maker->plan(pages, m_base);
    };
    hooks.entryDone = [this](int index) { redrawEntry(index); };
    hooks.singleDone = [this] {
        m_frame.folderView().ShowMiniThumb(m_frame.CurrentFile());
        const QModelIndexList selected = LVThumbs->selectionModel()->selectedIndexes();
        if (!selected.isEmpty())
            redrawEntry(selected.first().row());
    };
    hooks.setMainWindowEnabled = [this](bool enabled) { m_frame.setMainWindowEnabled(enabled); };
    thumbs::Add_Remove(mode, m_frame, progress, hooks);
    m_maker->cancel();
    m_maker->setStopCheck({});
}

void ThumbViewPage::BMakeThumbClick()
{
    Add_Remove(MakeThumbs);
    m_frame.setMainWindowEnabled(true);
}

void ThumbViewPage::BDelThumbClick()
{
    Add_Remove(ClearThumbs);
    m_frame.setMainWindowEnabled(true);
}

void ThumbViewPage::ImgMiniDblClick()
{
    BMakeThumbClick();
}

} // namespace thumbs
