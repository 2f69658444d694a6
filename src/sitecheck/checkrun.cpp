#include "sitecheck/checkrun.h"

#include <QThread>

#include <new>

namespace sitecheck {

CheckRun::CheckRun(QObject *parent)
    : QObject(parent)
{ }

CheckRun::~CheckRun()
{
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
    delete m_thread;
}

bool CheckRun::start(const QStringList &paths, const linkcheck::CheckOptions &options)
{
    if (m_thread)
        return false;
    m_stop = false;
    m_complete = false;
    m_outOfMemory = false;
    m_done = 0;
    m_total = 0;
    m_check = std::make_unique<linkcheck::SiteCheck>(options);
    linkcheck::SiteCheck *check = m_check.get();
    m_thread = QThread::create([this, check, paths] {
        try {
            m_complete = check->check(paths, [this](int done, int total) {
                m_done = done;
                m_total = total;
                return !m_stop;
            });
        } catch (const std::bad_alloc &) {
            // Out of the thread it would end the program; the check ends without a report.
            m_outOfMemory = true;
        }
    });
    connect(m_thread, &QThread::finished, this, &CheckRun::threadEnded);
    m_thread->start();
    return true;
}

void CheckRun::threadEnded()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    const bool complete = m_complete;
    if (!complete)
        m_check.reset();
    Q_EMIT finished(complete);
}

std::unique_ptr<linkcheck::SiteCheck> CheckRun::takeResult()
{
    return std::move(m_check);
}

} // namespace sitecheck
