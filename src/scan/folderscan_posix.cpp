// The folder scan on POSIX systems: listings read by file descriptor, in pieces, on helper
// threads, and reported in the order of a one-thread walk.
#include "scan/scanvariant.h"

#include "platform/filenames.h"
#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QStringDecoder>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scan {

namespace {

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
    return platform::decodeFileName(name);
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
        const std::string_view key
            = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
        // Files of one kind tend to come together.
        if (m_lastKnown && key == m_key)
            return m_lastMatches;
        m_key.assign(key);
        m_lastKnown = true;
        const auto known = m_known.find(m_key);
        if (known != m_known.end())
            return m_lastMatches = known->second;
        if (m_known.size() > 4096)
            m_known.clear();
        m_lastMatches = platform::MaskMatches(decodedName(name.data()), m_mask);
        m_known.emplace(m_key, m_lastMatches);
        return m_lastMatches;
    }

private:
    QString m_mask;
    std::string m_key; // the extension looked up last
    bool m_lastKnown = false;
    bool m_lastMatches = false;
    std::unordered_map<std::string, bool> m_known;
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

// A folder's listing, closed once the last piece read from it and the last sub-folder to be
// opened relative to it are done.
class OpenFolder
{
public:
    explicit OpenFolder(DIR *listing)
        : m_listing(listing)
    { }
    ~OpenFolder() { ::closedir(m_listing); }
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;

    DIR *listing() const { return m_listing; }
    int fd() const { return ::dirfd(m_listing); }

private:
    DIR *m_listing;
};

using FolderKey = std::pair<quint64, quint64>; // device, inode

// The keys of a folder and of those above it, down to the one searched.
struct KeyChain {
    FolderKey key;
    std::shared_ptr<const KeyChain> above;
};

struct Piece;

// One entry of a piece, in listing order: a sub-folder to be entered there, or an entry that
// passed the mask.
struct Item {
    std::unique_ptr<Piece> subfolder;
    size_t nameAt = 0; // in the piece's names
    std::optional<EntryFacts> facts;
    // Entries listed since the item before, this one included: the stop is polled as often.
    quint32 polls = 0;
};

// Up to kPieceSize entries of one folder's listing, read by whichever thread comes first; the
// report puts the pieces back in the order of a scan on one thread.
struct Piece {
    static constexpr int kPieceSize = 1024;

    QString folder;
    bool descend = false;
    bool later = false;
    // The keys of the folders it lies in, its own folder's too once it is open.
    std::shared_ptr<const KeyChain> keys;
    // A first piece opens its folder: the root by `fd`, others by name relative to `parent`.
    int fd = -1;
    std::shared_ptr<OpenFolder> parent;
    std::string name;
    // A later piece reads on where the one before it stopped.
    std::shared_ptr<OpenFolder> listing;

    std::optional<FolderKey> key;
    std::vector<Item> items;
    // The names of the entries that passed the mask, as the listing gives them, NUL-separated:
    // the report decodes each in turn, without a string of its own per entry.
    std::string names;
    quint32 trailingPolls = 0;
    std::unique_ptr<Piece> rest; // the listing's next piece, if the listing went on
    std::atomic<bool> read { false };

    ~Piece()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Reads pieces: opens the folder when the piece is its first, lists up to kPieceSize entries,
// looks at the disk for those that passed the mask. Folders met become new pieces.
class PieceReader
{
public:
    PieceReader(bool recursive, const ScanOptions &options)
        : m_recursive(recursive)
        , m_options(options)
    { }

