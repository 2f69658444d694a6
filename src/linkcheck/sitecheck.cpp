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
#include <QHash>
#include <QJsonDocument>
#include <QJsonArray>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include <sys/stat.h>

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

bool isSymbolicLink(const QString &path)
{
    struct stat info {
    };
    return ::lstat(platform::encodeFilePath(path).constData(), &info) == 0
        && S_ISLNK(info.st_mode);
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
    std::vector<Link> links;
    std::vector<int> styleSheetLinks; // in `links`
    QSet<QString> anchors;
};

struct Target {
    QString path;
    bool folder = false;
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
        const QString name = platform::decodeFileName(QByteArray::fromPercentEncoding(part.toUtf8()));
        const QString &disk = real.at(r--);
        if (name != disk && name.compare(disk, Qt::CaseInsensitive) == 0)
            parts[w] = part.contains(u'%') ? QString::fromLatin1(QUrl::toPercentEncoding(disk))
                                           : disk;
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
                return entry.shown
                    + (entry.shown.endsWith(u'/') ? QString() : QStringLiteral("/"))
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
            return known->second;
        }
        records.push_back(Record { path, shownPath(path), sheet });
        const int id = int(records.size() - 1);
        recordOf.emplace(path, id);
        return id;
    }

    void addUnreadable(const QString &path)
    {
        std::lock_guard lock(unreadableLock);
        BrokenLink entry;
        entry.page = shownPath(path);
        entry.line = 1;
        entry.column = 1;
        entry.problem = Problem::CannotRead;
        unreadable.push_back(entry);
    }

    // Reads a record's file and resolves its links as far as text goes.
    void read(Record &record)
    {
        record.links.clear();
        record.styleSheetLinks.clear();
        record.anchors.clear();
        record.unreadable = false;
        if (isSymbolicLink(record.path)) {
            // A page that is a link out of the site is no page of the site.
            const Found found = index->find(record.path, false);
            if (found.status == Found::Outside) {
                record.alive = false;
                return;
            }
        }
        QByteArray bytes;
        if (!platform::readRegularFile(record.path, kMaxFileBytes, &bytes, nullptr)) {
            record.unreadable = true;
            return;
        }
        ParsedFile parsed = record.sheet ? parseCss(bytes) : parseHtml(bytes);
        record.anchors = std::move(parsed.anchors);
        const Base base = pageBase(record.path, parsed.base, root);
        record.links.reserve(parsed.links.size());
        std::vector<QString> paths;
        paths.reserve(parsed.links.size());
        for (FoundLink &found : parsed.links) {
            const LinkTarget target = resolveLink(found.text, base, root);
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
            paths.push_back(target.path);
        }
        placeTargets(record, paths);
    }

    // Gives the local links of a record their places in the table of targets; the targets
    // new to it wait in `fresh` to be looked for.
    void placeTargets(Record &record, const std::vector<QString> &paths)
    {
        std::lock_guard lock(tableLock);
        for (size_t i = 0; i < record.links.size(); ++i) {
            Link &link = record.links[i];
            if (link.kind != LinkTarget::Local)
                continue;
            const QString &path = paths[i];
            const QString key = link.folder ? path + QLatin1Char('/') : path;
            auto at = targetOf.constFind(key);
            if (at == targetOf.constEnd()) {
                const int id = int(targets.size());
                at = targetOf.insert(key, id);
                targets.push_back(Target { path, link.folder, {} });
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
            target.found = index->find(target.path, target.folder);
        });
    }

    // Reads and resolves records, then the style sheets they lead to, until none is new.
    bool readRecords(std::vector<int> ids, const std::function<bool(int, int)> &progress)
    {
        while (!ids.empty()) {
            if (!parallelFor(int(ids.size()), threads(),
                    [&](int i) { read(records[size_t(ids[size_t(i)])]); }, progress))
                return false;
            noteDependents(ids);
            findTargets(std::exchange(fresh, {}));
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
            if (platform::readRegularFile(files[size_t(i)], kMaxFileBytes, &bytes, nullptr))
                read[size_t(i)] = parseHtml(bytes).anchors;
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
        case Found::Outside:
            return Problem::OutsideSite;
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

    // Would the folder scan of the folders given find this page?
    bool scanFinds(const QString &path) const
    {
        if (!isPageName(path) || QFileInfo(path).fileName().startsWith(u'.'))
            return false;
        for (const Given &entry : given) {
            if (!entry.folder)
                continue;
            if (!isInside(path, entry.path) || path == entry.path)
                continue;
            bool entered = true;
            QString folder = entry.path;
            const QStringList names = path.mid(entry.path.size()).split(u'/', Qt::SkipEmptyParts);
            for (qsizetype i = 0; entered && i + 1 < names.size(); ++i) {
                folder += QLatin1Char('/') + names.at(i);
                entered = !names.at(i).startsWith(u'.')
                    && !names.at(i).contains(QLatin1String("_vti_cnf"), Qt::CaseInsensitive)
                    && !isSymbolicLink(folder) && !inThumbFolder(folder);
            }
            if (entered)
                return true;
        }
        return false;
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
            if (record.sheet && record.alive && !wanted.count(record.path))
                record.alive = false;
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
        break;
    }
    return QStringLiteral("cannot read");
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
    state.givenRelative = !paths.isEmpty()
        && std::all_of(paths.begin(), paths.end(), [](const QString &p) { return QDir::isRelativePath(p); });
    for (const QString &path : paths) {
        QString shown = path;
        while (shown.size() > 1 && shown.endsWith(u'/'))
            shown.chop(1);
        const QString absolute = cleanAbsolute(path);
        const bool folder = platform::fileState(absolute).kind == platform::FileState::Folder;
        state.given.push_back({ absolute, shown, folder });
    }
    state.root = state.options.root.isEmpty() ? QString() : cleanAbsolute(state.options.root);
    for (const State::Given &entry : state.given)
        if (state.root.isEmpty())
            state.root = entry.folder ? entry.path : QFileInfo(entry.path).path();
    if (state.root.isEmpty())
        state.root = QDir::currentPath();
    state.index = std::make_unique<SiteIndex>(state.root);

    std::atomic<bool> stopped = false;
    filelists::ScanOptions scan;
    scan.mask = kPageMask;
    scan.stopRequested = [&] { return stopped.load(); };
    scan.letEventsRun = [&] {
        if (progress && !progress(0, 0))
            stopped = true;
    };
    scan.folderUnreadable = [&](const QString &folder, int) { state.addUnreadable(folder); };
    std::vector<int> ids;
    for (const State::Given &entry : state.given) {
        if (entry.folder) {
            filelists::ScanFolder(entry.path, scan,
                [&](const QString &folder, const QString &name, const filelists::EntryFacts &) {
                    if (state.inThumbFolder(folder))
                        return;
                    const int id = state.addRecord(folder + QLatin1Char('/') + name, false);
                    if (id >= 0)
                        ids.push_back(id);
                });
        } else if (platform::fileState(entry.path).kind == platform::FileState::Regular) {
            const int id = state.addRecord(entry.path, false);
            if (id >= 0)
                ids.push_back(id);
        } else {
            state.addUnreadable(entry.path);
        }
    }
    if (stopped)
        return false;
    if (!state.readRecords(ids, progress))
        return false;
    std::vector<int> all(state.records.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    state.judge(all);
    if (progress)
        progress(int(ids.size()), int(ids.size()));
    return true;
}

void SiteCheck::update(const QString &path)
{
    State &state = *m_state;
    if (!state.index)
        return;
    const QString file = cleanAbsolute(path);
    std::unordered_set<QString> changed { file.toCaseFolded(),
        QFileInfo(file).path().toCaseFolded() };
    for (const QString &gone : state.index->refresh(file))
        changed.insert(gone.toCaseFolded());
    state.otherAnchors.erase(file);

    std::vector<int> reread;
    const auto known = state.recordOf.find(file);
    const bool exists = platform::fileState(file).kind == platform::FileState::Regular;
    if (known != state.recordOf.end() && state.records[size_t(known->second)].alive) {
        Record &record = state.records[size_t(known->second)];
        if (exists)
            reread.push_back(known->second);
        else
            record.alive = false;
    } else if (exists && (state.isGivenPage(file) || state.scanFinds(file))) {
        reread.push_back(state.addRecord(file, false));
    }

    std::unordered_set<int> retargeted;
    for (const QString &key : changed) {
        const auto targets = state.targetsByFold.find(key);
        if (targets == state.targetsByFold.end())
            continue;
        for (const int id : targets->second) {
            Target &target = state.targets[size_t(id)];
            target.found = state.index->find(target.path, target.folder);
            retargeted.insert(id);
        }
    }
    state.readRecords(reread, {});
    const std::vector<int> sheets = state.restyle();
    state.readRecords(sheets, {});

    std::unordered_set<int> affected(reread.begin(), reread.end());
    affected.insert(sheets.begin(), sheets.end());
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
            BrokenLink entry;
            entry.page = record.shown;
            entry.line = 1;
            entry.column = 1;
            entry.problem = Problem::CannotRead;
            links.push_back(entry);
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

QString gnuLine(const BrokenLink &link)
{
    const QString place = QStringLiteral("%1:%2:%3: ").arg(link.page).arg(link.line).arg(link.column);
    if (link.problem == Problem::CannotRead)
        return place + reasonText(link);
    return place + QStringLiteral("broken link \"%1\": %2").arg(link.link, reasonText(link));
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
