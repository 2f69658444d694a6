#include "formatcommand.h"

#include "formatter/formatselection.h"
#include "formatter/style.h"
#include "platform/atomicfile.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace batch {

namespace {

constexpr qsizetype kReadChunk = 1 << 16;
// A page's text is held whole; a file larger than this is no page and would exhaust the memory.
constexpr qint64 kLargestPage = qint64(1) << 30;
constexpr auto kUtf8Flags
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

struct FormatArguments {
    formatter::FormatMode mode = formatter::FormatMode::Format;
    QString programFolder;
    bool whole = false;
    bool inPlace = false;
    bool help = false;
    QStringList files; // none or "-": standard input
};

QString prefix()
{
    return QStringLiteral("folioscope-batch format: ");
}

void report(QIODevice &err, const QString &problem)
{
    writeLine(err, prefix() + problem);
}

bool parseMode(const QString &mode, formatter::FormatMode *parsed)
{
    if (mode == u"format")
        *parsed = formatter::FormatMode::Format;
    else if (mode == u"compress")
        *parsed = formatter::FormatMode::Compress;
    else if (mode == u"trim")
        *parsed = formatter::FormatMode::Trim;
    else
        return false;
    return true;
}

bool parseOptions(const QStringList &args, FormatArguments *parsed, QString *error)
{
    bool filesOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const auto isOption = [&arg, filesOnly](const QString &name) {
            return !filesOnly && batch::isOption(arg, name);
        };
        if (!filesOnly && (arg == u"--help" || arg == u"-h")) {
            parsed->help = true;
        } else if (!filesOnly && arg == u"--whole") {
            parsed->whole = true;
        } else if (!filesOnly && arg == u"--in-place") {
            parsed->inPlace = true;
        } else if (isOption(QStringLiteral("--mode"))) {
            QString mode;
            if (!takeValue(args, i, QStringLiteral("--mode"), &mode)) {
                *error = QStringLiteral("--mode needs a value: format, compress or trim");
                return false;
            }
            if (!parseMode(mode, &parsed->mode)) {
                *error
                    = QStringLiteral("unknown mode \"%1\": use format, compress or trim").arg(mode);
                return false;
            }
        } else if (isOption(QStringLiteral("--program-folder"))) {
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
        } else {
            parsed->files.append(arg);
        }
    }
    return true;
}

bool parse(const QStringList &args, FormatArguments *parsed, QString *error)
{
    if (!parseOptions(args, parsed, error))
        return false;
    if (parsed->help)
        return true;
    if (parsed->inPlace && parsed->files.isEmpty())
        *error = QStringLiteral("--in-place needs at least one FILE");
    else if (parsed->inPlace && parsed->files.contains(QStringLiteral("-")))
        *error = QStringLiteral("--in-place cannot replace standard input");
    else if (!parsed->inPlace && parsed->files.size() > 1)
        *error = QStringLiteral("several FILEs are formatted only with --in-place");
    return error->isEmpty();
}

// Where a UTF-8 chunk may be cut: before a lead byte whose sequence is not complete.
qsizetype utf8Boundary(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype k = size - 1; k >= 0 && k >= size - 4; --k) {
        const auto c = static_cast<unsigned char>(bytes.at(k));
        if ((c & 0xC0) == 0x80)
            continue;
        if (c < 0xC0)
            return size;
        const qsizetype need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        return k + need > size ? k : size;
    }
    return size;
}

// Decodes the first `size` bytes of the file as UTF-8 chunk by chunk, straight into the
// text, so that the file's bytes and its text are never held whole at once. False when it
// is not valid UTF-8.
bool readUtf8(QFile &file, qint64 size, QString &text)
{
    QStringDecoder decoder(QStringConverter::Utf8, kUtf8Flags);
    text.reserve(size);
    QByteArray chunk;
    qsizetype carried = 0;
    qint64 left = size;
    while (true) {
        chunk.resize(carried + kReadChunk);
        const qint64 read
            = left > 0 ? file.read(chunk.data() + carried, std::min<qint64>(kReadChunk, left)) : 0;
        if (read < 0)
            return false;
        left -= read;
        const qsizetype used = carried + read;
        const qsizetype cut = read == 0 ? used : utf8Boundary(QByteArrayView(chunk).first(used));
        const qsizetype length = text.size();
        text.resize(length + cut);
        QChar *end
            = decoder.appendToBuffer(text.data() + length, QByteArrayView(chunk).first(cut));
        text.truncate(end - text.constData());
        if (decoder.hasError())
            return false;
        carried = used - cut;
        std::memmove(chunk.data(), chunk.constData() + cut, carried);
        if (read == 0)
            return true;
    }
}

