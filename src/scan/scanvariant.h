#pragma once

// What the platform variants of the folder scan share; not for use outside src/scan.
#include "scan/folderscan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

namespace scan {

// Such folders are tested against the mask like files, never entered.
inline bool isFrontPageFolder(const QString &name)
{
    return name.contains(QLatin1String("_vti_cnf"), Qt::CaseInsensitive);
}

// Lets events run when the interval has passed: per entry that costs one look at the clock.
class EventClock
{
public:
    explicit EventClock(const ScanOptions &options)
        : m_options(options)
    {
        m_sinceEvents.start();
    }

    void letEventsRunWhenDue()
    {
        if (m_sinceEvents.elapsed() < m_options.eventInterval)
            return;
        if (m_options.letEventsRun)
            m_options.letEventsRun();
        else if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        m_sinceEvents.restart();
    }

    // Once per entry.
    bool stopRequested()
    {
        letEventsRunWhenDue();
        return m_options.stopRequested && m_options.stopRequested();
    }

private:
    const ScanOptions &m_options;
    QElapsedTimer m_sinceEvents;
};

// Reports the entries of folder (and, when recursive, of its sub-folders) as the scan of this
// platform finds them; false when stopped.
bool scanTree(const QString &folder, bool recursive, const ScanOptions &options,
    const FoundEntry &found);

} // namespace scan
