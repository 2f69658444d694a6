#include "platform/filewatch.h"

#include "platform/filenames.h"

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Everything that can change a followed entry of a folder, and the folder's own end.
constexpr quint32 folderEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE
    | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

constexpr int pollIntervalMs = 1000;

QString entryPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace

FileWatch::FileWatch(QObject *parent)
    : QObject(parent)
    , m_reportTimer(new QTimer(this))
    , m_pollTimer(new QTimer(this))
{
    m_clock.start();
    m_reportTimer->setSingleShot(true);
    connect(m_reportTimer, &QTimer::timeout, this, &FileWatch::report);
    m_pollTimer->setInterval(pollIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, this, &FileWatch::poll);
    m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify >= 0) {
        m_notifier = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &FileWatch::readEvents);
    }
}

FileWatch::~FileWatch()
{
    if (m_inotify >= 0)
        ::close(m_inotify);
}

void FileWatch::setFiles(const QStringList &files)
{
    // A file followed before and after keeps its last look and a change not yet reported;
    // one made while the watches were set anew is found by comparing with that look.
    const QHash<QString, Look> earlierLooks = m_looks;
    const QSet<QString> earlierPending = m_pending;
    clear();
    addFiles(files);
    QStringList kept;
    for (const QString &file : std::as_const(m_files)) {
        const auto look = earlierLooks.constFind(file);
        if (look == earlierLooks.cend())
            continue;
        m_looks.insert(file, *look);
        kept.append(file);
        if (earlierPending.contains(file))
            m_pending.insert(file);
    }
    compareFiles(kept);
    if (!m_pending.isEmpty())
        pendingGrew();
}

void FileWatch::addFiles(const QStringList &files)
{
    for (const QString &file : files)
        follow(QDir::cleanPath(QFileInfo(file).absoluteFilePath()));
    updatePollTimer();
}

QStringList FileWatch::files() const
{
    return m_files;
}

void FileWatch::clear()
{
    for (Folder &folder : m_folders)
        stopSystemWatch(folder);
    m_files.clear();
    m_folders.clear();
    m_filesOfEntry.clear();
    m_looks.clear();
    m_foldersOfDescriptor.clear();
    m_pending.clear();
    m_burstStart = -1;
    m_reportTimer->stop();
    updatePollTimer();
}

void FileWatch::setTiming(int quietMs, int maxDelayMs, int intervalMs)
{
    m_quietMs = std::max(0, quietMs);
    m_maxDelayMs = std::max(0, maxDelayMs);
    m_intervalMs = std::max(0, intervalMs);
}

void FileWatch::setFolderLimit(int folders)
{
    m_folderLimit = folders;
}

bool FileWatch::isPolling() const
{
    return m_pollTimer->isActive();
}

FileWatch::Look FileWatch::lookAt(const QString &path)
{
    Look look;
    struct stat info {};
    if (::stat(encodeFilePath(path).constData(), &info) != 0)
        return look;
    look.exists = true;
    look.regular = S_ISREG(info.st_mode);
    look.size = info.st_size;
    look.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    look.inode = info.st_ino;
    look.device = info.st_dev;
    return look;
}

void FileWatch::follow(const QString &file)
{
    if (m_looks.contains(file))
        return;
    m_files.append(file);
    m_looks.insert(file, lookAt(file));
    followEntry(file, file);
    // The target of a link changes without an event in the link's folder.
    const QFileInfo info(file);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty() && target != file)
            followEntry(target, file);
    }
}

void FileWatch::followEntry(const QString &entry, const QString &file)
{
    QStringList &standsFor = m_filesOfEntry[entry];
    if (standsFor.contains(file))
        return;
    standsFor.append(file);
    const int slash = entry.lastIndexOf(QLatin1Char('/'));
    const QString folderPath = slash == 0 ? QStringLiteral("/") : entry.left(slash);
    Folder &folder = m_folders[folderPath];
    folder.names.insert(entry.mid(slash + 1));
    if (folder.descriptor < 0)
        startSystemWatch(folderPath, folder);
}

bool FileWatch::startSystemWatch(const QString &path, Folder &folder)
{
    // Without an inotify instance (the system's limit of them reached) every folder is polled.
    const bool limited = m_inotify < 0 || (m_folderLimit >= 0 && m_systemWatches >= m_folderLimit);
    const int descriptor = limited
        ? -1
        : inotify_add_watch(m_inotify, encodeFilePath(path).constData(), folderEvents);
    if (descriptor < 0) {
        const bool limitReached = limited || errno == ENOSPC || errno == ENOMEM;
        if (limitReached && !m_saidPolling) {
            m_saidPolling = true;
            Q_EMIT pollingStarted();
        }
        return false;
    }
    folder.descriptor = descriptor;
    QStringList &paths = m_foldersOfDescriptor[descriptor];
    if (paths.isEmpty())
        ++m_systemWatches;
    if (!paths.contains(path))
        paths.append(path);
    return true;
}

