#pragma once

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

namespace engine {

// The waits of a view: nested event loops that run until a condition holds, each woken at
// once when something it may wait for happens. While a stop check is set, waits let user
// input through and give up soon after it answers true.
class EventWaiter : public QObject
{
public:
    using QObject::QObject;

    // False when the time ran out, a stop was asked for or the waiter went away meanwhile
    // (then nothing of its owner may be touched).
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    // Every wait looks at its condition again.
    void wake();

    void setStopCheck(std::function<bool()> stopped);
    bool stopRequested() const;

private:
    QList<QPointer<QEventLoop>> m_loops;
    std::function<bool()> m_stopCheck;
};

} // namespace engine
