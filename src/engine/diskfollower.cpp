#include "engine/diskfollower.h"

#include "engine/localfiles.h"
#include "platform/filewatch.h"
#include "platform/safefile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

namespace engine {

class DiskFollower::Recorder : public QWebEngineUrlRequestInterceptor
{
public:
    explicit Recorder(DiskFollower *follower)
        : m_follower(follower)
    {
    }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QString file = localFileOfUrl(info.requestUrl());
        const auto type = info.resourceType();
        const bool main = type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
        const bool document = main || type == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
        // The engine asks on the thread of the views; should it ever not, the request is
        // handed over rather than touching the follower from another thread.
        QPointer<DiskFollower> follower(m_follower);
        const auto note = [follower, file, main, document] {
            if (!follower)
                return;
            if (main && file != follower->m_pageFile)
                follower->startPage(file);
            if (!file.isEmpty())
                follower->record(file, document);
        };
        if (QThread::currentThread() == m_follower->thread())
            note();
        else
            QMetaObject::invokeMethod(m_follower, note, Qt::QueuedConnection);
    }

private:
    DiskFollower *m_follower;
};

DiskFollower::DiskFollower(QObject *parent)
    : QObject(parent)
    , m_recorder(std::make_unique<Recorder>(this))
{
}

DiskFollower::~DiskFollower() = default;

QWebEngineUrlRequestInterceptor *DiskFollower::recorder() const
{
    return m_recorder.get();
}

void DiskFollower::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled) {
        m_watch.reset();
        setPageGone(false);
        return;
    }
    watch()->setFiles(files());
    m_unwatched.clear();
}

bool DiskFollower::isEnabled() const
{
    return m_enabled;
}

void DiskFollower::startPage(const QString &pageFile)
{
    m_pageFile = pageFile;
    m_files.clear();
    m_documents.clear();
    m_unwatched.clear();
    m_frameScrolls.clear();
    m_keptScrolls.clear();
    if (m_watch)
        m_watch->clear();
    setPageGone(false);
    if (!pageFile.isEmpty())
        record(pageFile, true);
}

QString DiskFollower::pageFile() const
{
    return m_pageFile;
}

QStringList DiskFollower::files() const
{
    QStringList files;
    if (m_files.contains(m_pageFile))
        files.append(m_pageFile);
    for (const QString &file : m_files)
        if (file != m_pageFile)
            files.append(file);
    return files;
}

bool DiskFollower::isPageGone() const
{
    return m_pageGone;
}

void DiskFollower::record(const QString &file, bool document)
{
    if (document)
        m_documents.insert(file);
    if (m_files.contains(file))
        return;
    m_files.insert(file);
    if (!m_enabled)
        return;
    // A page asks for its files one by one: the watch gets them together.
    m_unwatched.append(file);
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QTimer::singleShot(0, this, [this] { flushRecorded(); });
}

void DiskFollower::flushRecorded()
{
    m_flushQueued = false;
    if (m_enabled && !m_unwatched.isEmpty())
        watch()->addFiles(m_unwatched);
    m_unwatched.clear();
}

platform::FileWatch *DiskFollower::watch()
{
    if (!m_watch) {
        m_watch = std::make_unique<platform::FileWatch>();
        connect(m_watch.get(), &platform::FileWatch::filesChanged, this,
            &DiskFollower::filesChanged);
        connect(m_watch.get(), &platform::FileWatch::pollingStarted, this,
            &DiskFollower::pollingStarted);
    }
    return m_watch.get();
}

void DiskFollower::filesChanged(const QStringList &)
{
    if (!m_enabled || m_pageFile.isEmpty())
        return;
    const bool gone = platform::fileState(m_pageFile).kind != platform::FileState::Regular;
    setPageGone(gone);
    // A page or frame page that is not there now keeps its last view until it comes back.
    if (gone || documentMissing())
        return;
    Q_EMIT reloadWanted();
}

bool DiskFollower::documentMissing() const
{
    for (const QString &file : m_documents)
        if (platform::fileState(file).kind != platform::FileState::Regular)
            return true;
    return false;
}

void DiskFollower::setPageGone(bool gone)
{
    if (gone == m_pageGone)
        return;
    m_pageGone = gone;
    Q_EMIT pageGoneChanged(gone);
}

void DiskFollower::noteFrameScroll(const QStringList &fields)
{
    if (fields.size() < 4)
        return;
    m_frameScrolls.insert(
        fields.at(0), { fields.at(1), QPoint(fields.at(2).toInt(), fields.at(3).toInt()) });
}

void DiskFollower::keepFrameScrolls()
{
    m_keptScrolls = m_frameScrolls;
}

QString DiskFollower::frameScrollRestoreScript() const
{
    QJsonArray scrolls;
    for (auto it = m_keptScrolls.cbegin(); it != m_keptScrolls.cend(); ++it) {
        scrolls.append(QJsonObject { { QStringLiteral("path"), it.key() },
            { QStringLiteral("url"), it->url }, { QStringLiteral("x"), it->offset.x() },
            { QStringLiteral("y"), it->offset.y() } });
    }
    if (scrolls.isEmpty())
        return QString();
    // Frames are origins of their own: each is told by a message, which its page script
    // takes only when it still shows the same document.
    return QStringLiteral("(function (list) { list.forEach(function (s) { var w = window;"
                          " s.path.split('.').forEach(function (i) { w = w && w.frames[+i]; });"
                          " if (w && w !== window) w.postMessage({ folioscopeScroll: s }, '*');"
                          " }); })(%1);")
        .arg(QString::fromUtf8(QJsonDocument(scrolls).toJson(QJsonDocument::Compact)));
}

} // namespace engine
