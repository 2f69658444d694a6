#include "thumbs/imagecache.h"

#include "imaging/jpegcodec.h"

#include <algorithm>

namespace thumbs {

namespace {

constexpr qsizetype kPathStart = 8; // after the state and the seven-digit counter
const QChar kLive = QLatin1Char('T');
const QChar kDead = QLatin1Char('D');
const QChar kStar = QLatin1Char('*');

bool lessIgnoringCase(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Every slot holds a picture of the thumbnail size, whatever the file held.
QImage fitted(const QImage &picture)
{
    const QSize size(kThumbWidth, kThumbHeight);
    if (picture.size() == size)
        return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

ImageCache::ImageCache(int cacheMax, Decoder decoder)
    : m_cacheMax(cacheMax)
    , m_decode(decoder ? std::move(decoder) : Decoder(&imaging::readJpeg))
{ }

// The path must be followed by the "*" before the slot: a bare prefix would let "a.jpg" find
// the picture of "a.jpg.jpg", and a "*" inside a POSIX file name is the path's own.
int ImageCache::findLive(const QString &path) const
{
    for (qsizetype i = 0; i < m_directory.size(); ++i) {
        const QString &entry = m_directory.at(i);
        if (entry.size() <= kPathStart + path.size() + 1 || entry.at(0) != kLive)
            continue;
        const QStringView rest = QStringView(entry).mid(kPathStart);
        if (!rest.startsWith(path) || rest.at(path.size()) != kStar)
            continue;
        bool ok = false;
        if (rest.mid(path.size() + 1).toInt(&ok) >= 0 && ok)
            return int(i);
    }
    return -1;
}

int ImageCache::lookup(const QString &path) const
{
    const int entry = findLive(path);
    if (entry < 0)
        return -1;
    return QStringView(m_directory.at(entry)).mid(kPathStart + path.size() + 1).toInt();
}

void ImageCache::insertSorted(const QString &entry)
{
    const auto at
        = std::upper_bound(m_directory.begin(), m_directory.end(), entry, lessIgnoringCase);
    m_directory.insert(at, entry);
}

int ImageCache::putPicture(const QImage &picture)
{
    if (m_slots.size() <= size_t(std::max(0, m_cacheMax)) || m_directory.isEmpty()) {
        m_slots.push_back(picture);
        return int(m_slots.size()) - 1;
    }
    const QString oldest = m_directory.takeFirst();
    const int slot = oldest.mid(oldest.lastIndexOf(kStar) + 1).toInt();
    m_slots.at(size_t(slot)) = picture;
    return slot;
}

bool ImageCache::load(const QString &path)
{
    if (lookup(path) >= 0)
        return true;
    const QImage decoded = m_decode(path);
    if (decoded.isNull())
        return false;
    ++m_counter;
    const int slot = putPicture(fitted(decoded));
    insertSorted(
        kLive + QString::asprintf("%7.7d", m_counter) + path + kStar + QString::number(slot));
    return true;
}

void ImageCache::refresh(const QString &path, const QImage &picture)
{
    const int slot = lookup(path);
    if (slot >= 0 && !picture.isNull())
        m_slots.at(size_t(slot)) = fitted(picture);
}

void ImageCache::invalidate(const QString &path)
{
    const int entry = findLive(path);
    if (entry < 0)
        return;
    QString dead = m_directory.takeAt(entry);
    dead[0] = kDead;
    insertSorted(dead);
}

QImage ImageCache::picture(int slot) const
{
    if (slot < 0 || size_t(slot) >= m_slots.size())
        return {};
    return m_slots.at(size_t(slot));
}

} // namespace thumbs
