#include "engine/renderermemory.h"

#include <QRegularExpression>

namespace engine {

namespace {

constexpr qint64 kMb = 1024 * 1024;
// How often a renderer's data is looked at: at rest, and while it grows fast.
constexpr int kSampleMs = 250;
constexpr int kGrowingSampleMs = 50;
constexpr qint64 kFastGrowth = 8 * kMb;
// How often, and how many times, a renderer about to run is looked for.
constexpr int kSearchMs = 10;
constexpr int kSearches = 300;

} // namespace

QByteArray withRendererCaps(const QByteArray &engineFlags)
{
    QByteArray flags = engineFlags.trimmed();
    if (flags.contains("--js-flags"))
        return flags;
    if (!flags.isEmpty())
        flags.append(' ');
    flags.append("--js-flags=--max-old-space-size=");
    flags.append(QByteArray::number(kRendererScriptHeapMb));
    return flags;
}

int scriptHeapCapMb(const QByteArray &engineFlags)
{
    static const QRegularExpression cap(QStringLiteral("--max[-_]old[-_]space[-_]size[= ](\\d+)"));
    const QRegularExpressionMatch match = cap.match(QString::fromLatin1(engineFlags));
    const int mb = match.hasMatch() ? match.captured(1).toInt() : 0;
    return mb > 0 ? mb : kRendererScriptHeapMb;
}

bool ranOutOfMemory(qint64 firstBytes, qint64 lastBytes, int scriptHeapMb)
{
    if (firstBytes < 0 || lastBytes < 0)
        return false;
    return lastBytes - firstBytes >= qint64(scriptHeapMb) * kMb * 3 / 4
        || lastBytes >= qint64(kRendererDataMb) * kMb * 3 / 4;
}

RendererWatch::RendererWatch(QWebEnginePage *page)
    : QObject(page)
    , m_page(page)
    , m_scriptHeapMb(scriptHeapCapMb(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RendererWatch::sample);
    // The engine names a renderer only some time after a load starts.
    connect(page, &QWebEnginePage::loadingChanged, this, &RendererWatch::look);
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, &RendererWatch::look);
}

void RendererWatch::look()
{
    if (m_page->renderProcessPid() == m_pid && m_pid > 0)
        return;
    m_searches = kSearches;
    sample();
}

void RendererWatch::sample()
{
    const qint64 pid = m_page->renderProcessPid();
    if (pid > 0 && pid != m_pid) {
        // A new renderer: capped at once. The end of a renderer is judged by what was seen of
        // it, which stays until the next one runs.
        m_pid = pid;
        capRendererData(pid);
        m_first = m_last = processDataBytes(pid);
        m_timer.start(kSampleMs);
        return;
    }
    const qint64 now = m_pid > 0 ? processDataBytes(m_pid) : -1;
    if (now < 0) {
        // None yet, or gone: looked for a while.
        if (m_searches-- > 0)
            m_timer.start(kSearchMs);
        return;
    }
    const bool growing = now - m_last >= kFastGrowth;
    m_last = now;
    m_timer.start(growing ? kGrowingSampleMs : kSampleMs);
}

bool RendererWatch::endedOutOfMemory(QWebEnginePage::RenderProcessTerminationStatus status) const
{
    return status != QWebEnginePage::NormalTerminationStatus
        && ranOutOfMemory(m_first, m_last, m_scriptHeapMb);
}

} // namespace engine
