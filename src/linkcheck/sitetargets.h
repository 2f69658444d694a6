#pragma once

#include "linkcheck/siteindex.h"
#include "linkcheck/siterecords.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace linkcheck {

// A file or folder local links lead to, as written (path and name forms), and where it
// leads on disk.
struct Target {
    QString path;
    bool folder = false;
    QString forms; // LinkTarget::forms
    Found found;
};

// Every target the links of the site lead to, each once however often linked, with the
// records linking it: so a change on disk is looked for once, and the pages it touches known.
class TargetTable
{
public:
    const Target &operator[](int id) const { return m_targets[size_t(id)]; }
    int size() const { return int(m_targets.size()); }
    const std::deque<Target> &all() const { return m_targets; }

    // Gives the local links of a record their places in the table (targets as resolved, one
    // for each link); the targets new to it wait to be looked for (takeFresh()). Several
    // records may be placed at once.
    void place(std::vector<Link> &links, const std::vector<LinkTarget> &targets);
    std::vector<int> takeFresh() { return std::exchange(m_fresh, {}); }

    void noteDependents(const RecordTable &records, const std::vector<int> &ids);
    // The records linking a target (in order, each once).
    const std::vector<int> &dependentsOf(int id) const { return m_dependents[size_t(id)]; }

    void find(const std::vector<int> &ids, const SiteIndex &index, int threads);
    // Looks for the targets of the case-folded paths again; returns them. True in *moved when
    // one leads to another file or folder now.
    std::unordered_set<int> retarget(
        const std::unordered_set<QString> &changed, const SiteIndex &index, bool *moved);

    // The case-folded paths whose state on disk may have changed with `paths`: each path and
    // its folder (for links to the folder's index page).
    static std::unordered_set<QString> foldedKeys(const QStringList &paths);
    // The case-folded paths of the targets below folders that came or went, of any case.
    std::unordered_set<QString> keysBelow(const QStringList &folders) const;

private:
    std::deque<Target> m_targets;
    QHash<QString, int> m_idOf;
    std::vector<int> m_fresh;
    std::mutex m_lock;
    std::unordered_map<QString, std::vector<int>> m_byFold;
    std::vector<std::vector<int>> m_dependents;
};

} // namespace linkcheck
