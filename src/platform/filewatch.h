#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

class QSocketNotifier;
class QTimer;

namespace platform {

// Follows files on disk by watching their folders, so that a save that writes a new file and
// renames it over the old one is seen as well as a write in place. Each burst of changes is
// reported once, after it has been quiet for a moment.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    explicit FileWatch(QObject *parent = nullptr);
    ~FileWatch() override;

    // Absolute paths of files to follow; for a symbolic link its target is followed too.
    // Replaces the earlier set.
    void setFiles(const QStringList &files);
    void addFiles(const QStringList &files);
    QStringList files() const;
    void clear();

    // A burst is reported once quiet for quietMs, or maxDelayMs after its first event
    // (0: wait for quiet); reports come at least intervalMs apart.
    void setTiming(int quietMs, int maxDelayMs, int intervalMs);
    // At most this many folders get a system watch; the others are polled once a second.
    void setFolderLimit(int folders);
    bool isPolling() const;

Q_SIGNALS:
    // The followed files whose content, time, size, kind or existence changed.
    void filesChanged(const QStringList &files);
    // Once, when the watch limit is reached and some folders are polled instead.
    void pollingStarted();

private:
    // What a look at a path tells of it; two looks differ when the file changed.
    struct Look {
        bool exists = false;
        bool regular = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const Look &other) const = default;
    };
    struct Folder {
        int descriptor = -1; // -1: polled
        QSet<QString> names; // the followed entries in it
    };

    static Look lookAt(const QString &path);
    void follow(const QString &file);
    void followEntry(const QString &entry, const QString &file);
    bool startSystemWatch(const QString &path, Folder &folder);
    void stopSystemWatch(Folder &folder);
    void readEvents();
    void takeEvent(int descriptor, quint32 mask, const QString &name);
    void folderLost(int descriptor);
    void compareFiles(const QStringList &files);
    void compareFolder(const QString &path);
    void poll();
    void pendingGrew();
    void report();
    void updatePollTimer();

    int m_inotify = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_reportTimer = nullptr;
    QTimer *m_pollTimer = nullptr;
    QElapsedTimer m_clock;

    QStringList m_files;
    QHash<QString, Folder> m_folders;
    QHash<QString, QStringList> m_filesOfEntry; // "folder/name" -> followed files it stands for
    QHash<QString, Look> m_looks; // followed file -> its look at the last report
    QHash<int, QStringList> m_foldersOfDescriptor; // two paths may lead to one folder

    QSet<QString> m_pending; // followed files changed since the last report
    qint64 m_burstStart = -1;
    qint64 m_lastEvent = 0;
    qint64 m_lastReport = -1000000;

    int m_quietMs = 20;
    int m_maxDelayMs = 100;
    int m_intervalMs = 100;
    int m_folderLimit = -1;
    int m_systemWatches = 0;
    bool m_saidPolling = false;
};

} // namespace platform
