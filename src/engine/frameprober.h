#pragma once

#include <QElapsedTimer>
#include <QSize>

#include <functional>

namespace engine {

class EventWaiter;

// Knows when a view shows a frame begun after a given moment: the page is asked for a frame
// (a probe), reports it, and the view's next paint shows it. Counts the view's paints and the
// pages it was given, so that a probe of a page since replaced is not waited for.
class FrameProber
{
public:
    struct Probe {
        quint64 serial = 0; // 0 when none was asked for
        quint64 paints = 0;
        quint64 generation = 0;
        QSize size;
    };

    void notePaint() { ++m_paintCount; }
    void notePageReplaced() { ++m_generation; }

    // A new probe of a view of this size; the page is to be asked for frame probe().serial.
    const Probe &ask(QSize size);
    const Probe &probe() const { return m_probe; }
    // The page reported the frame of this probe.
    void noteFrame(quint64 serial);
    // How long after a frame's report the view may take to paint it.
    int paintGraceMs() const;

    // Waits until the view shows the frame of the last probe; false when it did not come
    // within the time, the page was replaced, the renderer hung or the waiter went away.
    bool waitForProbe(EventWaiter &waiter, int timeoutMs, const std::function<bool()> &hung);
    // What waitForProbe() would find without waiting: the frame of probe serial loadProbe
    // (still the last one) has been reported and painted, or the view had its while to paint it.
    bool isShown(quint64 loadProbe) const;

private:
    quint64 m_serial = 0;
    quint64 m_seen = 0;
    // The paints when the last frame was reported, and the time since.
    quint64 m_framePaints = 0;
    QElapsedTimer m_frameReported;
    quint64 m_paintCount = 0;
    QSize m_framedSize;
    quint64 m_generation = 0;
    Probe m_probe;
};

} // namespace engine
