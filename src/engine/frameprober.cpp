#include "engine/frameprober.h"

#include "engine/eventwaiter.h"

#include <algorithm>

namespace engine {

namespace {

int graceMs(bool resized)
{
    return resized ? 250 : 100;
}

} // namespace

const FrameProber::Probe &FrameProber::ask(QSize size)
{
    m_probe = { ++m_serial, m_paintCount, m_generation, size };
    return m_probe;
}

void FrameProber::noteFrame(quint64 serial)
{
    m_seen = std::max(m_seen, serial);
    m_framePaints = m_paintCount;
    m_frameReported.start();
}

int FrameProber::paintGraceMs() const
{
    return graceMs(m_probe.size != m_framedSize);
}

bool FrameProber::waitForProbe(
    EventWaiter &waiter, int timeoutMs, const std::function<bool()> &hung)
{
    const Probe asked = m_probe;
    QElapsedTimer timer;
    timer.start();
    // False too when the waiter, and so the view with this prober, went away.
    const bool framed = waiter.waitUntil(
        [&] { return m_seen >= asked.serial || asked.generation != m_generation || hung(); },
        timeoutMs);
    if (!framed || asked.generation != m_generation)
        return false;
    // The frame is on its way to the widget, which shows it with its next paint; the engine
    // may report it a little before it delivers it, or, after a resize, much before. Paints
    // already seen may be of older frames: give one after the report a short while.
    const bool resized = asked.size != m_framedSize;
    m_framedSize = asked.size;
    const quint64 paintsReported = m_framePaints;
    if (resized || m_paintCount == asked.paints) {
        const qint64 left = std::min<qint64>(
            timeoutMs - timer.elapsed(), graceMs(resized) - m_frameReported.elapsed());
        waiter.waitUntil(
            [&] { return m_paintCount != paintsReported; }, int(std::max<qint64>(0, left)));
    }
    return true;
}

bool FrameProber::isShown(quint64 loadProbe) const
{
    if (loadProbe != m_probe.serial || m_probe.generation != m_generation
        || m_seen < m_probe.serial)
        return false;
    const bool resized = m_probe.size != m_framedSize;
    return m_paintCount != (resized ? m_framePaints : m_probe.paints)
        || m_frameReported.elapsed() >= graceMs(resized);
}

} // namespace engine
