#include "checklinkscommand.h"

#include "linkcheck/htmlreport.h"
#include "sitecheckargs.h"

#include <QElapsedTimer>

#include <algorithm>
#include <new>

namespace batch {

namespace {

const QString kCommand = QStringLiteral("check-links");

OptionResult linkOption(const QStringList &args, qsizetype i, SiteCheckArguments *parsed, bool *html)
{
    if (args.at(i) == u"--no-fragments")
        parsed->options.fragments = false;
    else if (args.at(i) == u"--html")
        *html = true;
    else
        return OptionResult::Unknown;
    return OptionResult::Taken;
}

QString totalsLine(const linkcheck::CheckTotals &totals, qint64 milliseconds)
{
    return QStringLiteral("%1 pages, %2 links, %3 external links not checked, %4 broken links, "
                          "%5 s")
        .arg(totals.pages)
        .arg(totals.links)
        .arg(totals.external)
        .arg(totals.broken)
        .arg(double(milliseconds) / 1000.0, 0, 'f', 2);
}

// One line per broken link and, with --html, per HTML problem, in the order of their pages.
void writeGnu(const std::vector<linkcheck::BrokenLink> &broken,
    const std::vector<linkcheck::PageProblem> &html, QIODevice &out)
{
    struct Line {
        const QString *page;
        int line, column;
        QString text;
    };
    std::vector<Line> lines;
    lines.reserve(broken.size() + html.size());
    for (const linkcheck::BrokenLink &link : broken)
        lines.push_back({ &link.page, link.line, link.column, linkcheck::gnuLine(link) });
    for (const linkcheck::PageProblem &one : html)
        lines.push_back({ &one.page, one.problem.line, one.problem.column, linkcheck::gnuLine(one) });
    std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
        if (*a.page != *b.page)
            return *a.page < *b.page;
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    writeLines(lines, out, [](const Line &line) { return line.text; });
}

} // namespace

QString checkLinksUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch check-links [--root DIR] [--no-fragments] [--format gnu|json]\n"
        "                                    [--html] [--program-folder DIR] PATH...\n"
        "\n"
        "Checks the local links, anchors and pictures of every page of the folders given (with\n"
        "their sub-folders) and of the pages given, and of the style sheets they link. Writes\n"
        "one line per broken link, sorted by page, line and column:\n"
        "\n"
        "  PAGE:LINE:COLUMN: broken link \"LINK\": REASON\n"
        "\n"
        "REASON is one of:\n"
        "  no such file\n"
        "  no anchor \"NAME\" in TARGET\n"
        "  case differs: \"LINK AS IT SHOULD BE WRITTEN\"  (the file has other capitals)\n"
        "  outside the site\n"
        "  cannot read                   (a link into a folder that cannot be read)\n"
        "A page or folder that cannot be read is the line \"PAGE:1:1: cannot read: WHY\".\n"
        "Control characters in names and links are written as \\n, \\t, \\r or \\xHH, so that\n"
        "each problem is one line. Links to other hosts are counted, never fetched. The last\n"
        "line on standard error gives the totals and the time.\n"
        "\n"
        "  PATH                    a folder or a page\n"
        "  --root DIR              the site root: root-relative links start there, and no link\n"
        "                          may leave it (default: the first folder given, else the\n"
        "                          folder of the first page)\n"
        "  --no-fragments          do not look for the anchors that \"#name\" links name\n"
        "  --format gnu|json       lines as above (default), or a JSON array of objects with\n"
        "                          page, line, column, link, reason, target and suggestion\n"
        "  --html                  report the HTML errors of the pages too, from the same\n"
        "                          reading, as \"folioscope-batch check-html\" does with its\n"
        "                          defaults and the site's .folioscope-check.ini; with --format\n"
        "                          json the report is an object {\"links\": [...], \"html\": [...]}\n"
        "  --program-folder DIR    the data folder whose thumbnail folder is never checked\n"
        "                          (default: the program's, beside it or the user's)\n"
        "  -h, --help              show this text\n"
        "\n"
        "Exit status: 0 when nothing is broken, 1 when broken links were found (or the memory\n"
        "ran out), 2 on a usage error or a PATH that cannot be checked (missing, unreadable,\n"
        "no regular file or folder, or a page over 32 MB).\n");
}

int runCheckLinksCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder)
{
    SiteCheckArguments parsed;
    bool html = false;
    QString error;
    const auto own = [&](const QStringList &all, qsizetype &i, QString *) {
        return linkOption(all, i, &parsed, &html);
    };
    if (!parseSiteCheckArguments(
            args, { QStringLiteral("gnu"), QStringLiteral("json") }, own, &parsed, &error))
        return siteCheckUsageError(kCommand, err, error);
    if (parsed.help) {
        out.write(checkLinksUsage().toLocal8Bit());
        return ExitOk;
    }
    if (const int status = prepareSiteCheck(kCommand, parsed, err, defaultProgramFolder))
        return status;
    parsed.options.html = html;
    QElapsedTimer clock;
    clock.start();
    linkcheck::SiteCheck check(parsed.options);
    try {
        check.check(parsed.paths);
        const std::vector<linkcheck::BrokenLink> broken = check.report();
        const std::vector<linkcheck::PageProblem> problems = html
            ? linkcheck::selectedProblems(
                  check.htmlReport(), linkcheck::rulesOffInSite(siteRoot(parsed)), true)
            : std::vector<linkcheck::PageProblem>();
        if (parsed.format == u"json" && html)
            out.write("{\"links\": " + linkcheck::jsonReport(broken).trimmed()
                + ",\n\"html\": " + linkcheck::jsonReport(problems).trimmed() + "}\n");
        else if (parsed.format == u"json")
            out.write(linkcheck::jsonReport(broken));
        else
            writeGnu(broken, problems, out);
        QString totals = totalsLine(check.totals(), clock.elapsed());
        const HtmlCounts counts = countProblems(problems);
        if (html)
            totals.insert(totals.lastIndexOf(u','),
                QStringLiteral(", %1 HTML errors, %2 HTML warnings").arg(counts.errors).arg(counts.warnings));
        writeLine(err, totals);
        return broken.empty() && counts.errors == 0 ? ExitOk : ExitFailed;
    } catch (const std::bad_alloc &) {
        writeLine(err,
            QStringLiteral("folioscope-batch check-links: not enough memory to check "
                           "the site"));
        return ExitFailed;
    }
}

} // namespace batch