    // `matches` is the calling thread's own; `perEntry` runs once per entry listed; `publish`
    // receives the pieces to be read next, the listing's next piece first.
    template<typename PerEntry, typename Publish>
    void read(
        Piece &piece, ExtensionMatches &matches, const PerEntry &perEntry, const Publish &publish)
    {
        if (!piece.listing && !open(piece))
            return;
        std::vector<Piece *> found;
        const QString prefix = platform::WithTrailingBackslash(piece.folder);
        quint32 polls = 0;
        int listed = 0;
        while (listed < Piece::kPieceSize) {
            const dirent *entry = ::readdir(piece.listing->listing());
            if (!entry)
                break;
            ++listed;
            // Hidden entries, "." and ".." among them, are not listed.
            if (entry->d_name[0] == '.')
                continue;
            ++polls;
            perEntry();
            const Kind kind = kindOf(*entry, piece.listing->fd());
            if (kind == Kind::Skipped)
                continue;
            if (piece.descend && kind == Kind::PlainFolder) {
                const QString name = decodedName(entry->d_name);
                if (!isFrontPageFolder(name)) {
                    piece.items.push_back(
                        { subfolder(piece, entry->d_name, prefix + name), {}, {}, polls });
                    found.push_back(piece.items.back().subfolder.get());
                    polls = 0;
                    continue;
                }
            }
            if (!matches(entry->d_name))
                continue;
            piece.items.push_back({ nullptr, piece.names.size(), {}, std::exchange(polls, 0) });
            piece.names.append(entry->d_name, std::strlen(entry->d_name) + 1);
        }
        piece.trailingPolls = polls;
        if (listed == Piece::kPieceSize) {
            // The other thread may read on meanwhile.
            piece.rest = laterPiece(piece);
            publish(std::vector<Piece *> { piece.rest.get() });
        }
        readFacts(piece);
        publish(found);
    }

private:
    bool open(Piece &piece)
    {
        int fd = std::exchange(piece.fd, -1);
        if (fd < 0)
            // Never through a link, even one put in the folder's place after it was listed.
            fd = ::openat(piece.parent->fd(), piece.name.c_str(),
                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        piece.parent.reset();
        if (fd < 0) {
            if (m_options.folderUnreadable)
                m_options.folderUnreadable(piece.folder, errno);
            return false;
        }
        if (m_recursive && !noteKeys(piece, fd)) {
            ::close(fd);
            return false;
        }
        DIR *listing = ::fdopendir(fd);
        if (!listing) {
            if (m_options.folderUnreadable)
                m_options.folderUnreadable(piece.folder, errno);
            ::close(fd);
            return false;
        }
        piece.listing = std::make_shared<OpenFolder>(listing);
        piece.descend
            = m_recursive && (m_options.descendEverywhere || !inThumbFolder(piece.folder));
        return true;
    }

    // False for a folder mounted inside itself: links are never followed, but that would loop.
    // Which of two sightings of one folder elsewhere counts is decided by the report.
    static bool noteKeys(Piece &piece, int fd)
    {
        struct stat info {
        };
        if (::fstat(fd, &info) != 0)
            return true;
        const FolderKey key(quint64(info.st_dev), quint64(info.st_ino));
        for (const KeyChain *above = piece.keys.get(); above; above = above->above.get())
            if (above->key == key)
                return false;
        piece.key = key;
        piece.keys = std::make_shared<const KeyChain>(KeyChain { key, piece.keys });
        return true;
    }

    bool inThumbFolder(const QString &folder) const
    {
        return !m_options.thumbFolder.isEmpty()
            && platform::isInThumbFolder(folder, m_options.thumbFolder);
    }

    static std::unique_ptr<Piece> subfolder(
        const Piece &in, const char *name, const QString &folder)
    {
        auto piece = std::make_unique<Piece>();
        piece->folder = folder;
        piece->keys = in.keys;
        piece->parent = in.listing;
        piece->name = name;
        return piece;
    }

    static std::unique_ptr<Piece> laterPiece(const Piece &before)
    {
        auto piece = std::make_unique<Piece>();
        piece->folder = before.folder;
        piece->descend = before.descend;
        piece->later = true;
        piece->keys = before.keys;
        piece->listing = before.listing;
        return piece;
    }

    static void readFacts(Piece &piece)
    {
        for (Item &item : piece.items)
            if (!item.subfolder)
                item.facts = factsAt(piece.listing->fd(), piece.names.c_str() + item.nameAt);
        piece.listing.reset();
    }

    bool m_recursive;
    const ScanOptions &m_options;
};

// One look at the disk per file is most of a search's time, and the pieces of the listings are
// read on every core: by this thread and a helper per further core. This thread reports the
// entries in the order a scan on one thread would find them, reading pieces itself while the
// next one is not ready.
class Scanner
{
public:
    Scanner(const ScanOptions &options, const FoundEntry &found)
        : m_options(options)
        , m_clock(options)
        , m_found(found)
        , m_matches(options.mask)
    { }
    ~Scanner()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_workReady.notify_all();
        for (std::thread &helper : m_helpers)
            helper.join();
    }
    Scanner(const Scanner &) = delete;
    Scanner &operator=(const Scanner &) = delete;

