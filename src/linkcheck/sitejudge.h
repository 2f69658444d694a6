#pragma once

#include "linkcheck/siterecords.h"
#include "linkcheck/sitetargets.h"

#include <QSet>
#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

namespace linkcheck {

// Judges links once their targets are found: a missing file, another case, a link out of
// the site, an anchor the page lacks. Reads the anchors of linked pages that are not checked
// themselves (hidden folders, pages beside the folder checked).
class LinkJudge
{
public:
    LinkJudge(RecordTable &records, const TargetTable &targets, bool fragments);

    // Sets the problem of every link of these records.
    void judge(const std::vector<int> &ids, int threads);
    // A file saved, created or deleted: its anchors are read again when asked for.
    void forget(const QString &file) { m_otherAnchors.erase(file); }

private:
    bool needsAnchors(const Link &link) const;
    const QSet<QString> *anchorsOf(const QString &file) const;
    void readOtherAnchors(const std::vector<int> &ids, int threads);
    std::optional<Problem> problemOf(const Link &link) const;

    RecordTable &m_records;
    const TargetTable &m_targets;
    bool m_fragments;
    // Null when unreadable: no link into it is judged.
    std::unordered_map<QString, std::optional<QSet<QString>>> m_otherAnchors;
};

} // namespace linkcheck
