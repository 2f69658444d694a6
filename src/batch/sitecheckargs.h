#pragma once

// What check-links and check-html share: their options, the checks of the paths given, and
// the report written in pieces.
#include "batchargs.h"
#include "commandargs.h"
#include "linkcheck/sitecheck.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <vector>

namespace batch {

struct SiteCheckArguments {
    bool help = false;
    QString format = QStringLiteral("gnu");
    linkcheck::CheckOptions options;
    QString programFolder;
    QStringList paths;
};

// --root, --program-folder, --format (one of `formats`), --help, "--" and the paths; the
// command's own options go to `own`.
bool parseSiteCheckArguments(const QStringList &args, const QStringList &formats,
    const OptionParser &own, SiteCheckArguments *parsed, QString *error);

// "folioscope-batch COMMAND: PROBLEM (see --help)" on err; ExitUsage.
int siteCheckUsageError(const QString &command, QIODevice &err, const QString &problem);

// Checks the paths and the root, and sets the thumbnail folder: ExitOk when the check can
// run, else ExitUsage with the reason on err.
int prepareSiteCheck(const QString &command, SiteCheckArguments &parsed, QIODevice &err,
    const QString &defaultProgramFolder);

// The site root: --root, else the first folder given, else the folder of the first page.
QString siteRoot(const SiteCheckArguments &parsed);

struct HtmlCounts {
    qint64 errors = 0, warnings = 0;
};
HtmlCounts countProblems(const std::vector<linkcheck::PageProblem> &problems);

// Lines to `out` in pieces: a report of a million lines is not held twice.
template <typename Items, typename Line>
void writeLines(const Items &items, QIODevice &out, Line &&line)
{
    QString text;
    for (const auto &item : items) {
        text += line(item) + QLatin1Char('\n');
        if (text.size() > 1 << 15) {
            out.write(text.toUtf8());
            text.clear();
        }
    }
    out.write(text.toUtf8());
}

} // namespace batch