void FileWatch::stopSystemWatch(Folder &folder)
{
    if (folder.descriptor < 0)
        return;
    const int descriptor = folder.descriptor;
    folder.descriptor = -1;
    auto paths = m_foldersOfDescriptor.find(descriptor);
    if (paths == m_foldersOfDescriptor.end())
        return;
    // Another path may still lead to the same folder: keep the watch for it.
    for (const QString &path : std::as_const(*paths)) {
        auto other = m_folders.find(path);
        if (other != m_folders.end() && other->descriptor == descriptor)
            return;
    }
    m_foldersOfDescriptor.erase(paths);
    --m_systemWatches;
    inotify_rm_watch(m_inotify, descriptor);
}

void FileWatch::readEvents()
{
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            const QString name = event->len
                ? decodeFileName(QByteArrayView(event->name, qsizetype(qstrnlen(event->name, event->len))))
                : QString();
            takeEvent(event->wd, event->mask, name);
            at += qsizetype(sizeof(inotify_event)) + event->len;
        }
    }
    if (!m_pending.isEmpty())
        pendingGrew();
}

void FileWatch::takeEvent(int descriptor, quint32 mask, const QString &name)
{
    if (mask & IN_Q_OVERFLOW) {
        compareFiles(m_files);
        return;
    }
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
        folderLost(descriptor);
        return;
    }
    if (name.isEmpty())
        return;
    for (const QString &folder : m_foldersOfDescriptor.value(descriptor)) {
        for (const QString &file : m_filesOfEntry.value(entryPath(folder, name)))
            m_pending.insert(file);
    }
}

// The folder went away or moved: its files are looked at now, and the path is polled until a
// folder is there again.
void FileWatch::folderLost(int descriptor)
{
    const QStringList paths = m_foldersOfDescriptor.value(descriptor);
    for (const QString &path : paths) {
        auto folder = m_folders.find(path);
        if (folder != m_folders.end() && folder->descriptor == descriptor)
            stopSystemWatch(*folder);
    }
    for (const QString &path : paths)
        compareFolder(path);
    updatePollTimer();
}

void FileWatch::compareFiles(const QStringList &files)
{
    for (const QString &file : files) {
        if (lookAt(file) != m_looks.value(file))
            m_pending.insert(file);
    }
}

void FileWatch::compareFolder(const QString &path)
{
    const Folder folder = m_folders.value(path);
    QStringList files;
    for (const QString &name : folder.names)
        files += m_filesOfEntry.value(entryPath(path, name));
    compareFiles(files);
}

void FileWatch::poll()
{
    for (auto folder = m_folders.begin(); folder != m_folders.end(); ++folder) {
        if (folder->descriptor >= 0)
            continue;
        if (QFileInfo(folder.key()).isDir())
            startSystemWatch(folder.key(), *folder);
        compareFolder(folder.key());
    }
    updatePollTimer();
    if (!m_pending.isEmpty())
        pendingGrew();
}

void FileWatch::pendingGrew()
{
    const qint64 now = m_clock.elapsed();
    if (m_burstStart < 0)
        m_burstStart = now;
    m_lastEvent = now;
    qint64 due = m_lastEvent + m_quietMs;
    if (m_maxDelayMs > 0)
        due = std::min(due, m_burstStart + m_maxDelayMs);
    due = std::max(due, m_lastReport + m_intervalMs);
    m_reportTimer->start(int(std::max<qint64>(0, due - now)));
}

void FileWatch::report()
{
    m_lastReport = m_clock.elapsed();
    m_burstStart = -1;
    QStringList changed(m_pending.cbegin(), m_pending.cend());
    m_pending.clear();
    if (changed.isEmpty())
        return;
    std::sort(changed.begin(), changed.end());
    for (const QString &file : std::as_const(changed))
        m_looks.insert(file, lookAt(file));
    Q_EMIT filesChanged(changed);
}

void FileWatch::updatePollTimer()
{
    const bool anyPolled = std::any_of(m_folders.cbegin(), m_folders.cend(),
        [](const Folder &folder) { return folder.descriptor < 0; });
    if (anyPolled && !m_pollTimer->isActive())
        m_pollTimer->start();
    else if (!anyPolled)
        m_pollTimer->stop();
}

} // namespace platform
