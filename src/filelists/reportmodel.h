#pragma once

#include "scan/listrecord.h"

#include <QAbstractTableModel>
#include <QList>

#include <vector>

namespace filelists {

// The entries of the report list: five text columns, the size right-aligned, the usual
// start-page names in red.
class ReportModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ReportModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<scan::ListEntry> &entries() const { return m_entries; }
    const scan::ListEntry &entry(qsizetype row) const { return m_entries.at(row); }
    void setEntries(QList<scan::ListEntry> entries);
    void clear() { setEntries({}); }
    // Keeps the rows whose flag is false; `remove` has one flag per row.
    void removeFlagged(const std::vector<bool> &remove);
    // Puts the rows in the given order (a permutation of all rows).
    void reorder(const std::vector<qsizetype> &rows);

private:
    QList<scan::ListEntry> m_entries;
};

} // namespace filelists
