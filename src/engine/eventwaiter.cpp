#include "engine/eventwaiter.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace engine {

namespace {

// How often a wait that the user may stop looks at the stop check.
constexpr int stopPollMs = 100;

} // namespace

bool EventWaiter::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QPointer<EventWaiter> alive(this);
    while (!done()) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || stopRequested())
            return false;
        QEventLoop loop;
        m_loops.append(&loop);
        const bool stoppable = bool(m_stopCheck);
        QTimer::singleShot(
            int(stoppable ? std::min<qint64>(left, stopPollMs) : left), &loop, &QEventLoop::quit);
        // User input waits: a click must not start another load inside this one. A batch that
        // can be stopped has disabled everything but its stop button.
        loop.exec(stoppable ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (!alive)
            return false;
        m_loops.removeAll(&loop);
        m_loops.removeAll(nullptr);
    }
    return true;
}

void EventWaiter::wake()
{
    for (const QPointer<QEventLoop> &loop : std::as_const(m_loops)) {
        if (loop)
            loop->quit();
    }
}

void EventWaiter::setStopCheck(std::function<bool()> stopped)
{
    m_stopCheck = std::move(stopped);
}

bool EventWaiter::stopRequested() const
{
    return m_stopCheck && m_stopCheck();
}

} // namespace engine
