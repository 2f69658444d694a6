#include "replacecommand.h"

#include "frame/datafolders.h"
#include "frame/settings.h"
#include "listcommands.h"
#include "platform/filenames.h"
#include "platform/pathrules.h"
#include "replace/sitereplace.h"
#include "replace/unifieddiff.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace batch {

namespace {

const QString kPrefix = QStringLiteral("folioscope-batch replace: ");

struct ReplaceArguments {
    bool help = false;
    bool apply = false;
    bool listUndo = false;
    bool haveFind = false;
    bool haveWith = false;
    QString undoId;
    QString mask;
    QString programFolder;
    replace::ReplaceOptions options;
    QStringList paths;
};

int usageError(QIODevice &err, const QString &problem)
{
    writeLine(err, kPrefix + problem + QStringLiteral(" (see --help)"));
    return ExitUsage;
}

// The options that take a value; false when `arg` is none of them.
bool takeValued(
    const QStringList &args, qsizetype &i, ReplaceArguments *parsed, QString *error, bool *taken)
{
    struct Valued {
        const char *name;
        QString *into;
        bool *given;
    };
    bool ignored = false;
    const Valued valued[] = {
        { "--find", &parsed->options.find, &parsed->haveFind },
        { "--with", &parsed->options.with, &parsed->haveWith },
        { "--mask", &parsed->mask, &ignored },
        { "--program-folder", &parsed->programFolder, &ignored },
        { "--undo", &parsed->undoId, &ignored },
    };
    *taken = false;
    for (const Valued &option : valued) {
        const QString name = QLatin1String(option.name);
        if (!isOption(args.at(i), name))
            continue;
        *taken = true;
        if (!takeValue(args, i, name, option.into)) {
            *error = name + QStringLiteral(" needs a value");
            return false;
        }
        *option.given = true;
        return true;
    }
    return true;
}

bool parse(const QStringList &args, ReplaceArguments *parsed, QString *error)
{
    bool pathsOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        bool taken = false;
        if (pathsOnly || !arg.startsWith(u'-') || arg == u"-") {
            parsed->paths.append(arg);
        } else if (arg == u"--") {
            pathsOnly = true;
        } else if (arg == u"--help" || arg == u"-h") {
            parsed->help = true;
        } else if (arg == u"--regex") {
            parsed->options.regex = true;
        } else if (arg == u"--case") {
            parsed->options.matchCase = true;
        } else if (arg == u"--word") {
            parsed->options.wholeWords = true;
        } else if (arg == u"--apply") {
            parsed->apply = true;
        } else if (arg == u"--list-undo") {
            parsed->listUndo = true;
        } else if (isOption(arg, QStringLiteral("--scope"))) {
            QString value;
            if (!takeValue(args, i, QStringLiteral("--scope"), &value)
                || !replace::parseScope(
                    value, &parsed->options.scope, &parsed->options.attribute)) {
                *error = QStringLiteral(
                    "--scope needs all, text, attributes, attributes=NAME or tags");
                return false;
            }
        } else if (!takeValued(args, i, parsed, error, &taken)) {
            return false;
        } else if (!taken) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    return true;
}

// The data folder: the one given, else the program's (beside it, or the user's).
QString dataFolder(const QString &programFolder, const QString &defaultProgramFolder)
{
    if (!programFolder.isEmpty())
        return programFolder;
    const QString folder
        = platform::WithTrailingBackslash(QDir::toNativeSeparators(defaultProgramFolder));
    return app::dataFolderFor(folder, QFileInfo(folder).isWritable());
}

// How a file is named in the diff: from the current folder when it lies below it, so that
// "patch -p1" and "git apply" find it there.
QByteArray diffName(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString relative = QDir::current().relativeFilePath(absolute);
    const QString name = relative.startsWith(QLatin1String("../")) ? absolute : relative;
    return platform::encodeFilePath(QDir::fromNativeSeparators(name));
}

int listUndo(const replace::UndoStore &store, QIODevice &out)
{
    for (const replace::UndoRecord &record : store.list())
        writeLine(out,
            QStringLiteral("%1  %2  %3 files  %4")
                .arg(record.id, record.when.toString(Qt::ISODate))
                .arg(record.files.size())
                .arg(record.summary));
    return ExitOk;
}

int undo(const replace::UndoStore &store, const QString &id, QIODevice &out, QIODevice &err)
{
    replace::UndoRecord record;
    QString error;
    if (!store.load(id, &record, &error)) {
        writeLine(err, kPrefix + error);
        return ExitUsage;
    }
    const replace::UndoOutcome outcome = store.undo(record);
    for (const QString &path : outcome.restored)
        writeLine(out, path);
    for (const QString &problem : outcome.leftAlone)
        writeLine(err, problem);
    writeLine(err,
        QStringLiteral("%1 files restored, %2 left alone")
            .arg(outcome.restored.size())
            .arg(outcome.leftAlone.size()));
    return outcome.leftAlone.isEmpty() ? ExitOk : ExitFailed;
}

QString totalsLine(qsizetype read, qsizetype changed, qint64 replacements, qint64 milliseconds)
{
    return QStringLiteral("%1 files read, %2 files changed, %3 replacements, %4 s")
        .arg(read)
        .arg(changed)
        .arg(replacements)
        .arg(double(milliseconds) / 1000.0, 0, 'f', 2);
}

} // namespace

