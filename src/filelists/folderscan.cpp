#include "filelists/folderscan.h"

#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#endif

namespace filelists {

namespace {

QString normalisedFolder(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    const QChar sep = platform::separator(platform::nativePathStyle());
    qsizetype end = native.size();
    while (end > 1 && native.at(end - 1) == sep && native.at(end - 2) != QLatin1Char(':'))
        --end;
    return native.left(end);
}

// Such folders are tested against the mask like files, never entered.
bool isFrontPageFolder(const QString &name)
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

#ifdef Q_OS_UNIX

std::optional<EntryFacts> factsAt(int folderFd, const char *name)
{
#ifdef STATX_SIZE
    // Only the fields a record needs: some file systems fetch the others at a price.
    struct statx info {
    };
    if (::statx(folderFd, name, AT_STATX_SYNC_AS_STAT, STATX_TYPE | STATX_SIZE | STATX_MTIME, &info)
        != 0)
        return std::nullopt;
    const bool folder = S_ISDIR(info.stx_mode);
    return EntryFacts { folder ? 0 : qint64(info.stx_size), qint64(info.stx_mtime.tv_sec) };
#else
    struct stat info {
    };
    if (::fstatat(folderFd, name, &info, 0) != 0)
        return std::nullopt;
    return EntryFacts { S_ISDIR(info.st_mode) ? 0 : qint64(info.st_size), qint64(info.st_mtime) };
#endif
}

QString decodedName(const char *name)
{
    return QFile::decodeName(name);
}

// MaskMatches looks at the extension alone, and a tree holds few extensions: each is tested
// once, and names are decoded only for the entries that match.
class ExtensionMatches
{
public:
    explicit ExtensionMatches(const QString &mask)
        : m_mask(mask)
    { }

    bool operator()(std::string_view name)
    {
        const size_t dot = name.rfind('.');
        m_key.assign(dot == std::string_view::npos ? std::string_view() : name.substr(dot));
        const auto known = m_known.find(m_key);
        if (known != m_known.end())
            return known->second;
        if (m_known.size() > 4096)
            m_known.clear();
        const bool matches = platform::MaskMatches(decodedName(name.data()), m_mask);
        m_known.emplace(m_key, matches);
        return matches;
    }

private:
    QString m_mask;
    std::string m_key;
    std::unordered_map<std::string, bool> m_known;
};

// Entries that passed the mask, waiting for their facts, in the order found.
struct Batch {
    struct Pending {
        QString folder;
        std::string name;
        int folderFd;
        std::optional<EntryFacts> facts;
    };
    static constexpr size_t kChunk = 64;

    std::vector<Pending> entries;
    // Listings finished while their entries wait here: the looks are relative to them.
    std::vector<DIR *> held;
    // The next chunk of entries to look at, for whichever thread comes first.
    std::atomic<size_t> next { 0 };

    // Reads facts chunk by chunk until none are left; `betweenChunks` may be empty.
    void readFacts(const std::function<void()> &betweenChunks)
    {
        for (;;) {
            const size_t first = next.fetch_add(kChunk);
            if (first >= entries.size())
                return;
            const size_t end = std::min(first + kChunk, entries.size());
            for (size_t i = first; i < end; ++i)
                entries[i].facts = factsAt(entries[i].folderFd, entries[i].name.c_str());
            if (betweenChunks)
                betweenChunks();
        }
    }

    void clear()
    {
        entries.clear();
        for (DIR *listing : held)
            ::closedir(listing);
        held.clear();
        next = 0;
    }
};

// A thread that reads the facts of one batch while the scan lists the folders of the next.
class FactsHelper
{
public:
    FactsHelper()
        : m_thread([this] { run(); })
    { }
    ~FactsHelper()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    FactsHelper(const FactsHelper &) = delete;
    FactsHelper &operator=(const FactsHelper &) = delete;

    void start(Batch &batch)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_work = &batch;
        }
        m_wake.notify_all();
    }

    // Once the batch has no chunk left: waits for the helper to leave it.
    void leave(Batch &batch)
    {
        std::unique_lock lock(m_mutex);
        if (m_work == &batch)
            m_work = nullptr;
        m_wake.wait(lock, [this] { return !m_busy; });
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || m_work; });
            if (m_quit)
                return;
            Batch *batch = std::exchange(m_work, nullptr);
            m_busy = true;
            lock.unlock();
            batch->readFacts({});
            lock.lock();
            m_busy = false;
            m_wake.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    Batch *m_work = nullptr;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};

