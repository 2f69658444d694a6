#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace thumbs {

// One item per entry of the folder view's file list, supplied on demand, so that sizing
// the list to tens of thousands of files costs nothing.
class ThumbListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(const QStringList &names);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QStringList m_names;
};

} // namespace thumbs
