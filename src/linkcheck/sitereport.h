#pragma once

#include "linkcheck/sitecheck.h"
#include "linkcheck/siterecords.h"
#include "linkcheck/sitescope.h"
#include "linkcheck/sitetargets.h"

#include <unordered_map>
#include <vector>

namespace linkcheck {

// An entry for a page or folder that cannot be read: at 1:1, no link.
BrokenLink unreadableEntry(const QString &shown, const QString &why);

// Makes the report's entries page by page.
class ReportWriter
{
public:
    ReportWriter(const TargetTable &targets, const SiteScope &scope);

    // The entries of a record that is alive: one when it cannot be read, else one for each
    // link with a problem.
    void addRecord(const Record &record, std::vector<BrokenLink> *into);

private:
    BrokenLink broken(const Record &record, const Link &link);

    const TargetTable &m_targets;
    const SiteScope &m_scope;
    // The targets' paths as shown, one string each however often linked.
    std::unordered_map<int, QString> m_shown;
};

// By page, line, column and link.
void sortReport(std::vector<BrokenLink> &links);
// By page, line and column; problems at one place keep their order.
void sortHtmlReport(std::vector<PageProblem> &problems);

} // namespace linkcheck
