#include "linkcheck/sitecheck.h"

#include "linkcheck/linkresolve.h"
#include "linkcheck/parallel.h"
#include "linkcheck/sitefiles.h"
#include "linkcheck/siteindex.h"
#include "linkcheck/sitejudge.h"
#include "linkcheck/siterecords.h"
#include "linkcheck/sitereport.h"
#include "linkcheck/sitescope.h"
#include "linkcheck/sitetargets.h"
#include "platform/filenames.h"
#include "platform/safefile.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <unordered_set>

namespace linkcheck {

// A check in progress and its results: what it covers (scope), the pages and style sheets
// read (records), where their links lead (targets) and what is wrong with them (judge). This
// drives the reading, round by round, for a whole check and for an update.
struct SiteCheck::State {
    CheckOptions options;
    SiteScope scope;
    std::unique_ptr<SiteIndex> index;
    RecordTable records;
    TargetTable targets;
    LinkJudge judge { records, targets, options.fragments };
    std::vector<BrokenLink> unreadable; // paths given and folders that cannot be read
    std::mutex unreadableLock;
    // followedFiles() as last made, and whether it may differ now.
    QStringList followed;
    bool followedChanged = true;

    explicit State(CheckOptions checkOptions)
        : options(std::move(checkOptions))
    {
    }

    int threads() const
    {
        return options.threads > 0 ? options.threads : std::max(1, QThread::idealThreadCount());
    }

    int addRecord(const QString &path, bool sheet)
    {
        const int id = records.add(path, scope.shownPath(path), sheet);
        if (id >= 0)
            followedChanged = true;
        return id;
    }

    void addUnreadable(const QString &path, const QString &why)
    {
        std::lock_guard lock(unreadableLock);
        unreadable.push_back(unreadableEntry(scope.shownPath(path), why));
    }

    // Reads a record's file and gives its local links their places in the table of targets.
    void read(Record &record)
    {
        std::vector<LinkTarget> paths;
        readRecord(record, scope.root(), options, &paths);
        targets.place(record.links, paths);
    }

    void judgeRecords(const std::vector<int> &ids) { judge.judge(ids, threads()); }

    // After a check the disk may have changed unseen where nothing followed was: the folders
    // of targets new to the table are listed again before they are looked for, and what came
    // or went there goes to `noticed` (those that are or were folders to `noticedFolders` too).
    void relistFolders(
        const std::vector<int> &fresh, QStringList *noticed, QStringList *noticedFolders)
    {
        std::unordered_set<QString> listed; // each folder once
        for (const int id : fresh) {
            const Target &target = targets[id];
            const QString path = target.folder
                ? target.path + QLatin1Char('/') + indexNames().front()
                : target.path;
            if (listed.insert(QFileInfo(path).path()).second)
                *noticed += index->refresh(path, noticedFolders);
        }
    }

    // Reads and resolves records, then the style sheets they lead to, until none is new.
    // With `noticed`, the folders of new targets are listed again (relistFolders). `done`
    // gets every record read, the style sheets met on the way too.
    bool readRecords(std::vector<int> ids, const std::function<bool(int, int)> &progress,
        QStringList *noticed = nullptr, QStringList *noticedFolders = nullptr,
        std::unordered_set<int> *done = nullptr)
    {
        while (!ids.empty()) {
            if (!parallelFor(
                    int(ids.size()), threads(), [&](int i) { read(records[ids[size_t(i)]]); },
                    progress))
                return false;
            if (done)
                done->insert(ids.begin(), ids.end());
            targets.noteDependents(records, ids);
            std::vector<int> found = targets.takeFresh();
            if (!found.empty())
                followedChanged = true;
            if (noticed)
                relistFolders(found, noticed, noticedFolders);
            targets.find(found, *index, threads());
            ids = newStyleSheets(ids);
        }
        return true;
    }

    // The style sheet a link leads to, when it is one; empty otherwise.
    QString styleSheetOf(const Link &link) const
    {
        if (!link.styleSheet || link.target < 0)
            return {};
        const Found &found = targets[link.target].found;
        return found.status == Found::Ok && isStyleSheetName(found.file) ? found.file : QString();
    }

    std::vector<int> newStyleSheets(const std::vector<int> &ids)
    {
        std::vector<int> sheets;
        for (const int id : ids)
            for (const Link &link : records[id].links) {
                const QString file = styleSheetOf(link);
                if (file.isEmpty())
                    continue;
                const int sheet = addRecord(file, true);
                if (sheet >= 0)
                    sheets.push_back(sheet);
            }
        return sheets;
    }

    // The pages among paths that came on disk (a page or a folder of pages moved, another
    // case, a page beside one followed): records to be read.
    void addPagesThatCame(const QStringList &paths, std::vector<int> &ids)
    {
        filelists::ScanOptions scan = scope.scanOptions();
        scan.letEventsRun = [] {};
        const auto add = [&](const QString &page) {
            const int id = addRecord(page, false);
            if (id >= 0)
                ids.push_back(id);
        };
        for (const QString &path : paths) {
            const platform::FileState state = platform::fileState(path);
            if (state.kind == platform::FileState::Regular && scope.scanFinds(path))
                add(path);
            else if (state.kind == platform::FileState::Folder && scope.scanEnters(path))
                scope.scanFolder(path, scan, add);
        }
    }

    // The paths given, the root and the index of the disk under it.
    void start(const QStringList &paths)
    {
        scope.start(paths, options.root, options.thumbFolder);
        index = std::make_unique<SiteIndex>(scope.root());
    }

