#include "linkcheck/sitecheck.h"

#include "linkcheck/linkresolve.h"
#include "linkcheck/pageparse.h"
#include "linkcheck/parallel.h"
#include "linkcheck/siteindex.h"
#include "platform/filenames.h"
#include "platform/filerules.h"
#include "platform/safefile.h"
#include "scan/folderscan.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <mutex>
#include <new>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include <sys/stat.h>
#include <unistd.h>

namespace linkcheck {

namespace {

// The page kinds the program accepts, pictures left out.
const QString kPageMask = QStringLiteral("*.htm;*.asp;*.sht;*.dht;*.cfm;*.jht");
// No page or style sheet can take more memory than this.
constexpr qint64 kMaxFileBytes = qint64(32) << 20;

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool isPageName(const QString &path)
{
    return platform::MaskMatches(path, kPageMask, platform::PathStyle::Posix);
}

bool isStyleSheetName(const QString &path)
{
    return path.endsWith(QLatin1String(".css"), Qt::CaseInsensitive);
}

// The whole of a page or style sheet, read once up to the size it had when it was opened: a
// file that grows meanwhile takes no more memory. False with the reason.
bool readPage(const QString &path, QByteArray *bytes, QString *why)
{
    QFile file;
    if (!platform::openRegularFile(file, path, why))
        return false;
    const qint64 size = file.size();
    if (size > kMaxFileBytes) {
        *why = platform::fileErrorText(path, EFBIG);
        return false;
    }
    QByteArray data(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(data.data() + done, size - done);
        if (got < 0) {
            *why = file.errorString();
            return false;
        }
        if (got == 0)
            break; // it shrank
        done += got;
    }
    data.truncate(done);
    *bytes = std::move(data);
    return true;
}

QString notEnoughMemoryText()
{
    return QStringLiteral("not enough memory");
}

BrokenLink unreadableEntry(const QString &shown, const QString &why)
{
    BrokenLink entry;
    entry.page = shown;
    entry.line = 1;
    entry.column = 1;
    entry.problem = Problem::CannotRead;
    entry.why = why;
    return entry;
}

bool isSymbolicLink(const QString &path)
{
    struct stat info {
    };
    return ::lstat(platform::encodeFilePath(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

struct Link {
    QString text;
    int line = 0;
    int column = 0;
    int target = -1; // in the table of targets, for local links
    QString fragment;
    LinkTarget::Kind kind = LinkTarget::External;
    bool folder = false;
    bool styleSheet = false;
    std::optional<Problem> problem;
};

// A page or style sheet that was read.
struct Record {
    QString path; // absolute and clean
    QString shown;
    bool sheet = false;
    bool alive = true;
    bool unreadable = false;
    QString why; // when unreadable
    std::vector<Link> links;
    std::vector<int> styleSheetLinks; // in `links`
    QSet<QString> anchors;
    std::vector<HtmlProblem> html; // CheckOptions::html
};

struct Target {
    QString path;
    bool folder = false;
    QString forms; // LinkTarget::forms
    Found found;
};

// The written link with the names that differ in case spelled as on disk.
QString caseSuggestion(const QString &written, const QString &spelled)
{
    const qsizetype end = [&] {
        const qsizetype query = written.indexOf(u'?');
        const qsizetype hash = written.indexOf(u'#');
        if (query < 0 || (hash >= 0 && hash < query))
            return hash < 0 ? written.size() : hash;
        return query;
    }();
    QStringList parts = written.left(end).split(u'/');
    const QStringList real = spelled.split(u'/', Qt::SkipEmptyParts);
    qsizetype r = real.size() - 1;
    for (qsizetype w = parts.size() - 1; w >= 0 && r >= 0; --w) {
        const QString &part = parts.at(w);
        if (part.isEmpty())
            continue;
        if (part == u"." || part == u"..")
            break;
        const QString name
            = platform::decodeFileName(QByteArray::fromPercentEncoding(part.toUtf8()));
        const QString &disk = real.at(r--);
        if (name != disk && name.compare(disk, Qt::CaseInsensitive) == 0)
            parts[w]
                = part.contains(u'%') ? QString::fromLatin1(QUrl::toPercentEncoding(disk)) : disk;
    }
    return parts.join(u'/') + written.mid(end);
}

} // namespace

struct SiteCheck::State {
    CheckOptions options;
    QString root;
    std::unique_ptr<SiteIndex> index;
    struct Given {
        QString path;
        QString shown;
        bool folder = false;
    };
    std::vector<Given> given;
    bool givenRelative = false;
    std::vector<Record> records;
    std::unordered_map<QString, int> recordOf;
    std::deque<Target> targets;
    QHash<QString, int> targetOf;
    std::vector<int> fresh;
    std::mutex tableLock;
    std::unordered_map<QString, std::vector<int>> targetsByFold;
    std::vector<std::vector<int>> dependents; // per target, the records linking it
    std::unordered_map<QString, std::optional<QSet<QString>>> otherAnchors;
    std::vector<BrokenLink> unreadable; // paths given and folders that cannot be read
    std::mutex unreadableLock;
    // followedFiles() as last made, and whether it may differ now.
    QStringList followed;
    bool followedChanged = true;

    int threads() const
    {
        return options.threads > 0 ? options.threads : std::max(1, QThread::idealThreadCount());
    }

    QString shownPath(const QString &path) const
    {
        for (const Given &entry : given) {
            if (path == entry.path)
                return entry.shown;
            if (entry.folder && isInside(path, entry.path))
                return entry.shown + (entry.shown.endsWith(u'/') ? QString() : QStringLiteral("/"))
                    + path.mid(entry.path.size() + (entry.path == u"/" ? 1 : 1));
        }
        return givenRelative ? QDir::current().relativeFilePath(path) : path;
    }

    int addRecord(const QString &path, bool sheet)
    {
        const auto known = recordOf.find(path);
        if (known != recordOf.end()) {
            Record &record = records[size_t(known->second)];
            if (record.alive)
                return -1;
            record = Record { path, shownPath(path), sheet };
            followedChanged = true;
            return known->second;
        }
        followedChanged = true;
        records.push_back(Record { path, shownPath(path), sheet });
        const int id = int(records.size() - 1);
        recordOf.emplace(path, id);
        return id;
    }

    void addUnreadable(const QString &path, const QString &why)
    {
        std::lock_guard lock(unreadableLock);
        unreadable.push_back(unreadableEntry(shownPath(path), why));
    }

    // Reads a record's file and resolves its links as far as text goes.
    void read(Record &record)
    {
        record.links.clear();
        record.styleSheetLinks.clear();
        record.anchors.clear();
        record.html.clear();
        record.unreadable = false;
        record.why.clear();
        ParsedFile parsed;
        try {
            QByteArray bytes;
            if (!readPage(record.path, &bytes, &record.why)) {
                record.unreadable = true;
                return;
            }
            if (!options.links) {
                record.html = checkPage(bytes);
                return;
            }
            parsed = record.sheet ? parseCss(bytes)
                : options.html    ? parseHtmlChecked(bytes, &record.html)
                                  : parseHtml(bytes);
        } catch (const std::bad_alloc &) {
            // One page too big for the memory left; the others are checked.
            parsed = {};
            record.unreadable = true;
            record.why = notEnoughMemoryText();
            return;
        }
        record.anchors = std::move(parsed.anchors);
        const Base base = pageBase(record.path, parsed.base, root);
        record.links.reserve(parsed.links.size());
        std::vector<LinkTarget> paths;
        paths.reserve(parsed.links.size());
        for (FoundLink &found : parsed.links) {
            LinkTarget target = resolveLink(found.text, base, root);
            Link link;
            link.text = std::move(found.text);
            link.line = found.line;
            link.column = found.column;
            link.styleSheet = found.styleSheet;
            link.kind = target.kind;
            link.folder = target.folder;
            link.fragment = target.fragment;
            if (link.styleSheet)
                record.styleSheetLinks.push_back(int(record.links.size()));
            record.links.push_back(std::move(link));
            paths.push_back(std::move(target));
        }
        placeTargets(record, paths);
    }

    // Gives the local links of a record their places in the table of targets; the targets
    // new to it wait in `fresh` to be looked for.
    void placeTargets(Record &record, const std::vector<LinkTarget> &paths)
    {
        std::lock_guard lock(tableLock);
        for (size_t i = 0; i < record.links.size(); ++i) {
            Link &link = record.links[i];
            if (link.kind != LinkTarget::Local)
                continue;
            const QString &path = paths[i].path;
            const QString &forms = paths[i].forms;
            // No path holds a NUL: the forms cannot make two keys alike.
            QString key = link.folder ? path + QLatin1Char('/') : path;
            if (!forms.isEmpty())
                key += QChar(0) + forms;
            auto at = targetOf.constFind(key);
            if (at == targetOf.constEnd()) {
                const int id = int(targets.size());
                at = targetOf.insert(key, id);
                targets.push_back(Target { path, link.folder, forms, {} });
                followedChanged = true;
                targetsByFold[path.toCaseFolded()].push_back(id);
                fresh.push_back(id);
            }
            link.target = at.value();
        }
    }

    void noteDependents(const std::vector<int> &ids)
    {
        dependents.resize(targets.size());
        for (const int id : ids)
            for (const Link &link : records[size_t(id)].links)
                if (link.target >= 0) {
                    std::vector<int> &into = dependents[size_t(link.target)];
                    if (into.empty() || into.back() != id)
                        into.push_back(id);
                }
    }

    void findTargets(const std::vector<int> &ids)
    {
        parallelFor(int(ids.size()), threads(), [&](int i) {
            Target &target = targets[size_t(ids[size_t(i)])];
            target.found = index->find(target.path, target.folder, target.forms);
        });
    }

    // Reads and resolves records, then the style sheets they lead to, until none is new.
    // After a check, the disk may have changed unseen where nothing followed was: with
    // `noticed`, the folders of targets new to the table are listed again before they are
    // looked for, and what came or went there is added to it. `done` gets every record read,
    // the style sheets met on the way too.
    bool readRecords(std::vector<int> ids, const std::function<bool(int, int)> &progress,
        QStringList *noticed = nullptr, QStringList *noticedFolders = nullptr,
        std::unordered_set<int> *done = nullptr)
    {
        while (!ids.empty()) {
            if (!parallelFor(
                    int(ids.size()), threads(),
                    [&](int i) { read(records[size_t(ids[size_t(i)])]); }, progress))
                return false;
            if (done)
                done->insert(ids.begin(), ids.end());
            noteDependents(ids);
            std::vector<int> found = std::exchange(fresh, {});
            if (noticed) {
                std::unordered_set<QString> listed; // each folder once
                for (const int id : found) {
                    const Target &target = targets[size_t(id)];
                    const QString path = target.folder
                        ? target.path + QLatin1Char('/') + indexNames().front()
                        : target.path;
                    if (listed.insert(QFileInfo(path).path()).second)
                        *noticed += index->refresh(path, noticedFolders);
                }
            }
            findTargets(found);
            ids = newStyleSheets(ids);
        }
        return true;
    }

    std::vector<int> newStyleSheets(const std::vector<int> &ids)
    {
        std::vector<int> sheets;
        for (const int id : ids)
            for (const Link &link : records[size_t(id)].links) {
                if (!link.styleSheet || link.target < 0)
                    continue;
                const Found &found = targets[size_t(link.target)].found;
                if (found.status != Found::Ok || !isStyleSheetName(found.file))
                    continue;
                const int sheet = addRecord(found.file, true);
                if (sheet >= 0)
                    sheets.push_back(sheet);
            }
        return sheets;
    }

    const QSet<QString> *anchorsOf(const QString &file) const
    {
        const auto record = recordOf.find(file);
        if (record != recordOf.end()) {
            const Record &page = records[size_t(record->second)];
            if (page.alive && !page.sheet)
                return page.unreadable ? nullptr : &page.anchors;
        }
        const auto other = otherAnchors.find(file);
        return other == otherAnchors.end() || !other->second ? nullptr : &*other->second;
    }

    bool needsAnchors(const Link &link) const
    {
        return options.fragments && !link.fragment.isEmpty() && link.target >= 0
            && targets[size_t(link.target)].found.status == Found::Ok
            && isPageName(targets[size_t(link.target)].found.file);
    }

    // The anchors of linked pages that are not checked themselves (hidden folders, pages
    // beside the folder checked).
    void readOtherAnchors(const std::vector<int> &ids)
    {
        std::vector<QString> files;
        for (const int id : ids)
            for (const Link &link : records[size_t(id)].links) {
                if (!needsAnchors(link))
                    continue;
                const QString &file = targets[size_t(link.target)].found.file;
                if (!recordOf.count(file) && otherAnchors.try_emplace(file).second)
                    files.push_back(file);
            }
        std::vector<std::optional<QSet<QString>>> read(files.size());
        parallelFor(int(files.size()), threads(), [&](int i) {
            QByteArray bytes;
            QString why;
            try {
                if (readPage(files[size_t(i)], &bytes, &why))
                    read[size_t(i)] = parseHtml(bytes).anchors;
            } catch (const std::bad_alloc &) {
                read[size_t(i)].reset(); // its anchors unknown: no link into it is judged
            }
        });
        for (size_t i = 0; i < files.size(); ++i)
            otherAnchors[files[i]] = std::move(read[i]);
    }

    std::optional<Problem> problemOf(const Link &link) const
    {
        switch (link.kind) {
        case LinkTarget::External:
            return std::nullopt;
        case LinkTarget::NoName:
            return Problem::NoSuchFile;
        case LinkTarget::Outside:
            return Problem::OutsideSite;
        case LinkTarget::Local:
            break;
        }
        const Found &found = targets[size_t(link.target)].found;
        switch (found.status) {
        case Found::NoSuchFile:
            return Problem::NoSuchFile;
        case Found::CannotRead:
            return Problem::TargetUnreadable;
        case Found::CaseDiffers:
            return Problem::CaseDiffers;
        case Found::Ok:
            break;
        }
        if (!needsAnchors(link))
            return std::nullopt;
        const QSet<QString> *anchors = anchorsOf(found.file);
        if (anchors && !anchors->contains(link.fragment))
            return Problem::NoAnchor;
        return std::nullopt;
    }

    void judge(const std::vector<int> &ids)
    {
        readOtherAnchors(ids);
        parallelFor(int(ids.size()), threads(), [&](int i) {
            for (Link &link : records[size_t(ids[size_t(i)])].links)
                link.problem = problemOf(link);
        });
    }

    // `shown` keeps the targets' paths as shown, one string each however often linked.
    BrokenLink broken(
        const Record &record, const Link &link, std::unordered_map<int, QString> &shown) const
    {
        BrokenLink entry;
        entry.page = record.shown;
        entry.line = link.line;
        entry.column = link.column;
        entry.link = link.text;
        entry.problem = *link.problem;
        if (link.target >= 0 && entry.problem != Problem::OutsideSite) {
            const Found &found = targets[size_t(link.target)].found;
            auto known = shown.find(link.target);
            if (known == shown.end())
                known = shown.emplace(link.target, shownPath(found.file)).first;
            entry.target = known->second;
            if (entry.problem == Problem::CaseDiffers)
                entry.suggestion = caseSuggestion(link.text, found.spelled);
        }
        if (entry.problem == Problem::NoAnchor)
            entry.anchor = link.fragment;
        return entry;
    }

    // Would the folder scan of the folders given enter this folder?
    bool scanEnters(const QString &folder) const
    {
        for (const Given &entry : given) {
            if (!entry.folder || !isInside(folder, entry.path))
                continue;
            bool entered = true;
            QString current = entry.path;
            const QStringList names = folder.mid(entry.path.size()).split(u'/', Qt::SkipEmptyParts);
            for (qsizetype i = 0; entered && i < names.size(); ++i) {
                current += QLatin1Char('/') + names.at(i);
                entered = !names.at(i).startsWith(u'.')
                    && !names.at(i).contains(QLatin1String("_vti_cnf"), Qt::CaseInsensitive)
                    && !isSymbolicLink(current) && !inThumbFolder(current);
            }
            if (entered)
                return true;
        }
        return false;
    }

    // Would the folder scan of the folders given find this page?
    bool scanFinds(const QString &path) const
    {
        const QFileInfo info(path);
        return isPageName(path) && !info.fileName().startsWith(u'.') && scanEnters(info.path());
    }

    filelists::ScanOptions scanOptions() const
    {
        filelists::ScanOptions scan;
        scan.mask = kPageMask;
        // Nothing below the thumbnail folder is entered; its own entries are left out here.
        scan.descendEverywhere = false;
        scan.thumbFolder = options.thumbFolder;
        return scan;
    }

    // Every page a folder scan finds below `folder`.
    void scanFolder(const QString &folder, const filelists::ScanOptions &scan,
        const std::function<void(const QString &)> &found) const
    {
        filelists::ScanFolder(folder, scan,
            [&](const QString &in, const QString &name, const filelists::EntryFacts &) {
                if (!inThumbFolder(in))
                    found(in + QLatin1Char('/') + name);
            });
    }

    // The pages among paths that came on disk (a page or a folder of pages moved, another
    // case, a page beside one followed): records to be read.
    void addPagesThatCame(const QStringList &paths, std::vector<int> &ids)
    {
        filelists::ScanOptions scan = scanOptions();
        scan.letEventsRun = [] {};
        const auto add = [&](const QString &page) {
            const int id = addRecord(page, false);
            if (id >= 0)
                ids.push_back(id);
        };
        for (const QString &path : paths) {
            const platform::FileState state = platform::fileState(path);
            if (state.kind == platform::FileState::Regular && scanFinds(path))
                add(path);
            else if (state.kind == platform::FileState::Folder && scanEnters(path))
                scanFolder(path, scan, add);
        }
    }

    bool inThumbFolder(const QString &folder) const
    {
        return !options.thumbFolder.isEmpty()
            && platform::isInThumbFolder(folder, options.thumbFolder, platform::PathStyle::Posix);
    }

    bool isGivenPage(const QString &path) const
    {
        return std::any_of(given.begin(), given.end(),
            [&](const Given &entry) { return !entry.folder && entry.path == path; });
    }

    // The paths given, the root and the index of the disk under it.
    void start(const QStringList &paths)
    {
        givenRelative = !paths.isEmpty()
            && std::all_of(paths.begin(), paths.end(),
                [](const QString &path) { return QDir::isRelativePath(path); });
        for (const QString &path : paths) {
            QString shown = path;
            while (shown.size() > 1 && shown.endsWith(u'/'))
                shown.chop(1);
            const QString absolute = cleanAbsolute(path);
            const bool folder = platform::fileState(absolute).kind == platform::FileState::Folder;
            given.push_back({ absolute, shown, folder });
        }
        // The first folder given, else the first page's folder.
        root = options.root.isEmpty() ? QString() : cleanAbsolute(options.root);
        for (const Given &entry : given)
            if (root.isEmpty() && entry.folder)
                root = entry.path;
        if (root.isEmpty())
            root = given.empty() ? QDir::currentPath() : QFileInfo(given.front().path).path();
        index = std::make_unique<SiteIndex>(root);
    }

    // The records of the pages the folder scan finds and of those given; nothing when stopped.
    std::optional<std::vector<int>> scanPages(const std::function<bool(int, int)> &progress)
    {
        std::atomic<bool> stopped = false;
        filelists::ScanOptions scan = scanOptions();
        scan.stopRequested = [&] { return stopped.load(); };
        scan.letEventsRun = [&] {
            if (progress && !progress(0, 0))
                stopped = true;
        };
        scan.folderUnreadable = [this](const QString &folder, int error) {
            addUnreadable(folder, platform::fileErrorText(folder, error));
        };
        std::vector<int> ids;
        const auto add = [&](const QString &path) {
            const int id = addRecord(path, false);
            if (id >= 0)
                ids.push_back(id);
        };
        for (const Given &entry : given) {
            if (entry.folder)
                scanFolder(entry.path, scan, add);
            else if (const QString problem = pathProblem(entry.path); problem.isEmpty())
                add(entry.path);
            else
                addUnreadable(entry.path, problem);
        }
        if (stopped)
            return std::nullopt;
        return ids;
    }

    // The record of a file saved, created or deleted: the ones to be read again.
    std::vector<int> refreshRecord(const QString &file)
    {
        otherAnchors.erase(file);
        const auto known = recordOf.find(file);
        const bool exists = platform::fileState(file).kind == platform::FileState::Regular;
        if (known != recordOf.end() && records[size_t(known->second)].alive) {
            if (exists)
                return { known->second };
            records[size_t(known->second)].alive = false;
            followedChanged = true;
        } else if (exists && (isGivenPage(file) || scanFinds(file))) {
            return { addRecord(file, false) };
        }
        return {};
    }

    // The case-folded paths whose state on disk may have changed with `paths`: each path and
    // its folder (for links to the folder's index page).
    static std::unordered_set<QString> foldedKeys(const QStringList &paths)
    {
        std::unordered_set<QString> keys;
        for (const QString &path : paths) {
            keys.insert(path.toCaseFolded());
            keys.insert(QFileInfo(path).path().toCaseFolded());
        }
        return keys;
    }

    // The case-folded paths of the targets below folders that came or went, of any case.
    std::unordered_set<QString> keysBelow(const QStringList &folders) const
    {
        std::unordered_set<QString> keys;
        if (folders.isEmpty())
            return keys;
        QStringList prefixes;
        for (const QString &folder : folders)
            prefixes.append(folder.toCaseFolded() + QLatin1Char('/'));
        for (const auto &[key, ids] : targetsByFold)
            for (const QString &prefix : prefixes)
                if (key.startsWith(prefix)) {
                    keys.insert(key);
                    break;
                }
        return keys;
    }

    // Looks for the targets of those paths again; returns them.
    std::unordered_set<int> retarget(const std::unordered_set<QString> &changed)
    {
        std::unordered_set<int> retargeted;
        for (const QString &key : changed) {
            const auto found = targetsByFold.find(key);
            if (found == targetsByFold.end())
                continue;
            for (const int id : found->second) {
                Target &target = targets[size_t(id)];
                const Found before = std::exchange(
                    target.found, index->find(target.path, target.folder, target.forms));
                followedChanged = followedChanged || before.file != target.found.file
                    || before.folder != target.found.folder;
                retargeted.insert(id);
            }
        }
        return retargeted;
    }

    // The style sheets that pages lead to now; those no longer led to are dropped, new ones
    // returned to be read.
    std::vector<int> restyle()
    {
        std::unordered_set<QString> wanted;
        std::vector<int> pending;
        for (size_t id = 0; id < records.size(); ++id)
            if (records[id].alive && !records[id].sheet)
                pending.push_back(int(id));
        while (!pending.empty()) {
            const Record &record = records[size_t(pending.back())];
            pending.pop_back();
            for (const int index : record.styleSheetLinks) {
                const Link &link = record.links[size_t(index)];
                if (link.target < 0)
                    continue;
                const Found &found = targets[size_t(link.target)].found;
                if (found.status != Found::Ok || !isStyleSheetName(found.file)
                    || !wanted.insert(found.file).second)
                    continue;
                const auto known = recordOf.find(found.file);
                if (known != recordOf.end() && records[size_t(known->second)].alive)
                    pending.push_back(known->second);
            }
        }
        std::vector<int> fresh;
        for (Record &record : records)
            if (record.sheet && record.alive && !wanted.count(record.path)) {
                record.alive = false;
                followedChanged = true;
            }
        for (const QString &file : wanted) {
            const int id = addRecord(file, true);
            if (id >= 0)
                fresh.push_back(id);
        }
        return fresh;
    }
};

QString reasonText(const BrokenLink &link)
{
    switch (link.problem) {
    case Problem::NoSuchFile:
        return QStringLiteral("no such file");
    case Problem::NoAnchor:
        return QStringLiteral("no anchor \"%1\" in %2").arg(link.anchor, link.target);
    case Problem::CaseDiffers:
        return QStringLiteral("case differs: \"%1\"").arg(link.suggestion);
    case Problem::OutsideSite:
        return QStringLiteral("outside the site");
    case Problem::CannotRead:
        if (!link.why.isEmpty())
            return QStringLiteral("cannot read: ") + link.why;
        break;
    case Problem::TargetUnreadable:
        break;
    }
    return QStringLiteral("cannot read");
}

QString pathProblem(const QString &path)
{
    const QByteArray native = platform::encodeFilePath(path);
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0)
        return platform::fileErrorText(path, errno);
    const bool folder = S_ISDIR(info.st_mode);
    if (!folder && !S_ISREG(info.st_mode))
        return platform::notRegularFileText();
    if (::access(native.constData(), folder ? R_OK | X_OK : R_OK) != 0)
        return platform::fileErrorText(path, errno);
    if (!folder && info.st_size > kMaxFileBytes)
        return platform::fileErrorText(path, EFBIG);
    return {};
}

QString escapeControls(const QString &text)
{
    const auto needsEscape = [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
    };
    if (std::none_of(text.begin(), text.end(), needsEscape))
        return text;
    static const char hex[] = "0123456789ABCDEF";
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!needsEscape(c)) {
            escaped += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\t':
            escaped += QLatin1String("\\t");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        case 0x2028:
        case 0x2029:
            escaped += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            break;
        default:
            escaped += QLatin1String("\\x") + QLatin1Char(hex[c.unicode() >> 4])
                + QLatin1Char(hex[c.unicode() & 15]);
        }
    }
    return escaped;
}

SiteCheck::SiteCheck(CheckOptions options)
    : m_state(std::make_unique<State>())
{
    m_state->options = std::move(options);
}

SiteCheck::~SiteCheck() = default;

bool SiteCheck::check(const QStringList &paths, const std::function<bool(int, int)> &progress)
{
    CheckOptions options = m_state->options;
    m_state = std::make_unique<State>();
    State &state = *m_state;
    state.options = std::move(options);
    state.start(paths);
    const std::optional<std::vector<int>> pages = state.scanPages(progress);
    if (!pages || !state.readRecords(*pages, progress))
        return false;
    std::vector<int> all(state.records.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    state.judge(all);
    if (progress)
        progress(int(pages->size()), int(pages->size()));
    return true;
}

void SiteCheck::update(const QString &path)
{
    State &state = *m_state;
    if (!state.index)
        return;
    const QString file = cleanAbsolute(path);
    std::vector<int> pending = state.refreshRecord(file);
    // What came or went beside the file; then, round by round, what the folders of new
    // targets and the style sheets now led to bring.
    QStringList folders;
    QStringList changed = state.index->refresh(file, &folders);
    changed.append(file);
    std::unordered_set<int> affected;
    std::unordered_set<int> retargeted;
    while (!changed.isEmpty() || !pending.empty()) {
        state.addPagesThatCame(changed, pending);
        std::unordered_set<QString> keys = State::foldedKeys(changed);
        keys.merge(state.keysBelow(folders));
        for (const int id : state.retarget(keys))
            retargeted.insert(id);
        changed.clear();
        folders.clear();
        state.readRecords(pending, {}, &changed, &folders, &affected);
        pending = state.restyle();
    }
    for (const int id : retargeted)
        affected.insert(state.dependents[size_t(id)].begin(), state.dependents[size_t(id)].end());
    std::vector<int> ids;
    for (const int id : affected)
        if (state.records[size_t(id)].alive)
            ids.push_back(id);
    state.judge(ids);
}

std::vector<BrokenLink> SiteCheck::report() const
{
    const State &state = *m_state;
    std::vector<BrokenLink> links = state.unreadable;
    std::unordered_map<int, QString> shown;
    for (const Record &record : state.records) {
        if (!record.alive)
            continue;
        if (record.unreadable) {
            links.push_back(unreadableEntry(record.shown, record.why));
            continue;
        }
        for (const Link &link : record.links)
            if (link.problem)
                links.push_back(state.broken(record, link, shown));
    }
    std::sort(links.begin(), links.end(), [](const BrokenLink &a, const BrokenLink &b) {
        if (a.page != b.page)
            return a.page < b.page;
        if (a.line != b.line)
            return a.line < b.line;
        if (a.column != b.column)
            return a.column < b.column;
        return a.link < b.link;
    });
    return links;
}

std::vector<PageProblem> SiteCheck::htmlReport() const
{
    std::vector<PageProblem> problems;
    for (const Record &record : m_state->records)
        if (record.alive)
            for (const HtmlProblem &problem : record.html)
                problems.push_back({ record.shown, problem });
    std::stable_sort(problems.begin(), problems.end(), [](const PageProblem &a, const PageProblem &b) {
        if (a.page != b.page)
            return a.page < b.page;
        if (a.problem.line != b.problem.line)
            return a.problem.line < b.problem.line;
        return a.problem.column < b.problem.column;
    });
    return problems;
}

CheckTotals SiteCheck::totals() const
{
    const State &state = *m_state;
    CheckTotals totals;
    totals.broken = qint64(state.unreadable.size());
    for (const Record &record : state.records) {
        if (!record.alive)
            continue;
        if (!record.sheet)
            ++totals.pages;
        totals.broken += record.unreadable ? 1 : 0;
        for (const Link &link : record.links) {
            ++totals.links;
            totals.external += link.kind == LinkTarget::External ? 1 : 0;
            totals.broken += link.problem ? 1 : 0;
        }
    }
    return totals;
}

QStringList SiteCheck::files() const
{
    QStringList files;
    for (const Record &record : m_state->records)
        if (record.alive)
            files.append(record.path);
    return files;
}

QStringList SiteCheck::followedFiles() const
{
    State &state = *m_state;
    // Made again only after a change to what is read or where links lead: most updates
    // change neither, and a large site follows tens of thousands of files.
    if (!state.followedChanged)
        return state.followed;
    QStringList files;
    files.reserve(qsizetype(state.records.size() + 2 * state.targets.size()));
    for (const Record &record : state.records)
        if (record.alive)
            files.append(record.path);
    // Every target, not only the missing ones: a file deleted or renamed breaks the links to
    // it, another case spelling makes or mends "case differs".
    for (const Target &target : state.targets) {
        files.append(target.path);
        if (!target.found.file.isEmpty() && target.found.file != target.path)
            files.append(target.found.file);
        // Another index page may come before the one found, or be the first.
        if (!target.found.folder.isEmpty())
            for (const QString &index : indexNames())
                files.append(target.found.folder + QLatin1Char('/') + index);
    }
    files.sort();
    files.erase(std::unique(files.begin(), files.end()), files.end());
    state.followed = files;
    state.followedChanged = false;
    return files;
}

QString gnuLine(const BrokenLink &link)
{
    const QString place
        = QStringLiteral("%1:%2:%3: ").arg(link.page).arg(link.line).arg(link.column);
    if (link.problem == Problem::CannotRead)
        return escapeControls(place + reasonText(link));
    return escapeControls(
        place + QStringLiteral("broken link \"%1\": %2").arg(link.link, reasonText(link)));
}

QByteArray jsonReport(const std::vector<BrokenLink> &links)
{
    // Fields in the order people read them, which QJsonObject would sort away.
    const auto text = [](const QString &value) {
        const QByteArray array = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    QByteArray json = "[";
    for (size_t i = 0; i < links.size(); ++i) {
        const BrokenLink &link = links[i];
        json += (i == 0 ? "\n  {" : ",\n  {") + QByteArray("\"page\":") + text(link.page)
            + ",\"line\":" + QByteArray::number(link.line)
            + ",\"column\":" + QByteArray::number(link.column) + ",\"link\":" + text(link.link)
            + ",\"reason\":" + text(reasonText(link)) + ",\"target\":" + text(link.target)
            + ",\"suggestion\":" + text(link.suggestion) + "}";
    }
    json += links.empty() ? "]\n" : "\n]\n";
    return json;
}

} // namespace linkcheck
