#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class QWebEngineUrlRequestInterceptor;

namespace platform {
class FileWatch;
}

namespace engine {

// Follows on disk the local files a page loaded (the page, its frames' pages, style sheets,
// pictures, scripts) and says when the page should be loaded again. It also keeps the scroll
// positions the frames report, because the engine's reload keeps only the main document's.
class DiskFollower : public QObject
{
    Q_OBJECT

public:
    explicit DiskFollower(QObject *parent = nullptr);
    ~DiskFollower() override;

    // Set on each page of a view that follows the disk: records every local file the page
    // asks for. A main document of another file starts a new set.
    QWebEngineUrlRequestInterceptor *recorder() const;

    // Off: nothing is followed and nothing reported.
    void setEnabled(bool enabled);
    bool isEnabled() const;

    // A new main document (empty: none that is a local file): forgets the files of the last.
    void startPage(const QString &pageFile);
    QString pageFile() const;
    QStringList files() const;
    // The page file is gone from disk or no longer a file: its last view stays.
    bool isPageGone() const;

    // A frame's report of its scroll position: frame path (indexes joined by dots), URL, x, y.
    void noteFrameScroll(const QStringList &fields);
    // Taken as a reload starts; the script puts those positions back once it has loaded.
    void keepFrameScrolls();
    QString frameScrollRestoreScript() const;

    // For tests and the benchmark: the watcher's timing and folder limit.
    platform::FileWatch *watch();

Q_SIGNALS:
    // A followed file changed and the page is there to be loaded again.
    void reloadWanted();
    void pageGoneChanged(bool gone);
    // Once, when the system's folder watches ran out and folders are looked at once a second.
    void pollingStarted();

private:
    class Recorder;
    struct FrameScroll {
        QString url;
        QPoint offset;
    };

    void record(const QString &file, bool document);
    void flushRecorded();
    void filesChanged(const QStringList &changed);
    bool documentMissing() const;
    void setPageGone(bool gone);

    std::unique_ptr<Recorder> m_recorder;
    std::unique_ptr<platform::FileWatch> m_watch;
    bool m_enabled = false;
    bool m_pageGone = false;
    bool m_flushQueued = false;
    QString m_pageFile;
    QSet<QString> m_files;
    QSet<QString> m_documents;
    QStringList m_unwatched;
    QHash<QString, FrameScroll> m_frameScrolls;
    QHash<QString, FrameScroll> m_keptScrolls;
};

} // namespace engine