// One look at the disk per file is most of a search's time: the looks are made in batches,
// by a helper thread while this one lists on, and the entries reported when their batch is
// read, in the order found.
class FoundQueue
{
public:
    FoundQueue(EventClock &clock, const FoundEntry &found)
        : m_clock(clock)
        , m_found(found)
    { }
    ~FoundQueue()
    {
        // The helper leaves the batches before they go.
        m_helper.reset();
        m_filling->clear();
        m_inFlight->clear();
    }
    FoundQueue(const FoundQueue &) = delete;
    FoundQueue &operator=(const FoundQueue &) = delete;

    // Returns the batch the entry went to.
    quint64 add(const QString &folder, const char *name, int folderFd)
    {
        m_filling->entries.push_back({ folder, name, folderFd, std::nullopt });
        const quint64 batch = m_fillingNumber;
        if (m_filling->entries.size() >= kBatchSize)
            pass();
        return batch;
    }

    // Closes a finished listing now, or once the last batch it added entries to is read.
    void release(DIR *listing, quint64 lastBatch)
    {
        if (lastBatch == 0 || lastBatch + 1 < m_fillingNumber) {
            ::closedir(listing);
            return;
        }
        m_filling->held.push_back(listing);
        if (m_filling->held.size() >= kMaxHeld)
            pass();
    }

    // Reports every entry found so far.
    void finish()
    {
        pass();
        reportInFlight();
    }

private:
    static constexpr size_t kBatchSize = 1024;
    static constexpr size_t kMaxHeld = 64;

    // The batch being filled goes to the helper once the one before it is reported.
    void pass()
    {
        reportInFlight();
        std::swap(m_filling, m_inFlight);
        ++m_fillingNumber;
        if (m_inFlight->entries.size() < kBatchSize)
            return; // a small remainder is read where it is reported
        if (!m_helper && !m_noHelper) {
            try {
                m_helper = std::make_unique<FactsHelper>();
            } catch (const std::system_error &) {
                m_noHelper = true; // this thread reads them all
            }
        }
        if (m_helper)
            m_helper->start(*m_inFlight);
    }

    void reportInFlight()
    {
        m_inFlight->readFacts([this] { m_clock.letEventsRunWhenDue(); });
        if (m_helper)
            m_helper->leave(*m_inFlight);
        for (const Batch::Pending &entry : m_inFlight->entries) {
            if (entry.facts)
                m_found(entry.folder, decodedName(entry.name.c_str()), *entry.facts);
            m_clock.letEventsRunWhenDue();
        }
        m_inFlight->clear();
    }

    EventClock &m_clock;
    const FoundEntry &m_found;
    Batch m_batches[2];
    Batch *m_filling = &m_batches[0];
    Batch *m_inFlight = &m_batches[1];
    // Batches are numbered from 1 as they are filled; 0 stands for none.
    quint64 m_fillingNumber = 1;
    std::unique_ptr<FactsHelper> m_helper;
    bool m_noHelper = false;
};

enum class Kind {
    PlainFolder, // a folder that is itself, not a link to one
    Other, // a file, or a link to be followed when its facts are read
    Skipped, // pipes, devices, sockets, and what cannot be looked at
};

Kind kindOf(const dirent &entry, int folderFd)
{
    switch (entry.d_type) {
    case DT_DIR:
        return Kind::PlainFolder;
    case DT_REG:
    case DT_LNK: // a broken link has no facts and drops out then
        return Kind::Other;
    case DT_UNKNOWN:
        break;
    default:
        return Kind::Skipped;
    }
    struct stat info {
    };
    if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Skipped;
    if (S_ISDIR(info.st_mode))
        return Kind::PlainFolder;
    return S_ISREG(info.st_mode) || S_ISLNK(info.st_mode) ? Kind::Other : Kind::Skipped;
}

class Scanner
{
public:
    Scanner(const ScanOptions &options, const FoundEntry &found)
        : m_options(options)
        , m_clock(options)
        , m_matches(options.mask)
        , m_queue(m_clock, found)
    { }

