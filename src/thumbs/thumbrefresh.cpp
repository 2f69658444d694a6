#include "thumbs/thumbrefresh.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>

namespace thumbs {

namespace {

// When the file last changed, content or entry (a rename over it keeps the old content's
// time but not the entry's); invalid for a file that is not there.
QDateTime lastChange(const QFileInfo &file)
{
    return std::max(file.lastModified(), file.metadataChangeTime());
}

// Differs after any change of the file; the times alone may not within their resolution.
std::pair<QDateTime, qint64> fileState(const QString &page)
{
    const QFileInfo file(page);
    return { lastChange(file), file.exists() ? file.size() : -1 };
}

} // namespace

ThumbRefreshQueue::ThumbRefreshQueue(Remake remake, Wanted wanted, QObject *parent)
    : QObject(parent)
    , m_remake(std::move(remake))
    , m_wanted(std::move(wanted))
    , m_timer(new QTimer(this))
{
    m_clock.start();
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ThumbRefreshQueue::startNext);
}

ThumbRefreshQueue::~ThumbRefreshQueue() = default;

// The quiet time counts from the file's last change, which may lie before the notice (a
// watcher that waited for quiet itself), never from before the notice minus the quiet time.
qint64 ThumbRefreshQueue::dueTime(const QString &page) const
{
    const QDateTime changed = lastChange(QFileInfo(page));
    qint64 quietSoFar = 0;
    if (changed.isValid())
        quietSoFar = std::clamp<qint64>(
            changed.msecsTo(QDateTime::currentDateTime()), 0, qint64(m_quietMs));
    return m_clock.elapsed() + m_quietMs - quietSoFar;
}

void ThumbRefreshQueue::pagesChanged(const QStringList &pages)
{
    for (const QString &page : pages)
        if (m_wanted(page))
            m_due.insert(page, dueTime(page));
    schedule();
}

void ThumbRefreshQueue::pause()
{
    ++m_pauses;
    m_pausedWhileRunning = m_pausedWhileRunning || isRemaking();
    m_timer->stop();
}

void ThumbRefreshQueue::resume()
{
    m_pauses = std::max(0, m_pauses - 1);
    schedule();
}

void ThumbRefreshQueue::clear()
{
    m_due.clear();
    ++m_generation;
    m_timer->stop();
}

// One timer, set for the earliest page due.
void ThumbRefreshQueue::schedule()
{
    if (isPaused() || isRemaking() || m_due.isEmpty()) {
        m_timer->stop();
        return;
    }
    qint64 earliest = std::numeric_limits<qint64>::max();
    for (auto it = m_due.cbegin(); it != m_due.cend(); ++it)
        earliest = std::min(earliest, it.value());
    m_timer->start(int(std::clamp<qint64>(earliest - m_clock.elapsed(), 0, m_quietMs)));
}

void ThumbRefreshQueue::startNext()
{
    if (isPaused() || isRemaking())
        return;
    const qint64 now = m_clock.elapsed();
    auto next = m_due.end();
    for (auto it = m_due.begin(); it != m_due.end(); ++it)
        if (it.value() <= now && (next == m_due.end() || it.value() < next.value()))
            next = it;
    if (next == m_due.end()) {
        schedule();
        return;
    }
    const QString page = next.key();
    m_due.erase(next);
    if (QFileInfo(page).isFile() && m_wanted(page))
        runRemake(page);
    schedule();
}

void ThumbRefreshQueue::runRemake(const QString &page)
{
    const auto before = fileState(page);
    const int generation = m_generation;
    m_pausedWhileRunning = false;
    m_running = page;
    m_remake(page);
    m_running.clear();
    // Changed while it was captured, or given up for a pause: it gets another turn.
    if (generation == m_generation && (m_pausedWhileRunning || fileState(page) != before))
        pagesChanged({ page });
    Q_EMIT remade(page);
}

} // namespace thumbs
