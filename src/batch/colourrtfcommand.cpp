#include "colourrtfcommand.h"

#include "editor/editorfile.h"
#include "editor/rtfwriter.h"

#include <QFile>

namespace batch {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

struct ColourRtfArguments {
    int preset = 1;
    bool help = false;
    QString file;
};

void writeProblem(QIODevice &err, const QString &problem)
{
    err.write((QStringLiteral("folioscope-batch colour-rtf: ") + problem + QLatin1Char('\n'))
                  .toLocal8Bit());
}

bool parsePreset(const QString &value, int *preset)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 1 || n > 4)
        return false;
    *preset = n;
    return true;
}

bool parse(const QStringList &args, ColourRtfArguments *parsed, QString *error)
{
    bool filesOnly = false;
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!filesOnly && (arg == u"--help" || arg == u"-h")) {
            parsed->help = true;
        } else if (!filesOnly && (arg == u"--preset" || arg.startsWith(u"--preset="))) {
            const QString value = arg == u"--preset" ? args.value(++i) : arg.sliced(9);
            if (!parsePreset(value, &parsed->preset)) {
                *error = QStringLiteral("--preset needs a number from 1 to 4");
                return false;
            }
        } else if (!filesOnly && arg == u"--") {
            filesOnly = true;
        } else if (!filesOnly && arg.startsWith(QLatin1Char('-')) && arg != u"-") {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        } else if (haveFile) {
            *error = QStringLiteral("only one FILE may be given");
            return false;
        } else {
            parsed->file = arg;
            haveFile = true;
        }
    }
    return true;
}

} // namespace

QString colourRtfUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch colour-rtf [--preset N] [FILE]\n"
        "\n"
        "Writes to standard output the Rich Text document that the editor builds to colour\n"
        "FILE: tags, quoted strings and comments in the colours of palette preset N. Paste\n"
        "it into a word processor to keep the colours.\n"
        "\n"
        "  FILE          the page to read; standard input when absent or \"-\"\n"
        "  --preset N    1 normal colours (the default), 2 emphasize tags, 3 emphasize\n"
        "                quoted strings, 4 emphasize floating text\n"
        "  -h, --help    show this text\n"
        "\n"
        "Exit status: 0 on success, 1 when FILE cannot be read, 2 on a usage error.\n");
}

int runColourRtfCommand(const QStringList &args, QIODevice &in, QIODevice &out, QIODevice &err)
{
    ColourRtfArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error)) {
        writeProblem(err, error + QStringLiteral(" (see --help)"));
        return kExitUsage;
    }
    if (parsed.help) {
        out.write(colourRtfUsage().toLocal8Bit());
        return kExitOk;
    }
    QByteArray bytes;
    if (parsed.file.isEmpty() || parsed.file == u"-") {
        bytes = in.readAll();
    } else {
        QFile file(parsed.file);
        if (!file.open(QIODevice::ReadOnly)) {
            writeProblem(
                err, QStringLiteral("cannot read %1: %2").arg(parsed.file, file.errorString()));
            return kExitFileFailed;
        }
        bytes = file.readAll();
    }
    const editor::EditorText page = editor::decodeEditorText(bytes);
    out.write(editor::BuildColouredRtf(page.text, editor::presetPalette(parsed.preset)));
    return kExitOk;
}

} // namespace batch
