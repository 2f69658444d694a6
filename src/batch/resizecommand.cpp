#include "resizecommand.h"

#include "platform/atomicfile.h"
#include "resizeinput.h"
#include "imaging/resample.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>

namespace batch {

namespace {

// Destinations, and the work picture between the passes (destination width x source height),
// stay below this many pixels, so that no size on the command line exhausts the memory.
constexpr qint64 kMaxPixels = qint64(1) << 26;

struct ResizeArguments {
    int filter = imaging::kLanczos3;
    QSize size;
    QString in;
    QString out;
    bool help = false;
};

// "png", "bmp" or "ppm" from the name's extension; empty for anything else.
QByteArray formatForName(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == u"png" || suffix == u"bmp" || suffix == u"ppm")
        return suffix.toLatin1();
    return {};
}

bool parseSize(const QString &text, QSize *size)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,6})[xX](\\d{1,6})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    *size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    return size->width() >= 1 && size->height() >= 1
        && qint64(size->width()) * size->height() <= kMaxPixels;
}

bool parseFilter(const QString &text, int *filter)
{
    bool ok = false;
    *filter = text.toInt(&ok);
    return ok && *filter >= 0 && *filter < int(imaging::FilterCatalog.size());
}

bool parse(const QStringList &args, ResizeArguments *parsed, QString *error)
{
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString value;
        if (arg == u"--help" || arg == u"-h") {
            parsed->help = true;
        } else if (isOption(arg, QStringLiteral("--filter"))) {
            if (!takeValue(args, i, QStringLiteral("--filter"), &value)
                || !parseFilter(value, &parsed->filter)) {
                *error = QStringLiteral("--filter needs a number from 0 to %1")
                             .arg(imaging::FilterCatalog.size() - 1);
                return false;
            }
        } else if (isOption(arg, QStringLiteral("--size"))) {
            if (!takeValue(args, i, QStringLiteral("--size"), &value)
                || !parseSize(value, &parsed->size)) {
                *error = QStringLiteral("--size needs WIDTHxHEIGHT, each at least 1, at most "
                                        "%1 pixels in all")
                             .arg(kMaxPixels);
                return false;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        } else {
            files.append(arg);
        }
    }
    if (parsed->help)
        return true;
    if (files.size() != 2) {
        *error = QStringLiteral("give one IN and one OUT picture");
        return false;
    }
    if (!parsed->size.isValid()) {
        *error = QStringLiteral("--size WIDTHxHEIGHT is needed");
        return false;
    }
    parsed->in = files.at(0);
    parsed->out = files.at(1);
    if (formatForName(parsed->out).isEmpty()) {
        *error = QStringLiteral("OUT must end in .ppm, .png or .bmp: %1").arg(parsed->out);
        return false;
    }
    return true;
}

bool writePicture(const QImage &image, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, formatForName(path));
    if (!writer.write(image)) {
        *error = writer.errorString();
        return false;
    }
    return platform::writeFileAtomically(path, bytes, error);
}

int failWith(QIODevice &err, const QString &text, int status)
{
    writeLine(err, QStringLiteral("folioscope-batch resize: ") + text);
    return status;
}

// Reads, scales and writes the picture; the exit status.
int resize(const ResizeArguments &parsed, QIODevice &err)
{
    QString error;
    const QImage source = readResizeInput(parsed.in, &error);
    if (source.isNull())
        return failWith(
            err, QStringLiteral("cannot read %1: %2").arg(parsed.in, error), ExitFailed);
    if (qint64(parsed.size.width()) * source.height() > kMaxPixels)
        return failWith(err,
            QStringLiteral("%1 is too high to scale to %2 pixels wide")
                .arg(parsed.in)
                .arg(parsed.size.width()),
            ExitFailed);
    QImage destination(parsed.size, QImage::Format_RGB888);
    const imaging::FilterEntry &filter = imaging::FilterCatalog[size_t(parsed.filter)];
    if (!imaging::ResampleBitmap(source, destination, filter.filter, filter.support, &error))
        return failWith(
            err, QStringLiteral("cannot scale %1: %2").arg(parsed.in, error), ExitFailed);
    if (!writePicture(destination, parsed.out, &error))
        return failWith(
            err, QStringLiteral("cannot write %1: %2").arg(parsed.out, error), ExitFailed);
    return ExitOk;
}

} // namespace

QString resizeUsage()
{
    // The catalogue, four to a line.
    QString filters;
    for (size_t i = 0; i < imaging::FilterCatalog.size(); ++i) {
        const QString separator
            = i % 4 == 0 ? QStringLiteral("\n                            ") : QStringLiteral(", ");
        filters += separator + QString::number(i) + QLatin1Char(' ')
            + QLatin1String(imaging::FilterCatalog[i].name);
    }
    return QStringLiteral(
        "Usage: folioscope-batch resize [--filter N] --size WIDTHxHEIGHT IN OUT\n"
        "\n"
        "Scales the picture IN (PPM of type P6, PNG or BMP) to the given size with the\n"
        "resampler of the thumbnails and snapshots, and writes it without loss to OUT in\n"
        "the format its extension names (.ppm, .png or .bmp).\n"
        "\n"
        "  --filter N              the filter, by number (default 5, the program's own):%1\n"
        "  --size WIDTHxHEIGHT     the size of OUT, e.g. 130x100\n"
        "  -h, --help              show this text\n"
        "\n"
        "Exit status: 0 on success, 1 when IN cannot be read or scaled or OUT cannot be\n"
        "written, 2 on a usage error.\n")
        .arg(filters);
}

int runResizeCommand(const QStringList &args, QIODevice &out, QIODevice &err)
{
    ResizeArguments parsed;
    QString error;
    if (!parse(args, &parsed, &error))
        return failWith(err, error + QStringLiteral(" (see --help)"), ExitUsage);
    if (parsed.help) {
        out.write(resizeUsage().toLocal8Bit());
        return ExitOk;
    }
    return withMemoryGuard(err, QStringLiteral("folioscope-batch resize: "), parsed.in,
        [&] { return resize(parsed, err); });
}

} // namespace batch
