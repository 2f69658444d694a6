#include "visualcheckcommand.h"

#include "batchargs.h"

#include "frame/datafolders.h"
#include "platform/pathrules.h"
#include "scan/folderscan.h"
#include "visualcheck/lookcheck.h"
#include "visualcheck/lookreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace batch {

namespace {

const QString kPrefix = QStringLiteral("folioscope-batch visual-check: ");

const QString kHelp = QStringLiteral(
    "Usage: folioscope-batch visual-check [--update] [--widths W,...] [--mask SELECTOR,...]\n"
    "                                     [--threshold T] [--report DIR]\n"
    "                                     [--program-folder DIR] PATH...\n"
    "\n"
    "Renders each page at full height (cut at 10000 pixels) at each width and compares the\n"
    "render with the page's baseline in LOOKS of the program folder. A PATH that is a folder\n"
    "stands for its pages (*.htm, *.html) and those of its sub-folders.\n"
    "Prints one line per page and width: \"PAGE [WIDTHpx]: same\", \"changed P% of pixels in\n"
    "N regions (x,y WxH; ...)\", \"height A -> B, changed ...\", \"new page (no baseline)\", or the\n"
    "problem; the totals go to standard error.\n"
    "\n"
    "  --update               store the renders as the new baselines instead\n"
    "  --widths W,...         the widths in CSS pixels (default 1280,390)\n"
    "  --mask SELECTOR,...    hide the elements that change on every load (a clock, an advert)\n"
    "  --threshold T          0 to 1: how far apart two colours may be and still count as the\n"
    "                         same (default 0.1); anti-aliased pixels never count\n"
    "  --report DIR           write before, after and difference pictures of every changed\n"
    "                         page into DIR, with index.html\n"
    "  --program-folder DIR   the program folder (default: the folder of this program)\n"
    "  -h, --help             show this text\n"
    "\n"
    "Animations and transitions are finished, the caret and scroll bars hidden, and web fonts\n"
    "loaded before each capture, so that an unchanged page gives the same pixels.\n"
    "\n"
    "Exit status: 0 when nothing changed, 1 when some page changed, is new or could not be\n"
    "rendered or compared, 2 on a usage error.\n");

struct VisualArguments {
    visualcheck::LookSettings settings;
    bool update = false;
    bool help = false;
    QString reportFolder;
    QString programFolder;
    QStringList paths;
};

bool takeWidths(const QString &value, QList<int> *widths)
{
    widths->clear();
    for (const QString &part : value.split(QLatin1Char(','))) {
        bool ok = false;
        const int width = part.toInt(&ok);
        if (!ok || width < 100 || width > 4000 || widths->contains(width))
            return false;
        widths->append(width);
    }
    return !widths->isEmpty();
}

bool takeOption(const QStringList &args, qsizetype &i, VisualArguments *parsed, QString *error)
{
    const QString &arg = args.at(i);
    QString value;
    if (arg == u"--update") {
        parsed->update = true;
    } else if (arg == u"--help" || arg == u"-h") {
        parsed->help = true;
    } else if (isOption(arg, QStringLiteral("--widths"))) {
        if (!takeValue(args, i, QStringLiteral("--widths"), &value) || !takeWidths(value, &parsed->settings.widths))
            *error = QStringLiteral("--widths takes widths from 100 to 4000, such as 1280,390");
    } else if (isOption(arg, QStringLiteral("--mask"))) {
        if (!takeValue(args, i, QStringLiteral("--mask"), &value) || value.trimmed().isEmpty())
            *error = QStringLiteral("--mask takes CSS selectors");
        parsed->settings.masks += value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    } else if (isOption(arg, QStringLiteral("--threshold"))) {
        bool ok = false;
        parsed->settings.threshold = takeValue(args, i, QStringLiteral("--threshold"), &value) ? value.toDouble(&ok) : -1;
        if (!ok || parsed->settings.threshold < 0 || parsed->settings.threshold > 1)
            *error = QStringLiteral("--threshold takes a number from 0 to 1");
    } else if (isOption(arg, QStringLiteral("--report"))) {
        if (!takeValue(args, i, QStringLiteral("--report"), &parsed->reportFolder) || parsed->reportFolder.isEmpty())
            *error = QStringLiteral("--report needs a folder");
    } else if (isOption(arg, QStringLiteral("--program-folder"))) {
        if (!takeValue(args, i, QStringLiteral("--program-folder"), &parsed->programFolder)
            || !QFileInfo(parsed->programFolder).isDir())
            *error = QStringLiteral("--program-folder needs an existing folder");
    } else {
        *error = QStringLiteral("unknown option %1").arg(arg);
    }
    return error->isEmpty();
}

bool parse(const QStringList &args, VisualArguments *parsed, QString *error)
{
    bool pathsOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (pathsOnly || !arg.startsWith(u'-') || arg == u"-")
            parsed->paths.append(arg);
        else if (arg == u"--")
            pathsOnly = true;
        else if (!takeOption(args, i, parsed, error))
            return false;
    }
    if (!parsed->help && parsed->paths.isEmpty()) {
        *error = QStringLiteral("no PATH given");
        return false;
    }
    return true;
}

// The pages of the paths: a folder gives its pages and those of its sub-folders, in order.
QStringList pagesOf(const QStringList &paths)
{
    QStringList pages;
    filelists::ScanOptions options;
    options.mask = QStringLiteral("*.htm;*.html");
    for (const QString &path : paths) {
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (!QFileInfo(absolute).isDir()) {
            pages << absolute;
            continue;
        }
        QStringList found = filelists::ScanFolderPaths(absolute, options);
        found.sort();
        pages += found;
    }
    pages.removeDuplicates();
    return pages;
}

QString looksFolderFor(const QString &programFolder)
{
    QString folder = programFolder;
    if (folder.isEmpty()) {
        const QString tool = QCoreApplication::applicationDirPath();
        folder = app::dataFolderFor(platform::WithTrailingBackslash(QDir::toNativeSeparators(tool)),
            QFileInfo(tool).isWritable());
    }
    return platform::WithTrailingBackslash(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath()))
        + QStringLiteral("LOOKS/");
}

} // namespace

int runVisualCheckCommand(const QStringList &args, QIODevice &out, QIODevice &err)
{
    VisualArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error)) {
        writeLine(err, kPrefix + error + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }
    if (parsed.help) {
        out.write(kHelp.toLocal8Bit());
        return ExitOk;
    }
    visualcheck::LookCheck check(looksFolderFor(parsed.programFolder), parsed.settings);
    visualcheck::LookReport report(parsed.reportFolder);
    check.setKeepPictures(!parsed.reportFolder.isEmpty());
    visualcheck::LookTotals totals;
    check.run(pagesOf(parsed.paths), parsed.update, [&](const visualcheck::LookResult &result) {
        totals.add(result);
        if (result.kind == visualcheck::LookKind::Failed) {
            writeLine(err, result.problem);
            return;
        }
        writeLine(out, visualcheck::lookLine(result));
        if (!result.problem.isEmpty())
            writeLine(err, result.problem);
        QString reportError;
        if (!report.add(result, &reportError))
            writeLine(err, kPrefix + reportError);
    });
    QString reportError;
    if (!report.finish(&reportError))
        writeLine(err, kPrefix + reportError);
    writeLine(err, kPrefix + totals.text());
    return totals.clean() ? ExitOk : ExitFailed;
}

} // namespace batch