bool readLatin1(QFile &file, qint64 size, QString &text)
{
    text.resize(0);
    if (!file.seek(0))
        return false;
    QByteArray chunk;
    for (qint64 left = size; left > 0; left -= chunk.size()) {
        chunk = file.read(std::min<qint64>(kReadChunk, left));
        if (chunk.isEmpty())
            return file.error() == QFileDevice::NoError;
        text.append(QLatin1String(chunk));
    }
    return true;
}

// The file as platform::decodeText reads it: UTF-8 when valid, else one character a byte.
// Only as many bytes are read as its size said when it was opened: a file that grows
// meanwhile (one still being written) cannot take more memory than the size allowed, and a
// file that changed size is refused rather than formatted half.
std::optional<platform::DecodedText> readText(const QString &path, QString *error)
{
    QFile file;
    if (!platform::openRegularFile(file, path, error))
        return std::nullopt;
    const qint64 size = file.size();
    if (size > kLargestPage) {
        *error = QStringLiteral("The file is too large.");
        return std::nullopt;
    }
    platform::DecodedText decoded;
    if (!readUtf8(file, size, decoded.text)) {
        decoded.encoding = platform::TextEncoding::Latin1;
        if (!readLatin1(file, size, decoded.text)) {
            *error = file.errorString();
            return std::nullopt;
        }
    }
    char more = 0;
    if (file.pos() < size || file.read(&more, 1) > 0) {
        *error = file.pos() <= size ? QStringLiteral("The file shrank while it was read.")
                                    : QStringLiteral("The file grew while it was read.");
        return std::nullopt;
    }
    return decoded;
}

// The result goes to device piece by piece in the encoding of the input.
class EncodingSink
{
public:
    EncodingSink(QIODevice &device, platform::TextEncoding encoding)
        : m_device(device)
        , m_encoder(encoding == platform::TextEncoding::Latin1 ? QStringConverter::Latin1
                                                               : QStringConverter::Utf8,
              encoding == platform::TextEncoding::Latin1 ? QStringConverter::Flag::Default
                                                         : kUtf8Flags)
    { }

    void operator()(QStringView piece)
    {
        m_bytes.resize(3 * piece.size());
        char *end = m_encoder.appendToBuffer(m_bytes.data(), piece);
        const qsizetype size = end - m_bytes.constData();
        if (m_ok && m_device.write(m_bytes.constData(), size) != size)
            m_ok = false;
    }

    bool ok() const { return m_ok; }

private:
    QIODevice &m_device;
    QStringEncoder m_encoder;
    QByteArray m_bytes;
    bool m_ok = true;
};

// Formats text into device; false when a write failed.
bool formatInto(formatter::Style &style, const FormatArguments &parsed,
    platform::DecodedText &&input, QIODevice &device)
{
    std::optional<QString> indent;
    if (!parsed.whole)
        indent = formatter::SelectionIndent(input.text);
    EncodingSink sink(device, input.encoding);
    formatter::ResultWriter out([&sink](QStringView piece) { sink(piece); });
    formatter::FormatText(style, std::move(input.text), parsed.mode, indent, out);
    return sink.ok();
}

// A file whose permission bits allow no writing is read-only, even for the superuser, to
// whom the system would let a replace through.
bool isReadOnly(const QString &path)
{
    const platform::FileState state = platform::fileState(path);
    return !state.writable || !state.hasWriteBits;
}

// Replaces the file by its result at once; false, with a line on err, if not.
bool formatInPlace(
    formatter::Style &style, const FormatArguments &parsed, const QString &path, QIODevice &err)
{
    QString error;
    std::optional<platform::DecodedText> input = readText(path, &error);
    if (!input) {
        report(err, QStringLiteral("cannot read %1: %2").arg(path, error));
        return false;
    }
    if (isReadOnly(path)) {
        report(err, QStringLiteral("cannot write %1: the file is read-only").arg(path));
        return false;
    }
    // The whole result first: only a complete one may replace the page.
    QByteArray bytes;
    QBuffer result(&bytes);
    result.open(QIODevice::WriteOnly);
    formatInto(style, parsed, std::move(*input), result);
    if (!platform::writeFileAtomically(path, bytes, &error)) {
        report(err, QStringLiteral("cannot write %1: %2").arg(path, error));
        return false;
    }
    return true;
}

