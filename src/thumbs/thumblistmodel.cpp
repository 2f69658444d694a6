#include "thumbs/thumblistmodel.h"

#include "imaging/thumbstore.h"
#include "platform/hourglass.h"
#include "thumbs/imagecache.h"

#include <QFileInfo>

namespace thumbs {

ThumbListModel::ThumbListModel(const QString &thumbFolder, ImageCache &cache, QObject *parent)
    : QAbstractListModel(parent)
    , m_thumbFolder(thumbFolder)
    , m_cache(cache)
{ }

void ThumbListModel::setEntries(const QString &folder, const QStringList &names)
{
    beginResetModel();
    m_folder = folder;
    m_names = names;
    endResetModel();
}

QString ThumbListModel::thumbPath(int row) const
{
    if (row < 0 || row >= m_names.size())
        return {};
    return imaging::ThumbFileFor(m_thumbFolder, m_folder, m_names.at(row));
}

int ThumbListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant ThumbListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= m_names.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString(QString::number(row + 1) + QStringLiteral(": ") + m_names.at(row));
    case FileNameRole:
        return m_names.at(row);
    case SlotRole:
        return m_cache.lookup(thumbPath(row));
    default:
        return {};
    }
}

void ThumbListModel::prefetchItems(int first, int last)
{
    const int count = rowCount();
    if (first < 0 || last < 0 || first >= count || last >= count)
        return;
    const platform::HourglassGuard hourglass;
    for (int row = first; row <= last; ++row) {
        const QString thumb = thumbPath(row);
        if (QFileInfo::exists(thumb))
            m_cache.load(thumb);
    }
}

int ThumbListModel::findItem(const QString &text, int start, bool wrap) const
{
    const int count = rowCount();
    if (count == 0 || text.isEmpty())
        return -1;
    int row = std::clamp(start, 0, count);
    for (int tested = 0; tested < count; ++tested, ++row) {
        if (row >= count) {
            if (!wrap)
                return -1;
            row = 0;
        }
        if (m_names.at(row).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void ThumbListModel::entryChanged(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, { SlotRole });
}

} // namespace thumbs
