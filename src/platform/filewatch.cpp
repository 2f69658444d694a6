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
    , reportTimer_(new QTimer(this))
    , pollTimer_(new QTimer(this))
{
    clock_.start();
    reportTimer_->setSingleShot(true);
    connect(reportTimer_, &QTimer::timeout, this, &FileWatch::report);
    pollTimer_->setInterval(pollIntervalMs);
    connect(pollTimer_, &QTimer::timeout, this, &FileWatch::poll);
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0) {
        notifier_ = new QSocketNotifier(inotify_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &FileWatch::readEvents);
    }
}

FileWatch::~FileWatch()
{
    if (inotify_ >= 0)
        ::close(inotify_);
}

void FileWatch::setFiles(const QStringList &files)
{
    // A file followed before and after keeps its last look and a change not yet reported;
    // one made while the watches were set anew is found by comparing with that look.
    const QHash<QString, Look> earlierLooks = looks_;
    const QSet<QString> earlierPending = pending_;
    clear();
    addFiles(files);
    QStringList kept;
    for (const QString &file : std::as_const(files_)) {
        const auto look = earlierLooks.constFind(file);
        if (look == earlierLooks.cend())
            continue;
        looks_.insert(file, *look);
        kept.append(file);
        if (earlierPending.contains(file))
            pending_.insert(file);
    }
    compareFiles(kept);
    if (!pending_.isEmpty())
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
    return files_;
}

void FileWatch::clear()
{
    for (Folder &folder : folders_)
        stopSystemWatch(folder);
    files_.clear();
    folders_.clear();
    filesOfEntry_.clear();
    looks_.clear();
    foldersOfDescriptor_.clear();
    pending_.clear();
    burstStart_ = -1;
    reportTimer_->stop();
    updatePollTimer();
}

void FileWatch::setTiming(int quietMs, int maxDelayMs, int intervalMs)
{
    quietMs_ = std::max(0, quietMs);
    maxDelayMs_ = std::max(0, maxDelayMs);
    intervalMs_ = std::max(0, intervalMs);
}

void FileWatch::setFolderLimit(int folders)
{
    folderLimit_ = folders;
}

bool FileWatch::isPolling() const
{
    return pollTimer_->isActive();
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
    if (looks_.contains(file))
        return;
    files_.append(file);
    looks_.insert(file, lookAt(file));
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
    QStringList &standsFor = filesOfEntry_[entry];
    if (standsFor.contains(file))
        return;
    standsFor.append(file);
    const int slash = entry.lastIndexOf(QLatin1Char('/'));
    const QString folderPath = slash == 0 ? QStringLiteral("/") : entry.left(slash);
    Folder &folder = folders_[folderPath];
    folder.names.insert(entry.mid(slash + 1));
    if (folder.descriptor < 0)
        startSystemWatch(folderPath, folder);
}

bool FileWatch::startSystemWatch(const QString &path, Folder &folder)
{
    // Without an inotify instance (the system's limit of them reached) every folder is polled.
    const bool limited = inotify_ < 0 || (folderLimit_ >= 0 && systemWatches_ >= folderLimit_);
    const int descriptor = limited
        ? -1
        : inotify_add_watch(inotify_, encodeFilePath(path).constData(), folderEvents);
    if (descriptor < 0) {
        const bool limitReached = limited || errno == ENOSPC || errno == ENOMEM;
        if (limitReached && !saidPolling_) {
            saidPolling_ = true;
            Q_EMIT pollingStarted();
        }
        return false;
    }
    folder.descriptor = descriptor;
    QStringList &paths = foldersOfDescriptor_[descriptor];
    if (paths.isEmpty())
        ++systemWatches_;
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
    auto paths = foldersOfDescriptor_.find(descriptor);
    if (paths == foldersOfDescriptor_.end())
        return;
    // Another path may still lead to the same folder: keep the watch for it.
    for (const QString &path : std::as_const(*paths)) {
        auto other = folders_.find(path);
        if (other != folders_.end() && other->descriptor == descriptor)
            return;
    }
    foldersOfDescriptor_.erase(paths);
    --systemWatches_;
    inotify_rm_watch(inotify_, descriptor);
}

void FileWatch::readEvents()
{
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(inotify_, buffer, sizeof buffer);
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
    if (!pending_.isEmpty())
        pendingGrew();
}

void FileWatch::takeEvent(int descriptor, quint32 mask, const QString &name)
{
    if (mask & IN_Q_OVERFLOW) {
        compareFiles(files_);
        return;
    }
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
        folderLost(descriptor);
        return;
    }
    if (name.isEmpty())
        return;
    for (const QString &folder : foldersOfDescriptor_.value(descriptor)) {
        for (const QString &file : filesOfEntry_.value(entryPath(folder, name)))
            pending_.insert(file);
    }
}

// The folder went away or moved: its files are looked at now, and the path is polled until a
// folder is there again.
void FileWatch::folderLost(int descriptor)
{
    const QStringList paths = foldersOfDescriptor_.value(descriptor);
    for (const QString &path : paths) {
        auto folder = folders_.find(path);
        if (folder != folders_.end() && folder->descriptor == descriptor)
            stopSystemWatch(*folder);
    }
    for (const QString &path : paths)
        compareFolder(path);
    updatePollTimer();
}

void FileWatch::compareFiles(const QStringList &files)
{
    for (const QString &file : files) {
        if (lookAt(file) != looks_.value(file))
            pending_.insert(file);
    }
}

void FileWatch::compareFolder(const QString &path)
{
    const Folder folder = folders_.value(path);
    QStringList files;
    for (const QString &name : folder.names)
        files += filesOfEntry_.value(entryPath(path, name));
    compareFiles(files);
}

void FileWatch::poll()
{
    for (auto folder = folders_.begin(); folder != folders_.end(); ++folder) {
        if (folder->descriptor >= 0)
            continue;
        if (QFileInfo(folder.key()).isDir())
            startSystemWatch(folder.key(), *folder);
        compareFolder(folder.key());
    }
    updatePollTimer();
    if (!pending_.isEmpty())
        pendingGrew();
}

void FileWatch::pendingGrew()
{
    const qint64 now = clock_.elapsed();
    if (burstStart_ < 0)
        burstStart_ = now;
    lastEvent_ = now;
    qint64 due = lastEvent_ + quietMs_;
    if (maxDelayMs_ > 0)
        due = std::min(due, burstStart_ + maxDelayMs_);
    due = std::max(due, lastReport_ + intervalMs_);
    reportTimer_->start(int(std::max<qint64>(0, due - now)));
}

void FileWatch::report()
{
    lastReport_ = clock_.elapsed();
    burstStart_ = -1;
    QStringList changed(pending_.cbegin(), pending_.cend());
    pending_.clear();
    if (changed.isEmpty())
        return;
    std::sort(changed.begin(), changed.end());
    for (const QString &file : std::as_const(changed))
        looks_.insert(file, lookAt(file));
    Q_EMIT filesChanged(changed);
}

void FileWatch::updatePollTimer()
{
    const bool anyPolled = std::any_of(folders_.cbegin(), folders_.cend(),
        [](const Folder &folder) { return folder.descriptor < 0; });
    if (anyPolled && !pollTimer_->isActive())
        pollTimer_->start();
    else if (!anyPolled)
        pollTimer_->stop();
}

} // namespace platform
