#include "cleanthumbscommand.h"

#include "frame/datafolders.h"
#include "frame/settings.h"
#include "imaging/looksstore.h"
#include "imaging/thumbclean.h"
#include "platform/pathrules.h"

#include <QDir>
#include <QFileInfo>

namespace batch {

namespace {

int usageError(QIODevice &err, const QString &text)
{
    writeLine(err,
        QStringLiteral("folioscope-batch clean-thumbs: ") + text + QStringLiteral(" (see --help)"));
    return ExitUsage;
}

} // namespace

QString cleanThumbsUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch clean-thumbs [--all] [--program-folder DIR]\n"
        "\n"
        "Removes the thumbnails whose pages are gone from the thumbnail folder THUMBS of the\n"
        "program folder, as \"Remove orphaned thumbs from disk\" does, then the sub-folders that\n"
        "are left empty, and prints the message of the menu item. Like the menu items, it also\n"
        "deletes the temporary files that writes killed half-way left in THUMBS, FILELISTS,\n"
        "the snapshot folder and beside prg.ini (NAME.XXXXXX, ten minutes old or older).\n"
        "The baseline renders of the visual check (LOOKS) go with their pages too (all of them\n"
        "with --all), and a line says how many.\n"
        "\n"
        "  --all                   remove every thumbnail (\"Remove all thumbs from disk\")\n"
        "  --program-folder DIR    the program folder (default: the folder of this program)\n"
        "  -h, --help              show this text\n"
        "\n"
        "Exit status: 0 on success, 1 when some thumbnails could not be deleted (one line each\n"
        "on standard error), 2 on a usage error.\n");
}

int runCleanThumbsCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder)
{
    bool all = false;
    QString programFolder = defaultProgramFolder;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--help" || arg == u"-h") {
            out.write(cleanThumbsUsage().toLocal8Bit());
            return ExitOk;
        }
        if (arg == u"--all") {
            all = true;
        } else if (isOption(arg, QStringLiteral("--program-folder"))) {
            if (!takeValue(args, i, QStringLiteral("--program-folder"), &programFolder)
                || programFolder.isEmpty())
                return usageError(err, QStringLiteral("--program-folder needs a folder"));
        } else {
            return usageError(err, QStringLiteral("unknown argument %1").arg(arg));
        }
    }
    if (!QFileInfo(programFolder).isDir())
        return usageError(err, QStringLiteral("no such folder: %1").arg(programFolder));

    const QString dataFolder
        = platform::WithTrailingBackslash(QDir::toNativeSeparators(programFolder));
    const thumbs::CleanResult result
        = thumbs::CleanThumbFolder(app::thumbFolderOf(dataFolder), all);
    // The other stores lose what killed writers left, as the "&Clean" menu's items do.
    const QString snapshotFolder = app::loadSettingsFile(dataFolder, QSize()).snapshotPath;
    const imaging::LooksClean looks = imaging::cleanLooksFolder(dataFolder + QStringLiteral("LOOKS/"), all);
    const QStringList failed = result.failed
        + app::removeStoreLeftovers(dataFolder, snapshotFolder).failed + looks.failed;
    for (const QString &file : failed)
        writeLine(err, QStringLiteral("folioscope-batch clean-thumbs: cannot delete %1").arg(file));
    QString message = result.message;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    writeLine(out, message);
    if (looks.found > 0)
        writeLine(out, QStringLiteral("%1 of %2 baseline renders removed.").arg(looks.removed).arg(looks.found));
    return failed.isEmpty() ? ExitOk : ExitFailed;
}

} // namespace batch
