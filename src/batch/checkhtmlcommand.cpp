#include "checkhtmlcommand.h"

#include "linkcheck/htmlreport.h"
#include "sitecheckargs.h"

#include <QElapsedTimer>

#include <new>

namespace batch {

namespace {

const QString kCommand = QStringLiteral("check-html");

struct HtmlOptions {
    QSet<QString> ignored;
    bool errorsOnly = false;
};

OptionResult htmlOption(const QStringList &args, qsizetype &i, HtmlOptions *html, QString *error)
{
    if (args.at(i) == u"--errors-only") {
        html->errorsOnly = true;
        return OptionResult::Taken;
    }
    if (!isOption(args.at(i), QStringLiteral("--ignore")))
        return OptionResult::Unknown;
    QString value;
    if (!takeValue(args, i, QStringLiteral("--ignore"), &value) || value.isEmpty()) {
        *error = QStringLiteral("--ignore needs rules");
        return OptionResult::Bad;
    }
    for (const QString &rule : value.split(u',', Qt::SkipEmptyParts)) {
        if (!linkcheck::isHtmlRuleId(rule.trimmed().toStdString())) {
            *error = QStringLiteral("no such rule: %1").arg(rule);
            return OptionResult::Bad;
        }
        html->ignored.insert(rule.trimmed());
    }
    return OptionResult::Taken;
}

QString totalsLine(qint64 pages, const HtmlCounts &counts, qint64 milliseconds)
{
    return QStringLiteral("%1 pages, %2 errors, %3 warnings, %4 s")
        .arg(pages)
        .arg(counts.errors)
        .arg(counts.warnings)
        .arg(double(milliseconds) / 1000.0, 0, 'f', 2);
}

void writeReport(const std::vector<linkcheck::PageProblem> &problems,
    const std::vector<linkcheck::BrokenLink> &unreadable, const QString &format, QIODevice &out)
{
    if (format == u"json") {
        out.write(linkcheck::jsonReport(problems));
    } else if (format == u"sarif") {
        out.write(linkcheck::sarifReport(problems));
    } else {
        writeLines(unreadable, out, [](const linkcheck::BrokenLink &link) { return linkcheck::gnuLine(link); });
        writeLines(problems, out, [](const linkcheck::PageProblem &one) { return linkcheck::gnuLine(one); });
    }
}

std::vector<linkcheck::BrokenLink> unreadablePages(const std::vector<linkcheck::BrokenLink> &report)
{
    std::vector<linkcheck::BrokenLink> unreadable;
    for (const linkcheck::BrokenLink &link : report)
        if (link.problem == linkcheck::Problem::CannotRead)
            unreadable.push_back(link);
    return unreadable;
}

} // namespace

QString checkHtmlUsage()
{
    QString rules;
    for (const std::string_view rule : linkcheck::htmlRuleIds())
        rules += QStringLiteral("  %1%2\n")
                     .arg(QString::fromUtf8(rule.data(), qsizetype(rule.size())), -28)
                     .arg(QString::fromUtf8(linkcheck::htmlRuleDescription(rule).data()));
    return QStringLiteral(
        "Usage: folioscope-batch check-html [--root DIR] [--ignore RULE,...] [--errors-only]\n"
        "                                   [--format gnu|json|sarif] [--program-folder DIR]\n"
        "                                   PATH...\n"
        "\n"
        "Reports the HTML errors of every page of the folders given (with their sub-folders)\n"
        "and of the pages given: the parse errors of the HTML5 parsing algorithm and the\n"
        "content rules of the HTML standard. One line per problem, sorted by page, line and\n"
        "column (the column of the first character of the tag, attribute or reference):\n"
        "\n"
        "  PAGE:LINE:COLUMN: error: MESSAGE [RULE]     (or \"warning:\")\n"
        "\n"
        "A page that cannot be read is the line \"PAGE:1:1: cannot read: WHY\". The last line\n"
        "on standard error gives the totals and the time. \"folioscope-batch check-links --html\"\n"
        "reports these problems and the broken links in one pass.\n"
        "\n"
        "RULE is one of:\n")
        + rules
        + QStringLiteral(
            "A file .folioscope-check.ini in the site root switches rules off for the site:\n"
            "a section [rules] with lines RULE=off.\n"
            "\n"
            "  PATH                     a folder or a page\n"
            "  --root DIR               the site root, where .folioscope-check.ini is read\n"
            "                           (default: the first folder given, else the folder of\n"
            "                           the first page)\n"
            "  --ignore RULE,...        do not report these rules\n"
            "  --errors-only            do not report warnings\n"
            "  --format gnu|json|sarif  lines as above (default), a JSON array of objects with\n"
            "                           page, line, column, severity, rule and message, or a\n"
            "                           SARIF 2.1.0 log for editors and code-scanning services\n"
            "  --program-folder DIR     the data folder whose thumbnail folder is never checked\n"
            "  -h, --help               show this text\n"
            "\n"
            "Exit status: 0 when no error was found (warnings alone give 0), 1 when errors were\n"
            "found (or the memory ran out), 2 on a usage error or a PATH that cannot be checked.\n");
}

int runCheckHtmlCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder)
{
    SiteCheckArguments parsed;
    HtmlOptions html;
    QString error;
    const auto own = [&](const QStringList &all, qsizetype &i, QString *why) {
        return htmlOption(all, i, &html, why);
    };
    const QStringList formats { QStringLiteral("gnu"), QStringLiteral("json"), QStringLiteral("sarif") };
    if (!parseSiteCheckArguments(args, formats, own, &parsed, &error))
        return siteCheckUsageError(kCommand, err, error);
    if (parsed.help) {
        out.write(checkHtmlUsage().toLocal8Bit());
        return ExitOk;
    }
    if (const int status = prepareSiteCheck(kCommand, parsed, err, defaultProgramFolder))
        return status;
    parsed.options.html = true;
    parsed.options.links = false;
    QElapsedTimer clock;
    clock.start();
    linkcheck::SiteCheck check(parsed.options);
    try {
        check.check(parsed.paths);
        const std::vector<linkcheck::BrokenLink> unreadable = unreadablePages(check.report());
        const std::vector<linkcheck::PageProblem> problems = linkcheck::selectedProblems(check.htmlReport(),
            html.ignored + linkcheck::rulesOffInSite(siteRoot(parsed)), !html.errorsOnly);
        writeReport(problems, unreadable, parsed.format, out);
        const HtmlCounts counts = countProblems(problems);
        writeLine(err, totalsLine(check.totals().pages, counts, clock.elapsed()));
        return counts.errors == 0 && unreadable.empty() ? ExitOk : ExitFailed;
    } catch (const std::bad_alloc &) {
        writeLine(err, QStringLiteral("folioscope-batch check-html: not enough memory to check the site"));
        return ExitFailed;
    }
}

} // namespace batch