    // False when stopped.
    bool scan(const QString &folder, bool recursive)
    {
        const int fd = ::open(
            platform::encodeFilePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            if (m_options.folderUnreadable)
                m_options.folderUnreadable(folder, errno);
            return true;
        }
        m_reader.emplace(recursive, m_options);
        m_root = std::make_unique<Piece>();
        m_root->folder = folder;
        m_root->fd = fd;
        m_pending.push_back(m_root.get());
        m_recursive = recursive;
        return report();
    }

private:
    struct Place {
        Piece *piece;
        Item *from = nullptr; // the item of the folder above
        size_t next = 0;
    };

    bool report()
    {
        std::vector<Place> path { { m_root.get() } };
        while (!path.empty()) {
            Place &place = path.back();
            waitFor(*place.piece);
            if (place.next == 0 && !place.piece->later && !firstVisit(*place.piece)) {
                passOver(place.from);
                path.pop_back();
                continue;
            }
            std::vector<Item> &items = place.piece->items;
            if (place.next < items.size()) {
                Item &item = items[place.next++];
                if (!pollsPass(item.polls))
                    return false;
                if (item.subfolder)
                    path.push_back({ item.subfolder.get(), &item });
                else
                    reportItem(*place.piece, item);
                continue;
            }
            if (!pollsPass(place.piece->trailingPolls))
                return false;
            // Reported: its entries and the folders below them go.
            std::vector<Item>().swap(items);
            std::string().swap(place.piece->names);
            if (place.piece->rest)
                place = { place.piece->rest.get() };
            else
                path.pop_back();
        }
        return true;
    }

    // The helpers may still be reading below a folder passed over: it goes with the scan.
    void passOver(Item *from)
    {
        if (from)
            m_passedOver.push_back(std::move(from->subfolder));
    }

    // The item's polls have let events run already.
    void reportItem(const Piece &piece, const Item &item)
    {
        if (item.facts)
            m_found(piece.folder, decodedName(piece.names.c_str() + item.nameAt), *item.facts);
    }