QString replaceUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch replace --find TEXT --with TEXT [--regex] [--case] [--word]\n"
        "           [--scope all|text|attributes[=NAME]|tags] [--mask MASK] [--apply]\n"
        "           [--program-folder DIR] PATH...\n"
        "       folioscope-batch replace --undo ID [--program-folder DIR]\n"
        "       folioscope-batch replace --list-undo [--program-folder DIR]\n"
        "\n"
        "Replaces TEXT in the pages given and in the pages of the folders given (with their\n"
        "sub-folders). Without --apply nothing is written: standard output gets a unified diff\n"
        "of every change, which \"patch -p1\" and \"git apply\" accept. With --apply each\n"
        "changed page is written atomically, in its own encoding (UTF-8, with or without a byte\n"
        "order mark, or Latin-1), line ends and permissions, and standard output gets the id of\n"
        "the undo record. Only the bytes of the matches change.\n"
        "\n"
        "  --find TEXT             what to find: plain text, or with --regex a regular\n"
        "                          expression (Perl syntax)\n"
        "  --with TEXT             the replacement; with --regex \\1..\\9 are the groups, \\0 the\n"
        "                          match, \\n a line break, \\\\ a backslash\n"
        "  --regex                 TEXT is a regular expression\n"
        "  --case                  match case (default: ignore it)\n"
        "  --word                  whole words only\n"
        "  --scope SCOPE           all: the bytes of the file (default)\n"
        "                          text: text between tags, not comments, scripts or styles\n"
        "                          attributes[=NAME]: attribute values (of NAME only)\n"
        "                          tags: the names of tags and attributes\n"
        "                          In text and attributes TEXT matches the text as a browser\n"
        "                          shows it (\"&amp;\" is \"&\"), and the replacement is written\n"
        "                          with \"&\", \"<\" and the value's quote escaped.\n"
        "  --mask MASK             the pages of folders to read (default: all HTML file types,\n"
        "                          %1)\n"
        "  --apply                 write the changes\n"
        "  --undo ID               put back the files of the replace ID, each only if it is\n"
        "                          still as the replace left it\n"
        "  --list-undo             the replaces that can be undone (the last %2), newest first\n"
        "  --program-folder DIR    the data folder that keeps the undo records (in UNDO)\n"
        "                          (default: the program's, beside it or the user's)\n"
        "  -h, --help              show this text\n"
        "\n"
        "Standard error gets one line per file left out and, last, the totals: files read,\n"
        "files changed, replacements and the time.\n"
        "\n"
        "Exit status: 0 when changes were made or previewed, 1 when nothing matched (--undo: a\n"
        "file was left alone), 2 on a usage error or a file that could not be written (the\n"
        "files written before it are listed and the undo id printed).\n")
        .arg(replaceMask())
        .arg(replace::UndoStore::kKept);
}

