#include "formatcommand.h"

#include "formatter/formatselection.h"
#include "formatter/style.h"
#include "platform/textcodec.h"

#include <QFile>

namespace batch {

namespace {

struct FormatArguments {
    formatter::FormatMode mode = formatter::FormatMode::Format;
    QString programFolder;
    bool whole = false;
    bool help = false;
    QString file; // empty or "-": standard input
};

void writeLine(QIODevice &device, const QString &line)
{
    device.write((line + QLatin1Char('\n')).toLocal8Bit());
}

// Takes the value of an option given as "--name VALUE" or "--name=VALUE".
bool takeValue(const QStringList &args, qsizetype &i, const QString &name, QString *value)
{
    const QString &arg = args.at(i);
    if (arg == name) {
        if (i + 1 >= args.size())
            return false;
        *value = args.at(++i);
        return true;
    }
    *value = arg.sliced(name.size() + 1);
    return true;
}

bool parse(const QStringList &args, FormatArguments *parsed, QString *error)
{
    bool filesOnly = false;
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const auto isOption = [&arg](const QString &name) {
            return arg == name || arg.startsWith(name + QLatin1Char('='));
        };
        if (!filesOnly && (arg == u"--help" || arg == u"-h")) {
            parsed->help = true;
        } else if (!filesOnly && arg == u"--whole") {
            parsed->whole = true;
        } else if (!filesOnly && isOption(QStringLiteral("--mode"))) {
            QString mode;
            if (!takeValue(args, i, QStringLiteral("--mode"), &mode)) {
                *error = QStringLiteral("--mode needs a value: format, compress or trim");
                return false;
            }
            if (mode == u"format")
                parsed->mode = formatter::FormatMode::Format;
            else if (mode == u"compress")
                parsed->mode = formatter::FormatMode::Compress;
            else if (mode == u"trim")
                parsed->mode = formatter::FormatMode::Trim;
            else {
                *error = QStringLiteral("unknown mode \"%1\": use format, compress or trim")
                             .arg(mode);
                return false;
            }
        } else if (!filesOnly && isOption(QStringLiteral("--program-folder"))) {
            if (!takeValue(args, i, QStringLiteral("--program-folder"), &parsed->programFolder)
                || parsed->programFolder.isEmpty()) {
                *error = QStringLiteral("--program-folder needs a folder");
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

QString formatUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch format [--mode format|compress|trim] [--program-folder DIR]\n"
        "                               [--whole] [FILE]\n"
        "\n"
        "Formats an HTML page the way the editor's \"Format\" command does and writes the\n"
        "result to standard output, every line ended by CR LF, in the encoding of the input\n"
        "(UTF-8 when it is valid UTF-8, otherwise one byte per character).\n"
        "\n"
        "  FILE                    the page to read; standard input when absent or \"-\"\n"
        "  --mode format           lay the page out by the style (the default)\n"
        "  --mode compress         join the markup into long lines, drop or keep comments\n"
        "  --mode trim             remove whitespace inside the elements named in trim.ini\n"
        "  --program-folder DIR    read STYLES/THUMBS/options.ini, STYLES/THUMBS/tag.ini and\n"
        "                          trim.ini from DIR (default: the folder of this program)\n"
        "  --whole                 a whole-document run: the first line's indentation is not\n"
        "                          repeated, and the signature comment appears when the style\n"
        "                          asks for it\n"
        "  -h, --help              show this text\n"
        "\n"
        "Exit status: 0 on success, 2 on a usage error or a FILE that cannot be read.\n");
}

int runFormatCommand(const QStringList &args, QIODevice &in, QIODevice &out, QIODevice &err,
                     const QString &defaultProgramFolder)
{
    FormatArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error)) {
        writeLine(err, QStringLiteral("folioscope-batch format: ") + error
                           + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }
    if (parsed.help) {
        out.write(formatUsage().toLocal8Bit());
        return ExitOk;
    }

    QByteArray bytes;
    if (parsed.file.isEmpty() || parsed.file == u"-") {
        bytes = in.readAll();
    } else {
        QFile file(parsed.file);
        if (!file.open(QIODevice::ReadOnly)) {
            writeLine(err, QStringLiteral("folioscope-batch format: cannot read %1: %2")
                               .arg(parsed.file, file.errorString()));
            return ExitUsage;
        }
        bytes = file.readAll();
    }
    const platform::DecodedText input = platform::decodeText(bytes);
    bytes.clear();

    // The style is loaded as the program loads it at start.
    formatter::Style style;
    const QString folder = parsed.programFolder.isEmpty() ? defaultProgramFolder
                                                          : parsed.programFolder;
    formatter::LoadProgramStyle(style, folder, style.options.styleName);

    QString result;
    if (parsed.whole) {
        result = formatter::FormatDocument(style, input.text, parsed.mode);
    } else {
        const qsizetype lf = input.text.indexOf(QLatin1Char('\n'));
        const QStringView firstLine = QStringView(input.text).first(lf < 0 ? input.text.size()
                                                                           : lf);
        result = formatter::FormatSelection(style, input.text,
                                            formatter::SelectionIndent(firstLine), parsed.mode);
    }
    out.write(platform::encodeText(result, input.encoding));
    return ExitOk;
}

} // namespace batch
