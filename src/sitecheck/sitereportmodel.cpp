#include "sitecheck/sitereportmodel.h"

#include <QDir>

#include <algorithm>

namespace sitecheck {

namespace {

const char *const kHeaders[SiteColumnCount] = { "Page", "Line", "Link", "Problem" };

int compareRows(const ReportRow &a, const ReportRow &b, int column)
{
    switch (column) {
    case PageColumn:
        return QString::localeAwareCompare(a.page, b.page);
    case LineColumn:
        return a.link.line == b.link.line ? 0 : (a.link.line < b.link.line ? -1 : 1);
    case LinkColumn:
        return QString::localeAwareCompare(a.link.link, b.link.link);
    case ProblemColumn:
        return QString::localeAwareCompare(a.problem, b.problem);
    default:
        return 0;
    }
}

// A file below the root as written there; a file elsewhere keeps its whole path.
QString shownPage(const QString &root, const QString &page)
{
    const QString native = QDir::toNativeSeparators(page);
    if (!root.isEmpty() && native.startsWith(root))
        return native.mid(root.size());
    return native;
}

} // namespace

void sortRows(std::vector<ReportRow> &rows, int column, Qt::SortOrder order)
{
    if (column < 0 || column >= SiteColumnCount)
        return;
    std::stable_sort(rows.begin(), rows.end(), [column, order](const auto &a, const auto &b) {
        const int compared = compareRows(a, b, column);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
}

SiteReportModel::SiteReportModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

int SiteReportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SiteReportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : SiteColumnCount;
}

QVariant SiteReportModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const ReportRow &row = m_rows[size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == LineColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case PageColumn:
        return row.page;
    case LineColumn:
        return row.link.line;
    case LinkColumn:
        return row.link.link;
    case ProblemColumn:
        return row.problem;
    default:
        return {};
    }
}

QVariant SiteReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= SiteColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeaders[section]);
    return {};
}

void SiteReportModel::setReport(const std::vector<linkcheck::BrokenLink> &links)
{
    m_report = links;
    std::vector<ReportRow> rows;
    rows.reserve(links.size());
    for (const linkcheck::BrokenLink &link : links) {
        // The problem names its target below the checked folder too, as the page is shown.
        linkcheck::BrokenLink shown = link;
        shown.target = shownPage(m_root, link.target);
        rows.push_back({ link, shownPage(m_root, link.page), linkcheck::reasonText(shown) });
    }
    sortRows(rows, m_sortColumn, m_sortOrder);
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void SiteReportModel::sortBy(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < SiteColumnCount ? column : -1;
    m_sortOrder = order;
    setReport(std::vector<linkcheck::BrokenLink>(m_report));
}

} // namespace sitecheck
