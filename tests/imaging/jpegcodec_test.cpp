#include "imaging/jpegcodec.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

// A thumbnail-sized picture with smooth colour changes and one sharp edge.
QImage samplePicture()
{
    QImage image(130, 100, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 129, y * 255 / 99, x < 65 ? 40 : 200));
    return image;
}

// Mean difference per channel: small for a good copy, large for swapped or shifted channels.
double meanChannelDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

TEST(JpegCodec, WriteThenReadKeepsThePicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.jpg"));
    const QImage original = samplePicture();
    ASSERT_TRUE(imaging::writeJpeg(original, path, 70));
    const QImage back = imaging::readJpeg(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), original.size());
    EXPECT_EQ(back.format(), QImage::Format_RGB32);
    EXPECT_LT(meanChannelDifference(original, back), 3.0);
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 255);
    // No temporary file stays beside the picture.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("t.jpg") });
}

TEST(JpegCodec, BaselineWithOptimisedTables)
{
    const QByteArray bytes = imaging::encodeJpeg(samplePicture(), 75);
    ASSERT_GT(bytes.size(), 4);
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8"));
    EXPECT_TRUE(bytes.contains(QByteArray("\xFF\xC0", 2))); // baseline frame
    EXPECT_FALSE(bytes.contains(QByteArray("\xFF\xC2", 2))); // never progressive
    // Optimised Huffman tables make a smaller file than the standard ones would; the best we
    // can check without a second encoder is that higher quality costs more bytes.
    EXPECT_LT(imaging::encodeJpeg(samplePicture(), 30).size(),
        imaging::encodeJpeg(samplePicture(), 95).size());
}

TEST(JpegCodec, GreyPictureDecodes)
{
    QImage grey(40, 30, QImage::Format_Grayscale8);
    grey.fill(128);
    const QImage back = imaging::decodeJpeg(imaging::encodeJpeg(grey, 90));
    ASSERT_FALSE(back.isNull());
    EXPECT_NEAR(qGray(back.pixel(20, 15)), 128, 3);
}

TEST(JpegCodec, DamagedInputGivesNullImage)
{
    const QByteArray good = imaging::encodeJpeg(samplePicture(), 70);
    QByteArray hugeFrame = good;
    // Claim 65000 x 65000 pixels in the frame header.
    const qsizetype sof = hugeFrame.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GE(sof, 0);
    hugeFrame[sof + 5] = char(0xFD);
    hugeFrame[sof + 6] = char(0xE8);
    hugeFrame[sof + 7] = char(0xFD);
    hugeFrame[sof + 8] = char(0xE8);

    struct Row {
        const char *name;
        QByteArray bytes;
    };
    const Row rows[] = {
        { "empty", QByteArray() },
        { "text", QByteArray("<html>not a picture</html>") },
        { "start marker only", QByteArray("\xFF\xD8", 2) },
        { "truncated to half", good.left(good.size() / 2) },
        { "header only", good.left(sof + 12) },
        { "absurd size", hugeFrame },
        { "zeros", QByteArray(4096, '\0') },
    };
    QTemporaryDir dir;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(imaging::decodeJpeg(row.bytes).isNull());
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        ASSERT_TRUE(putFile(path, row.bytes));
        EXPECT_TRUE(imaging::readJpeg(path).isNull());
    }
    EXPECT_TRUE(imaging::readJpeg(dir.filePath(QStringLiteral("missing.jpg"))).isNull());
    EXPECT_TRUE(imaging::readJpeg(dir.path()).isNull()); // a folder
}

// Random damage anywhere in the data never crashes the decoder (run under the sanitizers).
TEST(JpegCodec, RandomDamageNeverCrashes)
{
    const QByteArray good = imaging::encodeJpeg(samplePicture(), 70);
    QRandomGenerator random(4711);
    int decoded = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = good;
        const int hits = 1 + int(random.bounded(8));
        for (int i = 0; i < hits; ++i)
            bytes[qsizetype(random.bounded(quint32(bytes.size())))] = char(random.bounded(256));
        if (round % 3 == 0)
            bytes.truncate(qsizetype(random.bounded(quint32(bytes.size()))));
        const QImage image = imaging::decodeJpeg(bytes);
        if (!image.isNull()) {
            ++decoded;
            EXPECT_LE(qint64(image.width()) * image.height(), qint64(1) << 26);
        }
    }
    SUCCEED() << decoded << " damaged inputs still decoded";
}

