#pragma once

#include "linkcheck/sitecheck.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

class QThread;

namespace sitecheck {

// One check of a site on a worker thread, so that the window goes on painting and its Stop
// is heard. The checker asks after each page whether to go on; finished() comes on the
// thread that started the run.
class CheckRun : public QObject
{
    Q_OBJECT

public:
    explicit CheckRun(QObject *parent = nullptr);
    // A run still going is stopped and waited for: the checker must not outlive its owner.
    ~CheckRun() override;

    // False when a run is going already.
    bool start(const QStringList &paths, const linkcheck::CheckOptions &options);
    bool isRunning() const { return m_thread != nullptr; }
    void stop() { m_stop = true; }
    int pagesDone() const { return m_done; }
    int pagesTotal() const { return m_total; }
    // After finished(false): the memory ran out, no Stop ended it.
    bool ranOutOfMemory() const { return m_outOfMemory; }
    // After finished(): the checker with its report; null when the run was stopped.
    std::unique_ptr<linkcheck::SiteCheck> takeResult();

Q_SIGNALS:
    void finished(bool complete);

private:
    void threadEnded();

    QThread *m_thread = nullptr;
    std::unique_ptr<linkcheck::SiteCheck> m_check;
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_complete { false };
    std::atomic<bool> m_outOfMemory { false };
    std::atomic<int> m_done { 0 };
    std::atomic<int> m_total { 0 };
};

} // namespace sitecheck
