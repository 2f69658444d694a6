#include "thumbscommand.h"

#include "console.h"

#include "frame/datafolders.h"
#include "imaging/thumbstore.h"
#include "platform/diskspace.h"
#include "platform/pathrules.h"
#include "thumbs/thumbjobs.h"
#include "thumbs/thumbmaker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace batch {

namespace {

const QString kPrefix = QStringLiteral("folioscope-batch thumbs: ");

const QString kHelp = QStringLiteral(
    "Usage: folioscope-batch thumbs [--base-index N] [--program-folder DIR] [--hosts N]\n"
    "                              [--only-changed] FILE...\n"
    "\n"
    "Makes the thumbnails of the pages as \"Make Thumbs\" does: each page is rendered at the\n"
    "base size, shrunk to 130 x 100 and written as JPEG into THUMBS of the program folder.\n"
    "Prints the progress line \"(k of s): FILE\" of each page. Runs without a display.\n"
    "\n"
    "  --base-index N          base size 0..6: 160x120, 320x240, 480x360, 640x480 (default),\n"
    "                          800x600, 1024x768, 1600x1200\n"
    "  --program-folder DIR    the program folder (default: the folder of this program)\n"
    "  --hosts N               pages loaded at once (default %1)\n"
    "  --only-changed          only the pages without a thumbnail or modified after it;\n"
    "                          s counts those\n"
    "  -h, --help              show this text\n"
    "\n"
    "A page reaches only local files of the kinds a site is made of; one that reaches for\n"
    "another is stored showing it blocked.\n"
    "\n"
    "Exit status: 0 on success, 1 when some pages were missing, not regular files, did not\n"
    "finish loading (stored as far as they got), were blocked, ran out of memory, made their\n"
    "renderer die or could not be stored (one line each on standard error), 2 on a usage\n"
    "error.\n")
                          .arg(thumbs::ThumbMaker::defaultHostCount());

struct ThumbsArguments {
    int baseIndex = 3;
    int hosts = thumbs::ThumbMaker::defaultHostCount();
    QString programFolder; // empty: the folder of the tool
    bool onlyChanged = false;
    QStringList files;
};

bool intValue(const QCommandLineParser &parser, const QString &name, int low, int high, int *value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    *value = number;
    return true;
}

// Empty when the arguments are fine; otherwise the problem. `help` is set for --help.
QString parse(const QStringList &arguments, ThumbsArguments *parsed, bool *help)
{
    QCommandLineParser parser;
    const QCommandLineOption baseIndex(QStringLiteral("base-index"), {}, QStringLiteral("N"));
    const QCommandLineOption programFolder(
        QStringLiteral("program-folder"), {}, QStringLiteral("DIR"));
    const QCommandLineOption hosts(QStringLiteral("hosts"), {}, QStringLiteral("N"));
    const QCommandLineOption onlyChanged(QStringLiteral("only-changed"));
    const QCommandLineOption helpOption(
        QStringList { QStringLiteral("h"), QStringLiteral("help") });
    parser.addOptions({ baseIndex, programFolder, hosts, onlyChanged, helpOption });
    if (!parser.parse(arguments))
        return parser.errorText();
    *help = parser.isSet(helpOption);
    if (*help)
        return {};
    if (!intValue(parser, QStringLiteral("base-index"), 0, thumbs::kSnapBaseCount - 1,
            &parsed->baseIndex))
        return QStringLiteral("--base-index takes a number from 0 to 6");
    if (!intValue(parser, QStringLiteral("hosts"), 1, 16, &parsed->hosts))
        return QStringLiteral("--hosts takes a number from 1 to 16");
    if (parser.isSet(programFolder)) {
        parsed->programFolder = parser.value(programFolder);
        if (!QFileInfo(parsed->programFolder).isDir())
            return QStringLiteral("no such folder: %1").arg(parsed->programFolder);
    }
    parsed->onlyChanged = parser.isSet(onlyChanged);
    parsed->files = parser.positionalArguments();
    if (parsed->files.isEmpty())
        return QStringLiteral("no FILE given");
    return {};
}

} // namespace

int runThumbsCommand(const QStringList &args, QIODevice &out, QIODevice &err)
{
    ThumbsArguments parsed;
    bool help = false;
    const QString problem = parse(QStringList(QStringLiteral("thumbs")) + args, &parsed, &help);
    if (help) {
        out.write(kHelp.toLocal8Bit());
        return ExitOk;
    }
    if (!problem.isEmpty()) {
        writeLine(err, kPrefix + problem + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }
    // Without a folder given, the thumbnails go where the program keeps them.
    if (parsed.programFolder.isEmpty()) {
        const QString tool = QCoreApplication::applicationDirPath();
        parsed.programFolder
            = frame::dataFolderFor(platform::WithTrailingBackslash(QDir::toNativeSeparators(tool)),
                QFileInfo(tool).isWritable());
    }

    ConsoleDialogs dialogs(err, kPrefix);
    const QString programFolder = platform::WithTrailingBackslash(
        QDir::toNativeSeparators(QFileInfo(parsed.programFolder).absoluteFilePath()));
    const QString thumbFolder = frame::thumbFolderOf(programFolder);
    QDir().mkpath(thumbFolder);

    QStringList pages;
    for (const QString &file : std::as_const(parsed.files))
        pages.append(QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(file).absoluteFilePath())));
    if (parsed.onlyChanged)
        pages = imaging::PagesWithOutOfDateThumbs(thumbFolder, pages);
    thumbs::BatchEntries entries;
    for (const QString &page : std::as_const(pages))
        entries.append({ int(entries.size()), page });
    const QSize base = thumbs::snapBaseSize(parsed.baseIndex, QSize());
    thumbs::ThumbMaker maker(thumbFolder, nullptr);
    maker.setHostCount(parsed.hosts);
    thumbs::ThumbJobHooks hooks;
    hooks.planBatch = [&](const QStringList &pages) { maker.plan(pages, base); };
    hooks.makeThumb = [&](const QString &page) {
        const bool stored = maker.makeThumb(page, base);
        const QString problem
            = thumbs::thumbProblem(page, stored, maker.lastOutcome(), maker.lastStoreError());
        if (!problem.isEmpty())
            dialogs.report(problem);
        return stored;
    };
    hooks.checkDiskSpace = [&] { return platform::checkDiskSpace(thumbFolder, 2000); };
    ConsoleProgress progress(out);
    thumbs::RunThumbBatch(thumbs::ThumbMode::Make, entries, &progress, hooks);
    return dialogs.problems == 0 ? ExitOk : ExitSomeFailed;
}

} // namespace batch
