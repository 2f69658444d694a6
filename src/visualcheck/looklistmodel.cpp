#include "visualcheck/looklistmodel.h"

#include <algorithm>

namespace visualcheck {

namespace {

// Higher comes first.
int rank(const LookResult &result)
{
    switch (result.kind) {
    case LookKind::Failed:
        return 3;
    case LookKind::New:
        return 2;
    case LookKind::Changed:
        return 1;
    case LookKind::Same:
    case LookKind::Stored:
        break;
    }
    return 0;
}

bool before(const LookResult &a, const LookResult &b)
{
    if (rank(a) != rank(b))
        return rank(a) > rank(b);
    if (a.diff.changedPercent() != b.diff.changedPercent())
        return a.diff.changedPercent() > b.diff.changedPercent();
    return std::make_pair(a.page, a.width) < std::make_pair(b.page, b.width);
}

QString changeText(const LookResult &result)
{
    switch (result.kind) {
    case LookKind::Changed:
        return result.diff.sizeChanged()
            ? QStringLiteral("%1 (height %2 -> %3)").arg(result.diff.changedPercent(), 0, 'f', 2).arg(result.diff.before.height()).arg(result.diff.after.height())
            : QString::number(result.diff.changedPercent(), 'f', 2);
    case LookKind::Same:
        return QStringLiteral("same");
    case LookKind::New:
        return QStringLiteral("new page");
    case LookKind::Stored:
        return QStringLiteral("baseline stored");
    case LookKind::Failed:
        break;
    }
    return result.problem;
}

} // namespace

LookListModel::LookListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int LookListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LookListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : LookColumnCount;
}

QVariant LookListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const LookResult &result = entry(index.row());
    if (role == Qt::ToolTipRole)
        return lookLine(result);
    switch (index.column()) {
    case LookPageColumn:
        return result.page.startsWith(m_root) ? result.page.mid(m_root.size()) : result.page;
    case LookWidthColumn:
        return result.width;
    case LookChangeColumn:
        return changeText(result);
    case LookRegionsColumn:
        return result.kind == LookKind::Changed ? QVariant(int(result.diff.regions.size())) : QVariant();
    default:
        return {};
    }
}

QVariant LookListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const names[] = { "Page", "Width", "Change (%)", "Regions" };
    return section >= 0 && section < LookColumnCount ? QString::fromLatin1(names[section]) : QString();
}

void LookListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int LookListModel::put(LookResult result)
{
    if (result.kind == LookKind::Same || result.kind == LookKind::Stored || result.kind == LookKind::Failed)
        result.after = QImage(); // a thousand renders would not fit in memory
    result.before = QImage(); // read again from the store when shown
    const int old = rowOf(result.page, result.width);
    if (old >= 0) {
        beginRemoveRows({}, old, old);
        m_rows.erase(m_rows.begin() + old);
        endRemoveRows();
    }
    const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), result, before);
    const int row = int(at - m_rows.begin());
    beginInsertRows({}, row, row);
    m_rows.insert(at, std::move(result));
    endInsertRows();
    return row;
}

int LookListModel::rowOf(const QString &page, int width) const
{
    const auto found = std::find_if(m_rows.begin(), m_rows.end(),
        [&](const LookResult &result) { return result.page == page && result.width == width; });
    return found == m_rows.end() ? -1 : int(found - m_rows.begin());
}

int LookListModel::changedCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const LookResult &result) { return rank(result) > 0; }));
}

} // namespace visualcheck
