#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QWebEnginePage>

namespace engine {

// A hostile page must not take the machine's memory: each renderer gets a JavaScript heap of
// at most this many megabytes, and data in all (heap, pictures, buffers) of at most the second
// figure. Three such renderers loading at once and the program stay under 2 GB.
inline constexpr int kRendererScriptHeapMb = 256;
inline constexpr int kRendererDataMb = 768;

// The engine's command-line flags with the script heap cap added; a cap the flags name already
// stays. Must be in place before the engine starts.
QByteArray withRendererCaps(const QByteArray &engineFlags);
// The script heap cap in megabytes that these flags give the renderers.
int scriptHeapCapMb(const QByteArray &engineFlags);

// Caps the data of a running renderer process at kRendererDataMb; false where the platform has
// no such limit or the process is gone.
bool capRendererData(qint64 pid);
// The data a process holds now, in bytes; -1 when unknown.
qint64 processDataBytes(qint64 pid);

// Whether a renderer that ended abnormally had run out of memory: its data grew by most of the
// script heap cap since it started, or reached most of its data cap. A page's ordinary data
// stays far below either; a crash for another reason does not grow it.
bool ranOutOfMemory(qint64 firstBytes, qint64 lastBytes, int scriptHeapMb);

// Follows the renderers of a page: caps the data of each as soon as it runs, and looks at what
// it holds a few times a second (more often while it grows), so that its end tells running out
// of memory from another crash.
class RendererWatch : public QObject
{
public:
    explicit RendererWatch(QWebEnginePage *page);

    // For the renderProcessTerminated report of the page.
    bool endedOutOfMemory(QWebEnginePage::RenderProcessTerminationStatus status) const;

private:
    void look();
    void sample();

    QWebEnginePage *m_page;
    QTimer m_timer;
    int m_searches = 0; // looks left for a renderer that is about to run
    qint64 m_pid = 0;
    qint64 m_first = -1;
    qint64 m_last = -1;
    int m_scriptHeapMb;
};

} // namespace engine
