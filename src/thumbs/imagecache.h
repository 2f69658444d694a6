#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace thumbs {

// Size of every thumbnail picture.
inline constexpr int kThumbWidth = 130;
inline constexpr int kThumbHeight = 100;

// The image cache of the thumbnail grid: decoded thumbnails in slots that are never freed,
// only reused, and a directory of one text entry per occupied slot, kept sorted without regard
// to case: "T" (live) or "D" (dead), the load counter in seven digits, the thumbnail path, "*",
// the slot. Sorting puts the dead entry with the lowest counter first, otherwise the live one
// loaded longest ago: the first entry is the one to evict.
class ImageCache
{
public:
    using Decoder = std::function<QImage(const QString &path)>;

    // At most cacheMax + 1 pictures; the decoder reads a thumbnail file (a null image when
    // it cannot).
    explicit ImageCache(int cacheMax = 200, Decoder decoder = {});

    void setCacheMax(int cacheMax) { m_cacheMax = cacheMax; }
    int cacheMax() const { return m_cacheMax; }

    // The slot of the live entry of this thumbnail, or -1.
    int lookup(const QString &path) const;
    // Decodes the thumbnail into the cache unless it is there; false when it is not cached
    // afterwards (unreadable or corrupt file).
    bool load(const QString &path);
    // Replaces the picture of a cached thumbnail; nothing when it is not cached.
    void refresh(const QString &path, const QImage &picture);
    // Marks the entry dead: its slot is reused first, and it is never found again.
    void invalidate(const QString &path);

    // The picture in a slot (null for a slot that does not exist).
    QImage picture(int slot) const;
    int slotCount() const { return int(m_slots.size()); }
    const QStringList &directory() const { return m_directory; }
    int loadCounter() const { return m_counter; }
    // Tests start the counter near its seven-digit limit.
    void setLoadCounter(int counter) { m_counter = counter; }

private:
    int findLive(const QString &path) const;
    void insertSorted(const QString &entry);
    int putPicture(const QImage &picture);

    int m_cacheMax;
    Decoder m_decode;
    int m_counter = 0;
    std::vector<QImage> m_slots;
    QStringList m_directory;
};

} // namespace thumbs