QString replaceMask()
{
    return app::builtInFilterText().section(QLatin1Char('|'), 3, 3);
}

namespace {

// Without --apply: the unified diff of every change on standard output.
int previewReplace(const std::vector<replace::FilePlan> &plans, qsizetype read,
    const QElapsedTimer &clock, QIODevice &out, QIODevice &err)
{
    qint64 replacements = 0;
    qsizetype changed = 0;
    for (const replace::FilePlan &plan : plans) {
        replacements += qint64(plan.page.edits.size());
        changed += plan.page.edits.empty() ? 0 : 1;
    }
    QByteArray diff;
    for (const replace::FilePlan &plan : plans) {
        if (!plan.page.error.isEmpty()) {
            writeLine(err, QStringLiteral("%1: %2").arg(plan.path, plan.page.error));
            continue;
        }
        if (plan.page.edits.empty())
            continue;
        diff += replace::unifiedDiff(diffName(plan.path), plan.bytes, plan.page.edits);
        if (diff.size() > (1 << 16)) {
            out.write(diff);
            diff.clear();
        }
    }
    out.write(diff);
    writeLine(err, totalsLine(read, changed, replacements, clock.elapsed()));
    return changed > 0 ? ExitOk : ExitFailed;
}

// With --apply: the undo id on standard output, what was left out or failed on standard error.
int reportApplied(const replace::ApplyOutcome &outcome, qsizetype read,
    const QElapsedTimer &clock, QIODevice &out, QIODevice &err)
{
    for (const QString &left : outcome.leftOut)
        writeLine(err, left);
    if (!outcome.failure.isEmpty()) {
        writeLine(err, outcome.failure);
        for (const QString &path : outcome.written)
            writeLine(err, QStringLiteral("%1: written").arg(path));
    }
    if (!outcome.undoId.isEmpty())
        writeLine(out, outcome.undoId);
    writeLine(err, totalsLine(read, outcome.written.size(), outcome.replacements, clock.elapsed()));
    if (!outcome.failure.isEmpty())
        return ExitUsage;
    return outcome.written.isEmpty() ? ExitFailed : ExitOk;
}

} // namespace

int runReplaceCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder)
{
    ReplaceArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error))
        return usageError(err, error);
    if (parsed.help) {
        out.write(replaceUsage().toLocal8Bit());
        return ExitOk;
    }
    const QString data = dataFolder(parsed.programFolder, defaultProgramFolder);
    const replace::UndoStore store(data);
    if (parsed.listUndo)
        return listUndo(store, out);
    if (!parsed.undoId.isEmpty())
        return undo(store, parsed.undoId, out, err);
    if (!parsed.haveFind || !parsed.haveWith)
        return usageError(err, QStringLiteral("--find and --with are both needed"));
    if (parsed.paths.isEmpty())
        return usageError(err, QStringLiteral("no PATH given"));
    const replace::Replacer replacer(parsed.options);
    if (!replacer.problem().isEmpty())
        return usageError(err, replacer.problem());

    QElapsedTimer clock;
    clock.start();
    QStringList problems;
    const QStringList files
        = replace::filesToReplace(parsed.paths, parsed.mask.isEmpty() ? replaceMask() : parsed.mask,
            app::thumbFolderOf(platform::WithTrailingBackslash(QDir::toNativeSeparators(data))),
            &problems);
    for (const QString &problem : problems)
        writeLine(err, kPrefix + problem);
    if (!problems.isEmpty())
        return ExitUsage;

    std::vector<replace::FilePlan> plans;
    replace::planFiles(files, replacer, &plans, true);
    if (!parsed.apply)
        return previewReplace(plans, files.size(), clock, out, err);
    const replace::ApplyOutcome outcome
        = replace::applyPlans(plans, replace::describeReplace(parsed.options), store);
    return reportApplied(outcome, files.size(), clock, out, err);
}

} // namespace batch