    // False when stopped.
    bool scan(const QString &folder, bool recursive)
    {
        const int fd
            = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return true;
        if (!scanListing(fd, folder, recursive))
            return false;
        m_queue.finish();
        return true;
    }

private:
    // Takes `fd` over.
    bool scanListing(int fd, const QString &folder, bool recursive)
    {
        if (recursive && !firstVisit(fd)) {
            ::close(fd);
            return true;
        }
        DIR *listing = ::fdopendir(fd);
        if (!listing) {
            ::close(fd);
            return true;
        }
        const bool descend = recursive && (m_options.descendEverywhere || !inThumbFolder(folder));
        const QString prefix = platform::WithTrailingBackslash(folder);
        quint64 lastBatch = 0;
        while (const dirent *entry = ::readdir(listing)) {
            // Hidden entries, "." and ".." among them, are not listed.
            if (entry->d_name[0] == '.')
                continue;
            if (m_clock.stopRequested()) {
                // Every listing with entries waiting is still open here.
                m_queue.finish();
                ::closedir(listing);
                return false;
            }
            const Kind kind = kindOf(*entry, fd);
            if (kind == Kind::Skipped)
                continue;
            if (descend && kind == Kind::PlainFolder) {
                const QString name = decodedName(entry->d_name);
                if (!isFrontPageFolder(name)) {
                    if (!enter(fd, entry->d_name, prefix + name)) {
                        ::closedir(listing);
                        return false;
                    }
                    continue;
                }
            }
            if (m_matches(entry->d_name))
                lastBatch = m_queue.add(folder, entry->d_name, fd);
        }
        m_queue.release(listing, lastBatch);
        return true;
    }

    bool enter(int parentFd, const char *name, const QString &folder)
    {
        // Never through a link, even one put in the folder's place after it was listed.
        const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        return fd < 0 || scanListing(fd, folder, true);
    }

    bool inThumbFolder(const QString &folder) const
    {
        return !m_options.thumbFolder.isEmpty()
            && platform::IsInThumbFolder(folder, m_options.thumbFolder);
    }

    // Links are never followed, but a folder mounted inside itself would still loop.
    bool firstVisit(int fd)
    {
        struct stat info {
        };
        if (::fstat(fd, &info) != 0)
            return true;
        const auto key = qMakePair(quint64(info.st_dev), quint64(info.st_ino));
        if (m_visited.contains(key))
            return false;
        m_visited.insert(key);
        return true;
    }

    const ScanOptions &m_options;
    EventClock m_clock;
    ExtensionMatches m_matches;
    FoundQueue m_queue;
    QSet<QPair<quint64, quint64>> m_visited;
};

#else

// Elsewhere the listing gives each entry's facts, and QDirIterator is quick enough.
class Scanner
{
public:
    Scanner(const ScanOptions &options, const FoundEntry &found)
        : m_options(options)
        , m_clock(options)
        , m_found(found)
    { }

    bool scan(const QString &folder, bool recursive)
    {
        const bool descend = recursive
            && (m_options.descendEverywhere || m_options.thumbFolder.isEmpty()
                || !platform::IsInThumbFolder(folder, m_options.thumbFolder));
        const QString prefix = platform::WithTrailingBackslash(folder);
        // Hidden entries, broken links, pipes and devices are not listed.
        QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            const QFileInfo entry = entries.nextFileInfo();
            if (m_clock.stopRequested())
                return false;
            const QString name = entry.fileName();
            const bool plainFolder = entry.isDir() && !entry.isSymLink() && !entry.isJunction();
            if (descend && plainFolder && !isFrontPageFolder(name)) {
                if (!scan(prefix + name, true))
                    return false;
                continue;
            }
            if (platform::MaskMatches(name, m_options.mask))
                m_found(folder, name,
                    EntryFacts { entry.isDir() ? 0 : entry.size(),
                        entry.lastModified().toSecsSinceEpoch() });
        }
        return true;
    }

private:
    const ScanOptions &m_options;
    EventClock m_clock;
    const FoundEntry &m_found;
};

#endif

} // namespace

std::optional<EntryFacts> entryFacts(const QString &path)
{
#ifdef Q_OS_UNIX
    return factsAt(AT_FDCWD, QFile::encodeName(path).constData());
#else
    const QFileInfo entry(path);
    if (!entry.exists())
        return std::nullopt;
    return EntryFacts { entry.isDir() ? 0 : entry.size(), entry.lastModified().toSecsSinceEpoch() };
#endif
}

bool ScanFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found)
{
    Scanner scanner(options, found);
    return scanner.scan(normalisedFolder(folder), true);
}

bool ScanOneFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found)
{
    Scanner scanner(options, found);
    return scanner.scan(normalisedFolder(folder), false);
}

QStringList ScanFolderPaths(const QString &folder, const ScanOptions &options)
{
    QStringList paths;
    ScanFolder(
        folder, options, [&paths](const QString &in, const QString &name, const EntryFacts &) {
            paths.append(platform::WithTrailingBackslash(in) + name);
        });
    return paths;
}

} // namespace filelists
