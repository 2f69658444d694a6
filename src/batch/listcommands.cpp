#include "listcommands.h"

#include "batchargs.h"
#include "formatcommand.h"
#include "frame/datafolders.h"
#include "frame/settings.h"
#include "platform/pathrules.h"
#include "scan/listfile.h"
#include "scan/listrecord.h"
#include "scan/verification.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace batch {

namespace {

struct ListArguments {
    bool help = false;
    bool recursive = false;
    QString mask;
    QString programFolder;
    QString path; // the folder to search or the list to verify
};

// The bytes of listFileBytes, written a piece at a time: a long list is never held whole.
class ListWriter
{
public:
    explicit ListWriter(QIODevice &out)
        : m_out(out)
    {
        m_piece.reserve(kPiece + 1024);
    }
    ~ListWriter() { flush(); }
    ListWriter(const ListWriter &) = delete;
    ListWriter &operator=(const ListWriter &) = delete;

    void add(const QString &record)
    {
        m_piece += record;
        m_piece += QLatin1String("\r\n");
        if (m_piece.size() >= kPiece)
            flush();
    }

private:
    static constexpr qsizetype kPiece = 1 << 15;

    void flush()
    {
        m_out.write(m_piece.toUtf8());
        m_piece.truncate(0);
    }

    QIODevice &m_out;
    QString m_piece;
};

int usageError(QIODevice &err, const QString &command, const QString &problem)
{
    writeLine(err, QStringLiteral("folioscope-batch %1: %2 (see --help)").arg(command, problem));
    return ExitUsage;
}

// The options of both commands; --recursive, --mask and --program-folder are the search's.
bool parse(const QStringList &args, const QString &pathName, bool searchOptions,
    ListArguments *parsed, QString *error)
{
    const QStringList valued = searchOptions
        ? QStringList { QStringLiteral("--mask"), QStringLiteral("--program-folder") }
        : QStringList();
    bool pathsOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        if (pathsOnly || !arg.startsWith(QLatin1Char('-'))) {
            if (!parsed->path.isEmpty()) {
                *error = QStringLiteral("only one %1 may be given").arg(pathName);
                return false;
            }
            parsed->path = arg;
        } else if (arg == u"--") {
            pathsOnly = true;
        } else if (arg == u"--help" || arg == u"-h") {
            parsed->help = true;
        } else if (arg == u"--recursive" && searchOptions) {
            parsed->recursive = true;
        } else if (valued.contains(name)) {
            const bool inline_ = arg.contains(QLatin1Char('='));
            if (!inline_ && i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            const QString value = inline_ ? arg.section(QLatin1Char('='), 1) : args.at(++i);
            (name == u"--mask" ? parsed->mask : parsed->programFolder) = value;
        } else {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    return true;
}

// The mask of the first entry of the built-in filter text "description|mask|...".
QString defaultMask()
{
    return frame::builtInFilterText().section(QLatin1Char('|'), 1, 1);
}

} // namespace

QString thumbFolderFor(const QString &programFolder, const QString &defaultProgramFolder)
{
    // The thumbnails lie where the program keeps its data: beside it, or in the user's data
    // folder when the program folder cannot be written.
    QString dataFolder = platform::WithTrailingBackslash(QDir::toNativeSeparators(programFolder));
    if (programFolder.isEmpty()) {
        const QString folder
            = platform::WithTrailingBackslash(QDir::toNativeSeparators(defaultProgramFolder));
        dataFolder = frame::dataFolderFor(folder, QFileInfo(folder).isWritable());
    }
    return frame::thumbFolderOf(dataFolder);
}

QString searchUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch search [--recursive] [--mask MASK] [--program-folder DIR] FOLDER\n"
        "\n"
        "Writes to standard output, as a list file (UTF-8, CR LF), the records that the File\n"
        "Lists page's \"Search\" puts in a new list: Folder*Filename*Ext*Size*Date, in the\n"
        "order of the scan.\n"
        "\n"
        "  FOLDER                  the folder to search\n"
        "  --recursive             include all sub-folders (never the _vti_cnf folders, links\n"
        "                          to folders or the sub-folders of the thumbnail folder)\n"
        "  --mask MASK             the file mask, such as \"*.htm;*.asp\" (default: %1)\n"
        "  --program-folder DIR    the data folder whose THUMBS sub-folders are not entered\n"
        "                          (default: the program's, beside it or the user's)\n"
        "  -h, --help              show this text\n"
        "\n"
        "Exit status: 0 on success, 2 on a usage error or a FOLDER that is no folder.\n")
        .arg(defaultMask());
}

