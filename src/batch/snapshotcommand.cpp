#include "snapshotcommand.h"

#include "batchargs.h"
#include "console.h"

#include "formatcommand.h"

#include "engine/captureform.h"
#include "frame/selection.h"
#include "frame/settings.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotsave.h"
#include "snapshot/snapshotshot.h"
#include "thumbs/thumbmaker.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace batch {

namespace {

const QString kPrefix = QStringLiteral("folioscope-batch snapshot: ");

struct SnapshotArguments {
    snapshot::SnapshotEntries entries;
    snapshot::OutputKind kind = snapshot::OutputKind::Jpg;
    QString outputFolder = QStringLiteral(".");
    bool force = false;
    bool help = false;
    QStringList files;
};

bool parseColour(const QString &text, int *value)
{
    static const QRegularExpression pattern(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!pattern.match(text).hasMatch())
        return false;
    *value = snapshot::valueFromColor(QColor(text));
    return true;
}

bool takeOption(
    const QString &name, const QString &value, SnapshotArguments *parsed, QString *error)
{
    snapshot::SnapshotEntries &entries = parsed->entries;
    if (name == u"--size") {
        const qsizetype x = value.indexOf(QLatin1Char('x'), 0, Qt::CaseInsensitive);
        entries.width = x < 0 ? value : value.first(x);
        entries.height = x < 0 ? QString() : value.sliced(x + 1);
    } else if (name == u"--scale") {
        entries.scale = value;
    } else if (name == u"--shade") {
        entries.shade = value;
    } else if (name == u"--border") {
        entries.border = value;
    } else if (name == u"--out") {
        parsed->outputFolder = value;
    } else if (name == u"--format") {
        if (value != u"jpg" && value != u"bmp") {
            *error = QStringLiteral("--format takes jpg or bmp");
            return false;
        }
        parsed->kind = value == u"bmp" ? snapshot::OutputKind::Bmp : snapshot::OutputKind::Jpg;
    } else {
        int *colour = name == u"--bg"   ? &entries.bgCol
            : name == u"--shade-colour" ? &entries.shadeCol
                                        : &entries.borderCol;
        if (!parseColour(value, colour)) {
            *error = name + QStringLiteral(" takes a colour as #RRGGBB");
            return false;
        }
    }
    return true;
}

bool parse(const QStringList &args, SnapshotArguments *parsed, QString *error)
{
    static const QStringList valued = { QStringLiteral("--size"), QStringLiteral("--scale"),
        QStringLiteral("--shade"), QStringLiteral("--border"), QStringLiteral("--bg"),
        QStringLiteral("--shade-colour"), QStringLiteral("--border-colour"),
        QStringLiteral("--format"), QStringLiteral("--out") };
    bool filesOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        if (filesOnly || !arg.startsWith(QLatin1Char('-'))) {
            parsed->files.append(arg);
        } else if (arg == u"--") {
            filesOnly = true;
        } else if (arg == u"--help" || arg == u"-h") {
            parsed->help = true;
        } else if (arg == u"--crop-vert") {
            parsed->entries.cropVerti = true;
        } else if (arg == u"--crop-hori") {
            parsed->entries.cropHori = true;
        } else if (arg == u"--force") {
            parsed->force = true;
        } else if (valued.contains(name)) {
            QString value;
            if (!takeValue(args, i, name, &value)) {
                *error = name + QStringLiteral(" needs a value");
                return false;
            }
            if (!takeOption(name, value, parsed, error))
                return false;
        } else {
            *error = QStringLiteral("unknown option ") + arg;
            return false;
        }
    }
    if (parsed->files.isEmpty() && !parsed->help) {
        *error = QStringLiteral("no FILE given");
        return false;
    }
    return true;
}

// The files of the command line as the entries of a page, all selected.
class FileSelection : public frame::SelectionQueries
{
public:
    explicit FileSelection(const QStringList &files)
    {
        for (const QString &file : files)
            m_files.append(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
    }
    QString currentFile() const override
    {
        return m_files.size() == 1 ? m_files.first() : QString();
    }
    frame::SelectionCount selectionCounts() const override
    {
        return { nullptr, int(m_files.size()), int(m_files.size()) };
    }
    QString entryPath(int index, bool) const override { return m_files.value(index); }

private:
    QStringList m_files;
};

} // namespace