// One file, or standard input, to standard output.
bool formatToOutput(formatter::Style &style, const FormatArguments &parsed, QIODevice &in,
    QIODevice &out, QIODevice &err)
{
    const QString path = parsed.files.value(0);
    const bool standardInput = path.isEmpty() || path == u"-";
    std::optional<platform::DecodedText> input;
    QString error;
    QByteArray bytes;
    if (!standardInput)
        input = readText(path, &error);
    else if (readAtMost(in, kLargestPage, &bytes))
        input = platform::decodeText(std::exchange(bytes, {}));
    else
        error = QStringLiteral("The input is too large.");
    if (!input) {
        report(err,
            QStringLiteral("cannot read %1: %2")
                .arg(standardInput ? standardInputName() : path, error));
        return false;
    }
    if (!formatInto(style, parsed, std::move(*input), out)) {
        report(err, QStringLiteral("cannot write the result: %1").arg(out.errorString()));
        return false;
    }
    return true;
}

} // namespace

QString formatUsage()
{
    return QStringLiteral(
        "Usage: folioscope-batch format [--mode format|compress|trim] [--program-folder DIR]\n"
        "                               [--whole] [--in-place FILE...] [FILE]\n"
        "\n"
        "Formats an HTML page the way the editor's \"Format\" command does and writes the\n"
        "result to standard output, every line ended by CR LF, in the encoding of the input\n"
        "(UTF-8 when it is valid UTF-8, otherwise one byte per character).\n"
        "\n"
        "  FILE                    the page to read; standard input when absent or \"-\"\n"
        "  --in-place FILE...      replace each FILE by its result instead (atomically, in\n"
        "                          its own encoding, keeping its owner, group and hard\n"
        "                          links); a read-only FILE is left as it is\n"
        "  --mode format           lay the page out by the style (the default)\n"
        "  --mode compress         join the markup into long lines, drop or keep comments\n"
        "  --mode trim             remove whitespace inside the elements named in trim.ini\n"
        "  --program-folder DIR    read STYLES/THUMBS/options.ini, STYLES/THUMBS/tag.ini and\n"
        "                          trim.ini from DIR (default: the folder of this program)\n"
        "  --whole                 a whole-document run: the indentation of the first line\n"
        "                          laid out is not repeated, and the signature comment\n"
        "                          appears when the style asks for it\n"
        "  -h, --help              show this text\n"
        "\n"
        "A FILE is read up to the size it had when opened: one that grows meanwhile is\n"
        "refused, and so is one larger than 1 GiB.\n"
        "\n"
        "Exit status: 0 on success, 1 when a FILE could not be read or written or needed\n"
        "more memory than there is (the others are still done), 2 on a usage error.\n");
}

int runFormatCommand(const QStringList &args, QIODevice &in, QIODevice &out, QIODevice &err,
    const QString &defaultProgramFolder)
{
    FormatArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error)) {
        report(err, error + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }
    if (parsed.help) {
        out.write(formatUsage().toLocal8Bit());
        return ExitOk;
    }

    // The style is loaded as the program loads it at start.
    formatter::Style style;
    const QString folder
        = parsed.programFolder.isEmpty() ? defaultProgramFolder : parsed.programFolder;
    formatter::LoadProgramStyle(style, folder, style.options.styleName);

    if (!parsed.inPlace) {
        const QString path = parsed.files.value(0);
        const bool done = withMemoryGuard(err, prefix(),
            path.isEmpty() || path == u"-" ? standardInputName() : path,
            [&] { return formatToOutput(style, parsed, in, out, err); });
        return done ? ExitOk : ExitFailed;
    }
    bool allDone = true;
    for (const QString &path : std::as_const(parsed.files))
        allDone = withMemoryGuard(err, prefix(), path,
                      [&] { return formatInPlace(style, parsed, path, err); })
            && allDone;
    return allDone ? ExitOk : ExitFailed;
}

} // namespace batch
