#include "thumbs/thumbgrid.h"

#include "thumbs/imagecache.h"
#include "thumbs/thumbdraw.h"
#include "thumbs/thumblistmodel.h"

#include <QApplication>
#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace thumbs {

namespace {

constexpr int kSpacing = 4;

class ThumbDelegate : public QAbstractItemDelegate
{
public:
    ThumbDelegate(const ImageCache &cache, QObject *parent)
        : QAbstractItemDelegate(parent)
        , m_cache(cache)
    { }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        ThumbEntry entry;
        entry.caption = index.data(Qt::DisplayRole).toString();
        entry.selected = option.state.testFlag(QStyle::State_Selected);
        const QVariant slot = index.data(ThumbListModel::SlotRole);
        entry.picture = m_cache.picture(slot.isValid() ? slot.toInt() : -1);
        drawThumbEntry(*painter, option.rect, entry, option.font);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        const int points = option.font.pointSize() > 0 ? option.font.pointSize() : 8;
        return entryCellSize(points, option.fontMetrics.lineSpacing());
    }

private:
    const ImageCache &m_cache;
};

} // namespace

ThumbGrid::ThumbGrid(ThumbListModel &model, const ImageCache &cache, QWidget *parent)
    : QListView(parent)
    , m_model(model)
{
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSpacing(kSpacing);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new ThumbDelegate(cache, this));
    QPalette gray = palette();
    gray.setColor(QPalette::Base, QColor(128, 128, 128));
    setPalette(gray);
    setModel(&model);
}

// Entries lie row after row, so a rectangle's place in the view only grows with the index.
int ThumbGrid::firstRowWhere(const std::function<bool(const QRect &)> &past) const
{
    int low = 0;
    int high = m_model.rowCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (past(visualRect(m_model.index(mid))))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

std::pair<int, int> ThumbGrid::visibleRange() const
{
    const QRect view = viewport()->rect();
    const int count = m_model.rowCount();
    if (count == 0)
        return { -1, -1 };
    const int first = firstRowWhere([&](const QRect &r) { return r.bottom() >= view.top(); });
    const int after = firstRowWhere([&](const QRect &r) { return r.top() > view.bottom(); });
    if (first >= count || after <= first)
        return { -1, -1 };
    return { first, after - 1 };
}

void ThumbGrid::paintEvent(QPaintEvent *event)
{
    const auto [first, last] = visibleRange();
    m_model.prefetchItems(first, last);
    QListView::paintEvent(event);
}

void ThumbGrid::keyboardSearch(const QString &search)
{
    if (search.isEmpty())
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const bool goOn = now - m_lastTyped <= QApplication::keyboardInputInterval();
    m_lastTyped = now;
    m_typed = goOn ? m_typed + search : search;
    // A new search starts after the current entry; a longer one tries the current one again.
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int start = goOn ? std::max(0, current) : current + 1;
    const int found = m_model.findItem(m_typed, start, true);
    if (found < 0)
        return;
    const QModelIndex at = m_model.index(found);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}

void ThumbGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    Q_EMIT mouseReleased();
}

} // namespace thumbs
