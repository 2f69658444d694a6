#pragma once

#include "visualcheck/lookcheck.h"

#include <QAbstractTableModel>

#include <vector>

namespace visualcheck {

enum LookColumn { LookPageColumn, LookWidthColumn, LookChangeColumn, LookRegionsColumn, LookColumnCount };

// The entries of the Visual Check page, most changed first: pages that failed, new pages,
// changed pages by their changed share, then the same ones. An entry of a page and width that
// is there already is replaced. Only changed and new entries keep their render.
class LookListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit LookListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Pages are shown relative to this folder (with its trailing separator).
    void setRoot(const QString &root) { m_root = root; }
    void clear();
    // Returns the row the entry went to.
    int put(LookResult result);
    const LookResult &entry(int row) const { return m_rows.at(size_t(row)); }
    int rowOf(const QString &page, int width) const;
    int changedCount() const;

private:
    QString m_root;
    std::vector<LookResult> m_rows;
};

} // namespace visualcheck
