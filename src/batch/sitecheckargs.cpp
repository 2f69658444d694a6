#include "sitecheckargs.h"

#include "listcommands.h"
#include "platform/safefile.h"

#include <QFileInfo>

namespace batch {

namespace {

bool takeFolder(
    const QStringList &args, qsizetype &i, const QString &option, QString *folder, QString *error)
{
    if (!takeValue(args, i, option, folder) || folder->isEmpty()) {
        *error = option + QStringLiteral(" needs a folder");
        return false;
    }
    return true;
}

OptionResult sharedOption(const QStringList &args, qsizetype &i, const QStringList &formats,
    SiteCheckArguments *parsed, QString *error)
{
    const QString &arg = args.at(i);
    if (isOption(arg, QStringLiteral("--root")))
        return takeFolder(args, i, QStringLiteral("--root"), &parsed->options.root, error)
            ? OptionResult::Taken
            : OptionResult::Bad;
    if (isOption(arg, QStringLiteral("--program-folder")))
        return takeFolder(args, i, QStringLiteral("--program-folder"), &parsed->programFolder, error)
            ? OptionResult::Taken
            : OptionResult::Bad;
    if (!isOption(arg, QStringLiteral("--format")))
        return OptionResult::Unknown;
    QString value;
    takeValue(args, i, QStringLiteral("--format"), &value);
    if (!formats.contains(value)) {
        *error = QStringLiteral("--format needs %1").arg(formats.join(QStringLiteral(" or ")));
        return OptionResult::Bad;
    }
    parsed->format = value;
    return OptionResult::Taken;
}

} // namespace

bool parseSiteCheckArguments(const QStringList &args, const QStringList &formats,
    const OptionParser &own, SiteCheckArguments *parsed, QString *error)
{
    bool pathsOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (pathsOnly || !arg.startsWith(u'-') || arg == u"-") {
            parsed->paths.append(arg);
            continue;
        }
        if (arg == u"--") {
            pathsOnly = true;
            continue;
        }
        if (arg == u"--help" || arg == u"-h") {
            parsed->help = true;
            continue;
        }
        OptionResult result = sharedOption(args, i, formats, parsed, error);
        if (result == OptionResult::Unknown)
            result = own(args, i, error);
        if (result == OptionResult::Bad)
            return false;
        if (result == OptionResult::Unknown) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    return true;
}

int siteCheckUsageError(const QString &command, QIODevice &err, const QString &problem)
{
    writeLine(err,
        linkcheck::escapeControls(
            QStringLiteral("folioscope-batch %1: %2 (see --help)").arg(command, problem)));
    return ExitUsage;
}

int prepareSiteCheck(const QString &command, SiteCheckArguments &parsed, QIODevice &err,
    const QString &defaultProgramFolder)
{
    if (parsed.paths.isEmpty())
        return siteCheckUsageError(command, err, QStringLiteral("no PATH given"));
    if (!parsed.options.root.isEmpty()
        && platform::fileState(parsed.options.root).kind != platform::FileState::Folder)
        return siteCheckUsageError(
            command, err, QStringLiteral("no such folder: %1").arg(parsed.options.root));
    // Every PATH that cannot be checked is said alike, whatever the reason.
    for (const QString &path : parsed.paths) {
        const QString problem = linkcheck::pathProblem(path);
        if (!problem.isEmpty()) {
            writeLine(err,
                linkcheck::escapeControls(QStringLiteral("folioscope-batch %1: cannot read %2: %3")
                                              .arg(command, path, problem)));
            return ExitUsage;
        }
    }
    parsed.options.thumbFolder = thumbFolderFor(parsed.programFolder, defaultProgramFolder);
    return ExitOk;
}

QString siteRoot(const SiteCheckArguments &parsed)
{
    if (!parsed.options.root.isEmpty())
        return parsed.options.root;
    for (const QString &path : parsed.paths)
        if (QFileInfo(path).isDir())
            return path;
    return parsed.paths.isEmpty() ? QString() : QFileInfo(parsed.paths.first()).absolutePath();
}

HtmlCounts countProblems(const std::vector<linkcheck::PageProblem> &problems)
{
    HtmlCounts counts;
    for (const linkcheck::PageProblem &one : problems)
        ++(one.problem.warning ? counts.warnings : counts.errors);
    return counts;
}

} // namespace batch
