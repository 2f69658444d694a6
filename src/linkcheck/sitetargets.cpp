#include "linkcheck/sitetargets.h"

#include "linkcheck/parallel.h"

#include <QFileInfo>

#include <utility>

namespace linkcheck {

void TargetTable::place(std::vector<Link> &links, const std::vector<LinkTarget> &targets)
{
    std::lock_guard lock(m_lock);
    for (size_t i = 0; i < links.size(); ++i) {
        Link &link = links[i];
        if (link.kind != LinkTarget::Local)
            continue;
        const QString &path = targets[i].path;
        const QString &forms = targets[i].forms;
        // No path holds a NUL: the forms cannot make two keys alike.
        QString key = link.folder ? path + QLatin1Char('/') : path;
        if (!forms.isEmpty())
            key += QChar(0) + forms;
        auto at = m_idOf.constFind(key);
        if (at == m_idOf.constEnd()) {
            const int id = int(m_targets.size());
            at = m_idOf.insert(key, id);
            m_targets.push_back(Target { path, link.folder, forms, {} });
            m_byFold[path.toCaseFolded()].push_back(id);
            m_fresh.push_back(id);
        }
        link.target = at.value();
    }
}

void TargetTable::noteDependents(const RecordTable &records, const std::vector<int> &ids)
{
    m_dependents.resize(m_targets.size());
    for (const int id : ids)
        for (const Link &link : records[id].links)
            if (link.target >= 0) {
                std::vector<int> &into = m_dependents[size_t(link.target)];
                if (into.empty() || into.back() != id)
                    into.push_back(id);
            }
}

void TargetTable::find(const std::vector<int> &ids, const SiteIndex &index, int threads)
{
    parallelFor(int(ids.size()), threads, [&](int i) {
        Target &target = m_targets[size_t(ids[size_t(i)])];
        target.found = index.find(target.path, target.folder, target.forms);
    });
}

std::unordered_set<int> TargetTable::retarget(
    const std::unordered_set<QString> &changed, const SiteIndex &index, bool *moved)
{
    std::unordered_set<int> retargeted;
    for (const QString &key : changed) {
        const auto found = m_byFold.find(key);
        if (found == m_byFold.end())
            continue;
        for (const int id : found->second) {
            Target &target = m_targets[size_t(id)];
            const Found before
                = std::exchange(target.found, index.find(target.path, target.folder, target.forms));
            *moved = *moved || before.file != target.found.file
                || before.folder != target.found.folder;
            retargeted.insert(id);
        }
    }
    return retargeted;
}

std::unordered_set<QString> TargetTable::foldedKeys(const QStringList &paths)
{
    std::unordered_set<QString> keys;
    for (const QString &path : paths) {
        keys.insert(path.toCaseFolded());
        keys.insert(QFileInfo(path).path().toCaseFolded());
    }
    return keys;
}

std::unordered_set<QString> TargetTable::keysBelow(const QStringList &folders) const
{
    std::unordered_set<QString> keys;
    if (folders.isEmpty())
        return keys;
    QStringList prefixes;
    for (const QString &folder : folders)
        prefixes.append(folder.toCaseFolded() + QLatin1Char('/'));
    for (const auto &[key, ids] : m_byFold)
        for (const QString &prefix : prefixes)
            if (key.startsWith(prefix)) {
                keys.insert(key);
                break;
            }
    return keys;
}

} // namespace linkcheck
