#include "imaging/jpegcodec.h"

#include "platform/atomicfile.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace platform {

namespace {

// Larger pictures are refused before anything is allocated for them.
constexpr qint64 kMaxPixels = qint64(1) << 26;
constexpr qint64 kMaxFileBytes = qint64(1) << 28;
// A progressive file may split its data into any number of scans, each a pass over the whole
// picture; ours have one, other writers about ten.
constexpr int kMaxScans = 100;
// Working memory of the decoder itself (a progressive picture keeps all its coefficients).
constexpr long kMaxDecoderMemory = 256L << 20;

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_BGRA; // QImage::Format_RGB32 in memory order
constexpr J_COLOR_SPACE kRgb32InSpace = JCS_EXT_BGRX;
#else
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_ARGB;
constexpr J_COLOR_SPACE kRgb32InSpace = JCS_EXT_XRGB;
#endif

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void failHard(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

// Warnings (level -1) mean damaged data; trace messages are ignored.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        failHard(cinfo);
}

void silent(j_common_ptr) { }

void installErrorManager(ErrorManager &err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = failHard;
    err.pub.emit_message = onMessage;
    err.pub.output_message = silent;
}

// The libjpeg state lives in the caller's memory and the functions that call setjmp hold no
// object with a destructor, so the long jump out of libjpeg skips nothing.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
};

void limitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor
        && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        failHard(cinfo);
}

// Compressed bytes go through a small chunk into a byte array of the caller.
struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    jpeg_destination_mgr dest;
    QByteArray *out;
    JOCTET chunk[16384];
};

Encoder *encoderOf(j_compress_ptr cinfo)
{
    return reinterpret_cast<Encoder *>(cinfo);
}

void startChunk(j_compress_ptr cinfo)
{
    Encoder *e = encoderOf(cinfo);
    e->dest.next_output_byte = e->chunk;
    e->dest.free_in_buffer = sizeof(e->chunk);
}

boolean flushFullChunk(j_compress_ptr cinfo)
{
    Encoder *e = encoderOf(cinfo);
    e->out->append(reinterpret_cast<const char *>(e->chunk), qsizetype(sizeof(e->chunk)));
    startChunk(cinfo);
    return TRUE;
}

void flushLastChunk(j_compress_ptr cinfo)
{
    Encoder *e = encoderOf(cinfo);
    e->out->append(reinterpret_cast<const char *>(e->chunk),
        qsizetype(sizeof(e->chunk) - e->dest.free_in_buffer));
}

// Sets the colour space to decode into; the picture format that holds it.
QImage::Format chooseOutputSpace(j_decompress_ptr cinfo)
{
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        return QImage::Format_Grayscale8;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK; // turned into RGB row by row (cmykToRgb32)
        return QImage::Format_RGB32;
    default:
        cinfo->out_color_space = kRgb32Space;
        return QImage::Format_RGB32;
    }
}

// Four bytes per pixel fit the RGB32 line in place. Stored CMYK is inverted, as every writer
// of such files does it.
void cmykToRgb32(uchar *line, JDIMENSION width)
{
    auto *pixel = reinterpret_cast<QRgb *>(line);
    for (JDIMENSION x = 0; x < width; ++x) {
        const uchar *cmyk = line + 4 * x;
        const int k = cmyk[3];
        pixel[x] = qRgb(cmyk[0] * k / 255, cmyk[1] * k / 255, cmyk[2] * k / 255);
    }
}

bool decodeInto(Decoder *d, const unsigned char *data, unsigned long size, QImage *out)
{
    d->cinfo.err = &d->err.pub;
    installErrorManager(d->err);
    if (setjmp(d->err.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        return false;
    }
    jpeg_create_decompress(&d->cinfo);
    d->progress.progress_monitor = limitScans;
    d->cinfo.progress = &d->progress;
    d->cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&d->cinfo, data, size);
    jpeg_read_header(&d->cinfo, TRUE);

    const QImage::Format format = chooseOutputSpace(&d->cinfo);
    jpeg_calc_output_dimensions(&d->cinfo);
    const qint64 pixels = qint64(d->cinfo.output_width) * d->cinfo.output_height;
    if (pixels <= 0 || pixels > kMaxPixels)
        failHard(reinterpret_cast<j_common_ptr>(&d->cinfo));
    *out = QImage(int(d->cinfo.output_width), int(d->cinfo.output_height), format);
    if (out->isNull())
        failHard(reinterpret_cast<j_common_ptr>(&d->cinfo));

    jpeg_start_decompress(&d->cinfo);
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        uchar *line = out->scanLine(int(d->cinfo.output_scanline));
        JSAMPROW row = line;
        jpeg_read_scanlines(&d->cinfo, &row, 1);
        if (d->cinfo.out_color_space == JCS_CMYK)
            cmykToRgb32(line, d->cinfo.output_width);
    }
    jpeg_finish_decompress(&d->cinfo);
    jpeg_destroy_decompress(&d->cinfo);
    return true;
}

bool encodeFrom(Encoder *e, const QImage *image, int quality)
{
    e->cinfo.err = &e->err.pub;
    installErrorManager(e->err);
    if (setjmp(e->err.jump)) {
        jpeg_destroy_compress(&e->cinfo);
        return false;
    }
    jpeg_create_compress(&e->cinfo);
    e->dest.init_destination = startChunk;
    e->dest.empty_output_buffer = flushFullChunk;
    e->dest.term_destination = flushLastChunk;
    e->cinfo.dest = &e->dest;
    e->cinfo.image_width = JDIMENSION(image->width());
    e->cinfo.image_height = JDIMENSION(image->height());
    e->cinfo.input_components = 4;
    e->cinfo.in_color_space = kRgb32InSpace;
    jpeg_set_defaults(&e->cinfo);
    jpeg_set_quality(&e->cinfo, quality, TRUE);
    e->cinfo.dct_method = JDCT_ISLOW;
    e->cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&e->cinfo, TRUE);
    while (e->cinfo.next_scanline < e->cinfo.image_height) {
        // libjpeg only reads the row; its API is not const-correct.
        JSAMPROW row = const_cast<uchar *>(image->constScanLine(int(e->cinfo.next_scanline)));
        jpeg_write_scanlines(&e->cinfo, &row, 1);
    }
    jpeg_finish_compress(&e->cinfo);
    jpeg_destroy_compress(&e->cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    Decoder decoder;
    QImage image;
    if (!decodeInto(&decoder, reinterpret_cast<const unsigned char *>(data.constData()),
            static_cast<unsigned long>(data.size()), &image))
        return {};
    return image;
}

QImage readJpeg(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return {};
    return decodeJpeg(file.readAll());
}

QByteArray encodeJpeg(const QImage &image, int quality)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    auto encoder = std::make_unique<Encoder>();
    encoder->out = &bytes;
    if (!encodeFrom(encoder.get(), &rgb, std::clamp(quality, 1, 100)))
        return {};
    return bytes;
}

bool writeJpeg(const QImage &image, const QString &path, int quality, QString *error)
{
    const QByteArray bytes = encodeJpeg(image, quality);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("the picture cannot be encoded as JPEG");
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

} // namespace platform
