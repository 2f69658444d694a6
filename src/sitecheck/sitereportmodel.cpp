#include "sitecheck/sitereportmodel.h"

#include <QDir>

#include <algorithm>

namespace sitecheck {

namespace {

const char *const kHeaders[SiteColumnCount] = { "Page", "Line", "Link", "Problem", "Rule" };

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
    case RuleColumn:
        return QString::compare(a.rule, b.rule);
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
    case RuleColumn:
        return row.rule;
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

namespace {

// An HTML problem as a row: its place in a BrokenLink, as the list's links have theirs.
ReportRow htmlRow(const QString &root, const linkcheck::PageProblem &one)
{
    linkcheck::BrokenLink place;
    place.page = one.page;
    place.line = one.problem.line;
    place.column = one.problem.column;
    const QString message = QString::fromStdString(one.problem.message);
    return { place, shownPage(root, one.page),
        one.problem.warning ? QStringLiteral("warning: ") + message : message,
        QString::fromUtf8(one.problem.rule.data(), qsizetype(one.problem.rule.size())) };
}

} // namespace

void SiteReportModel::setReport(
    const std::vector<linkcheck::BrokenLink> &links, const std::vector<linkcheck::PageProblem> &problems)
{
    m_report = links;
    m_problems = problems;
    std::vector<ReportRow> rows;
    rows.reserve(links.size() + problems.size());
    if (m_shown != ShowProblems::Html)
        for (const linkcheck::BrokenLink &link : links) {
            // The problem names its target below the checked folder too, as the page is shown.
            linkcheck::BrokenLink shown = link;
            shown.target = shownPage(m_root, link.target);
            rows.push_back({ link, shownPage(m_root, link.page), linkcheck::reasonText(shown),
                QStringLiteral("broken-link") });
        }
    if (m_shown != ShowProblems::Links) {
        for (const linkcheck::PageProblem &one : problems)
            rows.push_back(htmlRow(m_root, one));
        // Both kinds in the checker's order: page, line, column.
        std::stable_sort(rows.begin(), rows.end(), [](const ReportRow &a, const ReportRow &b) {
            if (a.link.page != b.link.page)
                return a.link.page < b.link.page;
            return a.link.line != b.link.line ? a.link.line < b.link.line : a.link.column < b.link.column;
        });
    }
    sortRows(rows, m_sortColumn, m_sortOrder);
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void SiteReportModel::setShown(ShowProblems shown)
{
    m_shown = shown;
    setReport(std::vector<linkcheck::BrokenLink>(m_report), std::vector<linkcheck::PageProblem>(m_problems));
}

void SiteReportModel::sortBy(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < SiteColumnCount ? column : -1;
    m_sortOrder = order;
    setReport(std::vector<linkcheck::BrokenLink>(m_report), std::vector<linkcheck::PageProblem>(m_problems));
}

} // namespace sitecheck