QString snapshotUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch snapshot [--size WxH] [--scale P] [--shade N] [--border N]\n"
        "           [--bg COLOUR] [--shade-colour COLOUR] [--border-colour COLOUR]\n"
        "           [--crop-vert] [--crop-hori] [--format jpg|bmp] [--out DIR] [--force]\n"
        "           FILE...\n"
        "\n"
        "Writes a snapshot of each page into DIR as \"snap_\" + its name with dots made\n"
        "underscores, exactly as the snapshot window's \"Batch Export\" does.\n"
        "\n"
        "  --size WxH               browser size the page is laid out at (default 800x600,\n"
        "                           10x10 up to 2000x3000)\n"
        "  --scale P                output size in percent, 5 to 100 (default 100)\n"
        "  --shade N                shadow width in pixels, 0 to 30 (default 10)\n"
        "  --border N               border width in pixels, 0 to 30 (default 1)\n"
        "  --bg COLOUR              background colour, #RRGGBB (default #FFFFFF)\n"
        "  --shade-colour COLOUR    shadow colour (default #808080)\n"
        "  --border-colour COLOUR   border colour (default #000080)\n"
        "  --crop-vert, --crop-hori cut off the vertical or horizontal scroll bar\n"
        "  --format jpg|bmp         JPEG of quality 75 (default) or 24-bit bitmap\n"
        "  --out DIR                output folder, created when missing (default: .)\n"
        "  --force                  overwrite existing snapshots (otherwise they are kept)\n"
        "  -h, --help               show this text\n"
        "\n"
        "Prints \"(k of n): FILE\" before each page. A page reaches only local files of the\n"
        "kinds a site is made of; one that reaches for another is saved showing it blocked.\n"
        "Exit status: 0 when every snapshot was written whole, 1 when some were not (missing\n"
        "page, not a regular file, page that did not finish loading, was blocked, ran out of\n"
        "memory or whose renderer died, existing file kept, write failure: the batch ends\n"
        "there and names each page it did not get to), 2 on a usage error or invalid options.\n");
}

int runSnapshotCommand(const QStringList &args, QIODevice &out, QIODevice &err)
{
    SnapshotArguments parsed;
    parsed.entries = snapshot::entriesFromSettings(frame::Settings());
    QString error;
    if (!parse(args, &parsed, &error)) {
        writeLine(err, kPrefix + error + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }
    if (parsed.help) {
        out.write(snapshotUsage().toLocal8Bit());
        return ExitOk;
    }

    ConsoleDialogs dialogs(err, kPrefix, parsed.force);
    frame::Settings settings;
    snapshot::SnapshotJob job;
    if (!snapshot::testInput(parsed.entries, settings, job))
        return ExitUsage;
    const FileSelection selection(parsed.files);
    job.selectedCount = job.entryCount = int(parsed.files.size());
    job.batchMode = true;
    job.outputKind = parsed.kind;
    job.outputExtension
        = parsed.kind == snapshot::OutputKind::Bmp ? QStringLiteral(".bmp") : QStringLiteral(".jpg");

    ConsoleProgress progress(out);
    QImage imgSave;
    engine::CaptureFormKeeper forms(nullptr, thumbs::ThumbMaker::defaultHostCount());
    snapshot::ShotSource source;
    source.forms = &forms;
    const auto shoot = [&](const QString &file) -> QImage * {
        const snapshot::ShotResult result
            = snapshot::DoTheShot(file, job, settings, source, imgSave);
        const QString problem = snapshot::shotProblem(result, file, engine::PartialPicture::Saved);
        if (!problem.isEmpty())
            dialogs.report(problem);
        return snapshot::shotHasPicture(result) ? &imgSave : nullptr;
    };
    const QSize base = snapshot::ShotBaseSize(job, settings);
    const snapshot::BatchExport batch { selection, progress, shoot, {}, {},
        [&forms, base](const QStringList &pages) { forms.plan(pages, base); },
        [&dialogs](const QString &page) { dialogs.report(QStringLiteral("not written: ") + page); } };
    const int handled = snapshot::ExportSnapshots(
        batch, job, QDir::toNativeSeparators(QFileInfo(parsed.outputFolder).absoluteFilePath()));
    return handled == job.selectedCount && dialogs.problems == 0 ? ExitOk : ExitSomeFailed;
}

} // namespace batch