    // As platform::decodeFileName decodes it, into the same buffer each time.
    const QString &decodedName(const char *name)
    {
        const QByteArrayView bytes(name);
        // A name never has more UTF-16 units than bytes.
        m_name.resize(bytes.size());
        QChar *out = m_name.data();
        // Most names are ASCII, which needs no decoder.
        if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) {
            std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char16_t *>(out));
            return m_name;
        }
        m_decoder.resetState();
        const QChar *end = m_decoder.appendToBuffer(out, bytes);
        m_name.truncate(end - m_name.constData());
        // Not UTF-8: one character per byte, as names made on Windows often arrive.
        if (m_decoder.hasError())
            m_name = QString::fromLatin1(bytes);
        return m_name;
    }

    bool pollsPass(quint32 polls)
    {
        for (quint32 i = 0; i < polls; ++i)
            if (m_clock.stopRequested())
                return false;
        return true;
    }

    // A folder met a second time, mounted elsewhere too, is passed over where it comes later.
    bool firstVisit(const Piece &piece)
    {
        return !m_recursive || !piece.key || m_visited.insert(*piece.key).second;
    }

    // Reads pieces, the one wanted first, until it is read; events run meanwhile.
    void waitFor(Piece &wanted)
    {
        while (!wanted.read.load(std::memory_order_acquire)) {
            if (Piece *piece = take(&wanted)) {
                readPiece(*piece, m_matches, [this] { m_clock.letEventsRunWhenDue(); });
                continue;
            }
            std::unique_lock lock(m_mutex);
            m_reporterWaits = true;
            m_pieceRead.wait_for(lock,
                std::chrono::milliseconds(std::max(1, m_options.eventInterval)),
                [&wanted] { return wanted.read.load(std::memory_order_acquire); });
            m_reporterWaits = false;
            lock.unlock();
            m_clock.letEventsRunWhenDue();
        }
    }

    // The wanted piece when it waits, else the latest one made; nothing when none waits.
    Piece *take(const Piece *wanted)
    {
        const std::lock_guard lock(m_mutex);
        if (m_pending.empty())
            return nullptr;
        startHelpers();
        auto found = std::find(m_pending.rbegin(), m_pending.rend(), wanted);
        if (found == m_pending.rend())
            found = m_pending.rbegin();
        Piece *piece = *found;
        m_pending.erase(std::next(found).base());
        return piece;
    }

    template<typename PerEntry>
    void readPiece(Piece &piece, ExtensionMatches &matches, const PerEntry &perEntry)
    {
        m_reader->read(piece, matches, perEntry, [this](const std::vector<Piece *> &next) {
            if (!next.empty())
                publish(next);
        });
        const std::lock_guard lock(m_mutex);
        piece.read.store(true, std::memory_order_release);
        if (m_reporterWaits)
            m_pieceRead.notify_one();
    }

    // The first piece found ends on top: the helper reads ahead in the order of the report.
    void publish(const std::vector<Piece *> &pieces)
    {
        const std::lock_guard lock(m_mutex);
        m_pending.insert(m_pending.end(), pieces.rbegin(), pieces.rend());
        if (m_helpersWaiting > 0)
            m_workReady.notify_one();
    }

    // Started once there is a second piece to read, one per further core; without them this
    // thread reads every piece.
    void startHelpers()
    {
        if (m_helpersStarted)
            return;
        m_helpersStarted = true;
        const int helpers
            = std::clamp(int(std::thread::hardware_concurrency()) - 1, 1, kMaxHelpers);
        try {
            for (int i = 0; i < helpers; ++i)
                m_helpers.emplace_back([this] { help(); });
        } catch (const std::system_error &) {
            // Those that started read on.
        }
    }

    void help()
    {
        ExtensionMatches matches(m_options.mask);
        std::unique_lock lock(m_mutex);
        for (;;) {
            ++m_helpersWaiting;
            m_workReady.wait(lock, [this] { return m_quit || !m_pending.empty(); });
            --m_helpersWaiting;
            if (m_quit)
                return;
            Piece *piece = m_pending.back();
            m_pending.pop_back();
            lock.unlock();
            readPiece(*piece, matches, [] {});
            lock.lock();
        }
    }

    const ScanOptions &m_options;
    EventClock m_clock;
    const FoundEntry &m_found;
    ExtensionMatches m_matches;
    // A byte order mark is part of a name: kept, as decodeFileName keeps it.
    QStringDecoder m_decoder { QStringDecoder::Utf8,
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom };
    QString m_name;
    bool m_recursive = true;
    std::optional<PieceReader> m_reader;
    std::unique_ptr<Piece> m_root;
    std::vector<std::unique_ptr<Piece>> m_passedOver;
    std::set<FolderKey> m_visited;

    std::mutex m_mutex;
    std::condition_variable m_workReady;
    std::condition_variable m_pieceRead;
    std::vector<Piece *> m_pending; // the next to read last
    static constexpr int kMaxHelpers = 3;
    int m_helpersWaiting = 0;
    bool m_reporterWaits = false;
    bool m_quit = false;
    bool m_helpersStarted = false;
    std::vector<std::thread> m_helpers;
};

} // namespace

std::optional<EntryFacts> entryFacts(const QString &path, int *error)
{
    errno = 0;
    std::optional<EntryFacts> facts = factsAt(AT_FDCWD, platform::encodeFilePath(path).constData());
    if (error)
        *error = facts ? 0 : errno;
    return facts;
}

bool scanTree(const QString &folder, bool recursive, const ScanOptions &options,
    const FoundEntry &found)
{
    Scanner scanner(options, found);
    return scanner.scan(folder, recursive);
}

} // namespace scan
