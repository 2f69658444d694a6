#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace thumbs {

class ImageCache;

// The entries of the thumbnail grid: one per entry of the folder view's file list, supplied
// on demand, so that sizing the grid to tens of thousands of files costs nothing. Pictures
// come from the cache, keyed by the thumbnail path of each entry.
class ThumbListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // The cache slot of an entry's picture, -1 when it is not cached.
    static constexpr int SlotRole = Qt::UserRole + 1;
    static constexpr int FileNameRole = Qt::UserRole + 2;

    ThumbListModel(const QString &thumbFolder, ImageCache &cache, QObject *parent = nullptr);

    void setThumbFolder(const QString &thumbFolder) { m_thumbFolder = thumbFolder; }
    void setEntries(const QString &folder, const QStringList &names);
    QString folder() const { return m_folder; }
    QString thumbPath(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    // The caption "3: index.htm" and the slot.
    QVariant data(const QModelIndex &index, int role) const override;

    // Entries first..last are about to be shown: their thumbnails are decoded into the cache.
    void prefetchItems(int first, int last);
    // The first entry from `start` on whose file name begins with `text` (letter case
    // ignored), wrapping to 0 past the end only when asked; -1 when none does.
    int findItem(const QString &text, int start, bool wrap) const;
    // The picture of an entry has changed.
    void entryChanged(int row);

private:
    QString m_thumbFolder;
    ImageCache &m_cache;
    QString m_folder;
    QStringList m_names;
};

} // namespace thumbs