TEST(JpegCodec, FailedWriteLeavesOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.jpg"));
    ASSERT_TRUE(putFile(path, "old"));
    EXPECT_FALSE(imaging::writeJpeg(QImage(), path, 70));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
    // A folder standing where the picture would go stays a folder.
    const QString folder = dir.filePath(QStringLiteral("taken.jpg"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(imaging::writeJpeg(samplePicture(), folder, 70));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("keep.jpg") });
}

namespace {

// Pictures that other writers make: CMYK, progressive, any scan script. Built with libjpeg
// itself; `scans` replaces the scan script when given.
QByteArray encodeForeign(int width, int height, J_COLOR_SPACE space, int components,
    bool progressive, const std::vector<jpeg_scan_info> &scans = {})
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    if (!scans.empty()) {
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * size_t(components));
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                row[size_t(x * components + c)]
                    = JSAMPLE(components == 4 ? (c == 0 || c == 3 ? 255 : 0) : (x * 4) & 0xff);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    free(buffer);
    return bytes;
}

// A grey picture in one scan per AC coefficient, each first sent at half precision and then
// refined: 2 + 2 x 63 scans.
std::vector<jpeg_scan_info> manyScans()
{
    std::vector<jpeg_scan_info> scans;
    scans.push_back({ 1, { 0 }, 0, 0, 0, 1 });
    scans.push_back({ 1, { 0 }, 0, 0, 1, 0 });
    for (int k = 1; k < 64; ++k) {
        scans.push_back({ 1, { 0 }, k, k, 0, 1 });
        scans.push_back({ 1, { 0 }, k, k, 1, 0 });
    }
    return scans;
}

} // namespace

TEST(JpegCodec, PicturesOfOtherWriters)
{
    // Stored CMYK is inverted: full cyan ink byte 255 and black byte 255 read as red.
    const QImage cmyk = imaging::decodeJpeg(encodeForeign(64, 48, JCS_CMYK, 4, false));
    ASSERT_FALSE(cmyk.isNull());
    EXPECT_EQ(cmyk.size(), QSize(64, 48));
    EXPECT_GT(qRed(cmyk.pixel(10, 10)), 240);
    EXPECT_LT(qGreen(cmyk.pixel(10, 10)), 15);

    const QImage progressive = imaging::decodeJpeg(encodeForeign(64, 48, JCS_RGB, 3, true));
    ASSERT_FALSE(progressive.isNull());
    EXPECT_EQ(progressive.size(), QSize(64, 48));
    const QImage progressiveCmyk = imaging::decodeJpeg(encodeForeign(40, 40, JCS_CMYK, 4, true));
    EXPECT_FALSE(progressiveCmyk.isNull());
}

TEST(JpegCodec, TooManyScansOrPixelsAreRefused)
{
    const std::vector<jpeg_scan_info> scans = manyScans();
    const QByteArray many = encodeForeign(32, 32, JCS_GRAYSCALE, 1, false, scans);
    ASSERT_TRUE(many.contains(QByteArray("\xFF\xC2", 2))); // really progressive
    EXPECT_TRUE(imaging::decodeJpeg(many).isNull());
    // Fewer scans of the same kind decode.
    const std::vector<jpeg_scan_info> fewer(scans.begin(), scans.begin() + 2);
    std::vector<jpeg_scan_info> allAtOnce = fewer;
    allAtOnce.push_back({ 1, { 0 }, 1, 63, 0, 0 });
    EXPECT_FALSE(
        imaging::decodeJpeg(encodeForeign(32, 32, JCS_GRAYSCALE, 1, false, allAtOnce)).isNull());

    // 20000 x 20000 in the frame header, with or without data behind it.
    for (const bool progressive : { false, true }) {
        QByteArray bytes = encodeForeign(16, 16, JCS_RGB, 3, progressive);
        const qsizetype sof = bytes.indexOf(QByteArray(progressive ? "\xFF\xC2" : "\xFF\xC0", 2));
        ASSERT_GE(sof, 0);
        for (const int at : { 5, 7 }) {
            bytes[sof + at] = char(20000 >> 8);
            bytes[sof + at + 1] = char(20000 & 0xff);
        }
        EXPECT_TRUE(imaging::decodeJpeg(bytes).isNull()) << progressive;
    }
}
