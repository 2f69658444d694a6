#pragma once

#include "linkcheck/sitecheck.h"

#include <QAbstractTableModel>

#include <vector>

namespace sitecheck {

enum SiteColumn { PageColumn, LineColumn, LinkColumn, ProblemColumn, RuleColumn, SiteColumnCount };

// What the list shows: the broken links, the HTML problems, or both.
enum class ShowProblems { Links, Html, All };

// One row of the report list: the broken link (for an HTML problem its page and place),
// its page as shown (relative to the checked folder), its problem in words and its rule.
struct ReportRow {
    linkcheck::BrokenLink link;
    QString page;
    QString problem;
    QString rule; // "broken-link" for a link
};

// Sorts rows by a column; rows that compare equal keep their order, so the checker's order
// (page, line, column) stays within a column's ties. Descending is the reverse comparison.
void sortRows(std::vector<ReportRow> &rows, int column, Qt::SortOrder order);

// The rows of the Site Check's report list. A new report keeps the sorting of the old one.
class SiteReportModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SiteReportModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The checked folder, with a trailing separator: pages are shown relative to it.
    void setRoot(const QString &root) { m_root = root; }
    // The checker's reports, in their order; sorted by the sort column when there is one.
    void setReport(const std::vector<linkcheck::BrokenLink> &links,
        const std::vector<linkcheck::PageProblem> &problems = {});
    void clear() { setReport({}); }
    void setShown(ShowProblems shown);
    ShowProblems shown() const { return m_shown; }
    // The problems of both kinds, whatever is shown.
    int problemCount() const { return int(m_report.size() + m_problems.size()); }
    // -1: the checker's order, as reported.
    void sortBy(int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    const ReportRow &row(int index) const { return m_rows.at(size_t(index)); }

private:
    QString m_root;
    std::vector<linkcheck::BrokenLink> m_report;
    std::vector<linkcheck::PageProblem> m_problems;
    ShowProblems m_shown = ShowProblems::All;
    std::vector<ReportRow> m_rows;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace sitecheck
