#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

namespace thumbs {

// The thumbnails to remake in the background after their pages changed on disk. A page waits
// until it has been quiet (its file unchanged) for the quiet time; pages are remade one at a
// time, earliest due first; nothing starts while paused; a page that is no longer wanted, or
// no longer a file, is dropped when its turn comes. A page that changes while it is remade is
// remade again after, so that the newest content wins, and so is one whose remake was under
// way when the queue was paused (the remake is expected to give up then).
class ThumbRefreshQueue : public QObject
{
    Q_OBJECT

public:
    // Remakes the thumbnail of a page.
    using Remake = std::function<void(const QString &page)>;
    // Whether a page's thumbnail is to be kept fresh (asked on arrival and again when due).
    using Wanted = std::function<bool(const QString &page)>;

    ThumbRefreshQueue(Remake remake, Wanted wanted, QObject *parent = nullptr);
    ~ThumbRefreshQueue() override;

    void setQuietTime(int ms) { m_quietMs = ms; }

    // Pages that changed on disk (full paths); each is queued once however often it is named.
    void pagesChanged(const QStringList &pages);
    // Nothing starts between pause() and its resume(); the calls nest.
    void pause();
    void resume();
    bool isPaused() const { return m_pauses > 0; }
    // Forgets every page waiting; a remake under way finishes.
    void clear();

    int waitingCount() const { return int(m_due.size()); }
    bool isRemaking() const { return !m_running.isEmpty(); }

Q_SIGNALS:
    // A page's remake has ended.
    void remade(const QString &page);

private:
    qint64 dueTime(const QString &page) const;
    void schedule();
    void startNext();
    void runRemake(const QString &page);

    Remake m_remake;
    Wanted m_wanted;
    int m_quietMs = 500;
    int m_pauses = 0;
    QHash<QString, qint64> m_due; // page -> when it may be remade, on m_clock
    QString m_running;
    bool m_pausedWhileRunning = false;
    // Counts clear() calls, so that a remake under way knows the queue was cleared meanwhile.
    int m_generation = 0;
    QElapsedTimer m_clock;
    QTimer *m_timer;
};

} // namespace thumbs