QString verifyUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch verify LIST.lst\n"
        "\n"
        "Checks every entry of a list file against the disk as \"Load List\" does and writes the\n"
        "verified list to standard output (UTF-8, CR LF). Standard error gets one line per\n"
        "entry that changed: \"Updated:  PATH\" or \"Not Found:  PATH\", and one per entry\n"
        "that could not be checked and was kept: \"Not Checked:  PATH (REASON)\".\n"
        "\n"
        "  -h, --help    show this text\n"
        "\n"
        "Exit status: 0 on success, 1 when LIST needs more memory than there is, 2 on a\n"
        "usage error or a LIST that cannot be read.\n");
}

int runSearchCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder)
{
    const QString command = QStringLiteral("search");
    ListArguments parsed;
    QString error;
    if (!parse(args, QStringLiteral("FOLDER"), true, &parsed, &error))
        return usageError(err, command, error);
    if (parsed.help) {
        out.write(searchUsage().toLocal8Bit());
        return ExitOk;
    }
    if (parsed.path.isEmpty())
        return usageError(err, command, QStringLiteral("no FOLDER given"));
    if (!QFileInfo(parsed.path).isDir())
        return usageError(err, command, QStringLiteral("no such folder: %1").arg(parsed.path));

    scan::ScanOptions options;
    options.mask = parsed.mask.isEmpty() ? defaultMask() : parsed.mask;
    options.descendEverywhere = false;
    options.thumbFolder = thumbFolderFor(parsed.programFolder, defaultProgramFolder);
    options.letEventsRun = [] {};
    const QString folder = QDir::toNativeSeparators(QFileInfo(parsed.path).absoluteFilePath());
    // Written while the scan goes on.
    int withLineBreak = 0;
    {
        ListWriter writer(out);
        scan::forEachFolderRecord(
            folder, parsed.recursive, options,
            [&writer](const QString &record) { writer.add(record); }, &withLineBreak);
    }
    if (withLineBreak > 0)
        writeLine(
            err, QStringLiteral("folioscope-batch search: ") + scan::lineBreakNote(withLineBreak));
    return ExitOk;
}

int runVerifyCommand(const QStringList &args, QIODevice &out, QIODevice &err)
{
    const QString command = QStringLiteral("verify");
    ListArguments parsed;
    QString error;
    if (!parse(args, QStringLiteral("LIST"), false, &parsed, &error))
        return usageError(err, command, error);
    if (parsed.help) {
        out.write(verifyUsage().toLocal8Bit());
        return ExitOk;
    }
    if (parsed.path.isEmpty())
        return usageError(err, command, QStringLiteral("no LIST given"));
    const QString prefix = QStringLiteral("folioscope-batch verify: ");
    return withMemoryGuard(err, prefix, parsed.path, [&] {
        QStringList records;
        if (!scan::readListFile(parsed.path, &records, &error)) {
            writeLine(err, prefix + error);
            return int(ExitUsage);
        }
        QList<scan::ListEntry> entries = scan::entriesFromRecords(std::exchange(records, {}));
        const scan::VerifyResult result = scan::verifyEntries(entries);
        {
            ListWriter writer(out);
            for (const scan::ListEntry &entry : std::as_const(entries))
                writer.add(entry.record());
        }
        for (const QString &line : result.reportLines)
            writeLine(err, line);
        return int(ExitOk);
    });
}

} // namespace batch
