#include "checklinkscommand.h"

#include "linkcheck/sitecheck.h"
#include "listcommands.h"
#include "platform/safefile.h"

#include <QElapsedTimer>

#include <new>

namespace batch {

namespace {

struct CheckArguments {
    bool help = false;
    bool json = false;
    linkcheck::CheckOptions options;
    QString programFolder;
    QStringList paths;
};

int usageError(QIODevice &err, const QString &problem)
{
    writeLine(err,
        linkcheck::escapeControls(
            QStringLiteral("folioscope-batch check-links: %1 (see --help)").arg(problem)));
    return ExitUsage;
}

bool takeFolder(
    const QStringList &args, qsizetype &i, const QString &option, QString *folder, QString *error)
{
    if (!takeValue(args, i, option, folder) || folder->isEmpty()) {
        *error = option + QStringLiteral(" needs a folder");
        return false;
    }
    return true;
}

bool parse(const QStringList &args, CheckArguments *parsed, QString *error)
{
    bool pathsOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString value;
        if (pathsOnly || !arg.startsWith(u'-') || arg == u"-") {
            parsed->paths.append(arg);
        } else if (arg == u"--") {
            pathsOnly = true;
        } else if (arg == u"--help" || arg == u"-h") {
            parsed->help = true;
        } else if (arg == u"--no-fragments") {
            parsed->options.fragments = false;
        } else if (isOption(arg, QStringLiteral("--root"))) {
            if (!takeFolder(args, i, QStringLiteral("--root"), &parsed->options.root, error))
                return false;
        } else if (isOption(arg, QStringLiteral("--program-folder"))) {
            if (!takeFolder(
                    args, i, QStringLiteral("--program-folder"), &parsed->programFolder, error))
                return false;
        } else if (isOption(arg, QStringLiteral("--format"))) {
            takeValue(args, i, QStringLiteral("--format"), &value);
            if (value != u"gnu" && value != u"json") {
                *error = QStringLiteral("--format needs gnu or json");
                return false;
            }
            parsed->json = value == u"json";
        } else {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    return true;
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

void writeReport(const std::vector<linkcheck::BrokenLink> &broken, bool json, QIODevice &out)
{
    if (json) {
        out.write(linkcheck::jsonReport(broken));
    } else {
        // In pieces: a page of a million broken links must not take twice its report again.
        QString text;
        for (const linkcheck::BrokenLink &link : broken) {
            text += linkcheck::gnuLine(link) + QLatin1Char('\n');
            if (text.size() > 1 << 15) {
                out.write(text.toUtf8());
                text.clear();
            }
        }
        out.write(text.toUtf8());
    }
}

} // namespace

QString checkLinksUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch check-links [--root DIR] [--no-fragments] [--format gnu|json]\n"
        "                                    [--program-folder DIR] PATH...\n"
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
    CheckArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error))
        return usageError(err, error);
    if (parsed.help) {
        out.write(checkLinksUsage().toLocal8Bit());
        return ExitOk;
    }
    if (parsed.paths.isEmpty())
        return usageError(err, QStringLiteral("no PATH given"));
    if (!parsed.options.root.isEmpty()
        && platform::fileState(parsed.options.root).kind != platform::FileState::Folder)
        return usageError(err, QStringLiteral("no such folder: %1").arg(parsed.options.root));
    // Every PATH that cannot be checked is said alike, whatever the reason.
    for (const QString &path : parsed.paths) {
        const QString problem = linkcheck::pathProblem(path);
        if (!problem.isEmpty()) {
            writeLine(err,
                linkcheck::escapeControls(QStringLiteral("folioscope-batch check-links: cannot "
                                                         "read %1: %2")
                                              .arg(path, problem)));
            return ExitUsage;
        }
    }
    parsed.options.thumbFolder = thumbFolderFor(parsed.programFolder, defaultProgramFolder);

    QElapsedTimer clock;
    clock.start();
    linkcheck::SiteCheck check(parsed.options);
    try {
        check.check(parsed.paths);
        const std::vector<linkcheck::BrokenLink> broken = check.report();
        writeReport(broken, parsed.json, out);
        writeLine(err, totalsLine(check.totals(), clock.elapsed()));
        return broken.empty() ? ExitOk : ExitFailed;
    } catch (const std::bad_alloc &) {
        writeLine(err,
            QStringLiteral("folioscope-batch check-links: not enough memory to check "
                           "the site"));
        return ExitFailed;
    }
}

} // namespace batch
