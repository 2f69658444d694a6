#include "filelists/reportmodel.h"

#include <QColor>

namespace filelists {

namespace {

const char *const kHeaders[scan::ColumnCount] = { "Folder", "Filename", "Ext", "Size", "Date" };

} // namespace

ReportModel::ReportModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

int ReportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ReportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : scan::ColumnCount;
}

QVariant ReportModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const scan::ListEntry &row = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.field(index.column());
    case Qt::TextAlignmentRole:
        return index.column() == scan::SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                  : QVariant();
    case Qt::ForegroundRole:
        // A selected row is drawn in the highlight colours, whatever this says.
        return index.column() == scan::NameColumn && scan::isStartPageName(row.name)
            ? QColor(Qt::red)
            : QVariant();
    default:
        return {};
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= scan::ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeaders[section]);
    if (role == Qt::TextAlignmentRole && section == scan::SizeColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void ReportModel::setEntries(QList<scan::ListEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void ReportModel::removeFlagged(const std::vector<bool> &remove)
{
    QList<scan::ListEntry> kept;
    kept.reserve(m_entries.size());
    for (qsizetype row = 0; row < m_entries.size(); ++row)
        if (size_t(row) >= remove.size() || !remove[size_t(row)])
            kept.append(std::move(m_entries[row]));
    setEntries(std::move(kept));
}

void ReportModel::reorder(const std::vector<qsizetype> &rows)
{
    beginResetModel();
    // Moved, not copied: copies of 100,000 entries cost more than the sort.
    QList<scan::ListEntry> sorted;
    sorted.reserve(m_entries.size());
    for (const qsizetype row : rows)
        sorted.append(std::move(m_entries[row]));
    m_entries = std::move(sorted);
    endResetModel();
}

} // namespace filelists
