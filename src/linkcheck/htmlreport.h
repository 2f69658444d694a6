#pragma once

// The HTML check's report: which rules a site switches off, and the problems as GNU lines,
// JSON and SARIF.
#include "linkcheck/sitecheck.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <vector>

namespace linkcheck {

// The name of a site's own settings for the check, in its root.
inline constexpr char kSiteCheckFile[] = ".folioscope-check.ini";

// The rules the site's settings switch off ("[rules]" with "RULE=off"), in `root`.
QSet<QString> rulesOffInSite(const QString &root);

// The problems of rules not switched off, warnings only when wanted.
std::vector<PageProblem> selectedProblems(
    std::vector<PageProblem> problems, const QSet<QString> &off, bool warnings);

// PAGE:LINE:COLUMN: error: MESSAGE [RULE] (or "warning:"), control characters escaped.
QString gnuLine(const PageProblem &problem);
// An array of {page, line, column, severity, rule, message}, one object a line.
QByteArray jsonReport(const std::vector<PageProblem> &problems);
// SARIF 2.1.0: one run, the rules of the check, one result per problem.
QByteArray sarifReport(const std::vector<PageProblem> &problems);

} // namespace linkcheck