    // The records of the pages the folder scan finds and of those given; nothing when stopped.
    std::optional<std::vector<int>> scanPages(const std::function<bool(int, int)> &progress)
    {
        std::atomic<bool> stopped = false;
        filelists::ScanOptions scan = scope.scanOptions();
        scan.stopRequested = [&] { return stopped.load(); };
        scan.letEventsRun = [&] {
            if (progress && !progress(0, 0))
                stopped = true;
        };
        scan.folderUnreadable = [this](const QString &folder, int error) {
            addUnreadable(folder, platform::fileErrorText(folder, error));
        };
        std::vector<int> ids;
        scope.scanGiven(
            scan,
            [&](const QString &path) {
                const int id = addRecord(path, false);
                if (id >= 0)
                    ids.push_back(id);
            },
            [this](const QString &path, const QString &why) { addUnreadable(path, why); });
        if (stopped)
            return std::nullopt;
        return ids;
    }

    // The record of a file saved, created or deleted: the ones to be read again.
    std::vector<int> refreshRecord(const QString &file)
    {
        judge.forget(file);
        const int known = records.idOf(file);
        const bool exists = platform::fileState(file).kind == platform::FileState::Regular;
        if (known >= 0 && records[known].alive) {
            if (exists)
                return { known };
            records[known].alive = false;
            followedChanged = true;
        } else if (exists && (scope.isGivenPage(file) || scope.scanFinds(file))) {
            return { addRecord(file, false) };
        }
        return {};
    }

    // Looks for the targets of those paths again; returns them.
    std::unordered_set<int> retarget(const std::unordered_set<QString> &changed)
    {
        bool moved = false;
        std::unordered_set<int> retargeted = targets.retarget(changed, *index, &moved);
        followedChanged = followedChanged || moved;
        return retargeted;
    }

    // The style sheets that pages lead to now, found from the pages through the sheets.
    std::unordered_set<QString> styleSheetsLedTo() const
    {
        std::unordered_set<QString> wanted;
        std::vector<int> pending;
        for (int id = 0; id < records.size(); ++id)
            if (records[id].alive && !records[id].sheet)
                pending.push_back(id);
        while (!pending.empty()) {
            const Record &record = records[pending.back()];
            pending.pop_back();
            for (const int link : record.styleSheetLinks) {
                const QString file = styleSheetOf(record.links[size_t(link)]);
                if (file.isEmpty() || !wanted.insert(file).second)
                    continue;
                const int known = records.idOf(file);
                if (known >= 0 && records[known].alive)
                    pending.push_back(known);
            }
        }
        return wanted;
    }

    // The style sheets that pages lead to now; those no longer led to are dropped, new ones
    // returned to be read.
    std::vector<int> restyle()
    {
        const std::unordered_set<QString> wanted = styleSheetsLedTo();
        std::vector<int> fresh;
        for (Record &record : records.all())
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

    // The records to judge again after an update: those read, and those linking a target
    // that leads elsewhere now.
    std::vector<int> affectedRecords(
        std::unordered_set<int> affected, const std::unordered_set<int> &retargeted) const
    {
        for (const int id : retargeted)
            affected.insert(targets.dependentsOf(id).begin(), targets.dependentsOf(id).end());
        std::vector<int> ids;
        for (const int id : affected)
            if (records[id].alive)
                ids.push_back(id);
        return ids;
    }
};

SiteCheck::SiteCheck(CheckOptions options)
    : m_state(std::make_unique<State>(std::move(options)))
{
}

SiteCheck::~SiteCheck() = default;

bool SiteCheck::check(const QStringList &paths, const std::function<bool(int, int)> &progress)
{
    m_state = std::make_unique<State>(m_state->options);
    State &state = *m_state;
    state.start(paths);
    const std::optional<std::vector<int>> pages = state.scanPages(progress);
    if (!pages || !state.readRecords(*pages, progress))
        return false;
    std::vector<int> all(size_t(state.records.size()));
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    state.judgeRecords(all);
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
        std::unordered_set<QString> keys = TargetTable::foldedKeys(changed);
        keys.merge(state.targets.keysBelow(folders));
        for (const int id : state.retarget(keys))
            retargeted.insert(id);
        changed.clear();
        folders.clear();
        state.readRecords(pending, {}, &changed, &folders, &affected);
        pending = state.restyle();
    }
    state.judgeRecords(state.affectedRecords(std::move(affected), retargeted));
}

std::vector<BrokenLink> SiteCheck::report() const
{
    const State &state = *m_state;
    std::vector<BrokenLink> links = state.unreadable;
    ReportWriter writer(state.targets, state.scope);
    for (const Record &record : state.records.all())
        if (record.alive)
            writer.addRecord(record, &links);
    sortReport(links);
    return links;
}

std::vector<PageProblem> SiteCheck::htmlReport() const
{
    std::vector<PageProblem> problems;
    for (const Record &record : m_state->records.all())
        if (record.alive)
            for (const HtmlProblem &problem : record.html)
                problems.push_back({ record.shown, problem });
    sortHtmlReport(problems);
    return problems;
}

CheckTotals SiteCheck::totals() const
{
    const State &state = *m_state;
    CheckTotals totals;
    totals.broken = qint64(state.unreadable.size());
    for (const Record &record : state.records.all()) {
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
    for (const Record &record : m_state->records.all())
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
    for (const Record &record : state.records.all())
        if (record.alive)
            files.append(record.path);
    // Every target, not only the missing ones: a file deleted or renamed breaks the links to
    // it, another case spelling makes or mends "case differs".
    for (const Target &target : state.targets.all()) {
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

} // namespace linkcheck
