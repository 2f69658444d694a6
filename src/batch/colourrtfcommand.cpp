#include "colourrtfcommand.h"

#include "batchargs.h"
#include "commandargs.h"

#include "editor/editorfile.h"
#include "editor/rtfwriter.h"

#include <utility>

namespace batch {

namespace {

void writeProblem(QIODevice &err, const QString &problem)
{
    writeLine(err, QStringLiteral("folioscope-batch colour-rtf: ") + problem);
}

bool parse(const QStringList &args, CommandArguments *common, int *preset, QString *error)
{
    const auto option = [preset](const QStringList &args, qsizetype &i, QString *error) {
        if (!isOption(args.at(i), QStringLiteral("--preset")))
            return OptionResult::Unknown;
        QString value;
        bool ok = takeValue(args, i, QStringLiteral("--preset"), &value);
        const int n = value.toInt(&ok);
        if (!ok || n < 1 || n > 4) {
            *error = QStringLiteral("--preset needs a number from 1 to 4");
            return OptionResult::Bad;
        }
        *preset = n;
        return OptionResult::Taken;
    };
    return parseCommandArguments(args, common, option, error);
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
    CommandArguments common;
    int preset = 1;
    QString error;
    if (!parse(args, &common, &preset, &error)) {
        writeProblem(err, error + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }
    if (common.help) {
        out.write(colourRtfUsage().toLocal8Bit());
        return ExitOk;
    }
    const QString name = common.file.isEmpty() || common.file == u"-" ? standardInputName()
                                                                       : common.file;
    return withMemoryGuard(err, QStringLiteral("folioscope-batch colour-rtf: "), name, [&] {
        QByteArray bytes;
        if (!readCommandInput(common.file, in, &bytes, &error)) {
            writeProblem(err, error);
            return int(ExitFailed);
        }
        const editor::EditorText page = editor::decodeEditorText(std::exchange(bytes, {}));
        out.write(editor::BuildColouredRtf(page.text, editor::presetPalette(preset)));
        return int(ExitOk);
    });
}

} // namespace batch
