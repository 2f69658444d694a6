#include "imaging/resample.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>

using imaging::Contributor;
using imaging::ContributorList;
using imaging::FilterCatalog;

namespace {

const imaging::FilterEntry &filterNamed(const char *name)
{
    for (const imaging::FilterEntry &entry : FilterCatalog)
        if (qstrcmp(entry.name, name) == 0)
            return entry;
    ADD_FAILURE() << "no filter " << name;
    return FilterCatalog[0];
}

QImage randomPicture(int width, int height, quint32 seed, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xff000000u | random.bounded(0x1000000u));
    return image.convertToFormat(format);
}

uchar toByte(float sum, int *clamped)
{
    if (sum > 255.0f || sum < 0.0f) {
        ++*clamped;
        return sum > 255.0f ? 255 : 0;
    }
    return uchar(std::nearbyint(sum));
}

// The two passes as plain loops, one byte of one pixel at a time; `clamped` counts the sums
// that fell outside 0..255.
QImage scalarResample(
    const QImage &source, QSize size, const imaging::FilterEntry &filter, int *clamped)
{
    const QImage pixels = source.convertToFormat(QImage::Format_RGB888);
    const int sw = pixels.width();
    const int sh = pixels.height();
    const auto columns = imaging::ContributorLists(sw, size.width(), filter.filter, filter.support);
    const auto rows = imaging::ContributorLists(sh, size.height(), filter.filter, filter.support);
    QImage work(size.width(), sh, QImage::Format_RGB888);
    for (int y = 0; y < sh; ++y)
        for (int i = 0; i < size.width(); ++i)
            for (int ch = 0; ch < 3; ++ch) {
                float sum = 0.0f;
                for (const Contributor &c : columns[size_t(i)])
                    sum += c.weight * float(pixels.constScanLine(y)[3 * c.pixel + ch]);
                work.scanLine(y)[3 * i + ch] = toByte(sum, clamped);
            }
    QImage result(size, QImage::Format_RGB888);
    for (int x = 0; x < size.width(); ++x)
        for (int i = 0; i < size.height(); ++i)
            for (int ch = 0; ch < 3; ++ch) {
                float sum = 0.0f;
                for (const Contributor &c : rows[size_t(i)])
                    sum += c.weight * float(work.constScanLine(c.pixel)[3 * x + ch]);
                result.scanLine(i)[3 * x + ch] = toByte(sum, clamped);
            }
    return result;
}

// Equal bytes row by row (the padding at the end of each line does not count).
bool sameBytes(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const qsizetype used = qsizetype(a.width()) * a.depth() / 8;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(used)) != 0)
            return false;
    return true;
}

QImage resampled(const QImage &source, QSize size, const imaging::FilterEntry &filter)
{
    QImage destination(size, QImage::Format_RGB32);
    QString error;
    EXPECT_TRUE(imaging::ResampleBitmap(source, destination, filter.filter, filter.support, &error))
        << error.toStdString();
    return destination;
}

// Makes the passes use one instruction set, and the best one again at the end.
struct VectorTarget {
    explicit VectorTarget(const std::string &name)
    {
        EXPECT_TRUE(imaging::useVectorTarget(name)) << name;
    }
    ~VectorTarget() { imaging::useVectorTarget({}); }
};

} // namespace

TEST(Resample, CatalogueValues)
{
    const char *names[]
        = { "Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell" };
    const float supports[] = { 0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f };
    for (size_t i = 0; i < FilterCatalog.size(); ++i) {
        EXPECT_STREQ(FilterCatalog[i].name, names[i]);
        EXPECT_EQ(FilterCatalog[i].support, supports[i]) << names[i];
    }
    EXPECT_STREQ(FilterCatalog[imaging::kLanczos3].name, "Lanczos3");

    struct Row {
        const char *filter;
        float x;
        float expected;
    };
    const Row rows[] = {
        { "Box", 0.0f, 1.0f },
        { "Box", 0.5f, 1.0f },
        { "Box", -0.5f, 0.0f },
        { "Box", 0.51f, 0.0f },
        { "Triangle", 0.25f, 0.75f },
        { "Triangle", -0.25f, 0.75f },
        { "Triangle", 1.0f, 0.0f },
        { "Hermite", 0.5f, 0.5f },
        { "Hermite", 0.0f, 1.0f },
        { "Hermite", 1.0f, 0.0f },
        { "Bell", 0.0f, 0.75f },
        { "Bell", 1.0f, 0.125f },
        { "Bell", -1.0f, 0.125f },
        { "Bell", 1.5f, 0.0f },
        { "B-Spline", 0.0f, 2.0f / 3.0f },
        { "B-Spline", 1.0f, 1.0f / 6.0f },
        { "B-Spline", 2.0f, 0.0f },
        { "Lanczos3", 0.0f, 1.0f },
        { "Lanczos3", 0.5f, 0.6079271f },
        { "Lanczos3", -1.5f, -0.1350949f },
        { "Lanczos3", 3.0f, 0.0f },
        { "Mitchell", 0.0f, 8.0f / 9.0f },
        { "Mitchell", 1.0f, 1.0f / 18.0f },
        { "Mitchell", 2.0f, 0.0f },
    };
    for (const Row &row : rows) {
        const float value = filterNamed(row.filter).filter(row.x);
        EXPECT_NEAR(value, row.expected, 1e-6) << row.filter << " at " << row.x;
        if (row.expected == 0.0f) {
            EXPECT_EQ(value, 0.0f) << row.filter << " at " << row.x << " is exactly zero";
        }
    }
    // The zeros of Lanczos3 at whole distances are zero up to rounding only.
    EXPECT_NEAR(filterNamed("Lanczos3").filter(1.0f), 0.0f, 1e-6);
    EXPECT_NEAR(filterNamed("Lanczos3").filter(2.0f), 0.0f, 1e-6);
}

TEST(Resample, ContributorListsWorkedByHand)
{
    using List = std::vector<std::pair<int, float>>;
    struct Row {
        const char *name;
        const char *filter;
        int source;
        int dest;
        std::vector<List> expected;
    };
    const Row rows[] = {
        { "equal size: the pixel itself", "Triangle", 3, 3,
            { { { 0, 1.0f } }, { { 1, 1.0f } }, { { 2, 1.0f } } } },
        { "enlarging 2 to 3 (corners aligned)", "Triangle", 2, 3,
            { { { 0, 1.0f } }, { { 0, 0.5f }, { 1, 0.5f } }, { { 1, 1.0f } } } },
        // scale 0.5: width 2, weights f(d / 2) / 2; the left edge mirrors -1 to 1, the right
        // edge mirrors 5 to 4.
        { "shrinking 5 to 3, mirrored at both edges", "Triangle", 5, 3,
            { { { 1, 0.25f }, { 0, 0.5f }, { 1, 0.25f } },
                { { 1, 0.25f }, { 2, 0.5f }, { 3, 0.25f } },
                { { 3, 0.25f }, { 4, 0.5f }, { 4, 0.25f } } } },
        { "one source pixel", "Box", 1, 3, { { { 0, 1.0f } }, { { 0, 1.0f } }, { { 0, 1.0f } } } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const imaging::FilterEntry &filter = filterNamed(row.filter);
        const auto lists
            = imaging::ContributorLists(row.source, row.dest, filter.filter, filter.support);
        ASSERT_EQ(lists.size(), row.expected.size());
        for (size_t i = 0; i < lists.size(); ++i) {
            ASSERT_EQ(lists[i].size(), row.expected[i].size()) << "position " << i;
            for (size_t k = 0; k < lists[i].size(); ++k) {
                EXPECT_EQ(lists[i][k].pixel, row.expected[i][k].first) << i << "/" << k;
                EXPECT_FLOAT_EQ(lists[i][k].weight, row.expected[i][k].second) << i << "/" << k;
            }
        }
    }
}

// Sources narrower than the filter reach past the mirror: every index still lies in the
// source, and no list is longer than trunc(2 x width + 1).
TEST(Resample, ContributorsStayInsideTinySources)
{
    for (const imaging::FilterEntry &filter : FilterCatalog) {
        for (const auto &[source, dest] : std::vector<std::pair<int, int>> { { 1, 1 }, { 1, 7 },
                 { 2, 2 }, { 2, 9 }, { 3, 130 }, { 20000, 100 }, { 640, 130 }, { 7, 2 } }) {
            const auto lists
                = imaging::ContributorLists(source, dest, filter.filter, filter.support);
            const float scale = source == 1 ? float(dest) : float(dest - 1) / float(source - 1);
            const float width = scale < 1.0f ? filter.support / scale : filter.support;
            for (const ContributorList &list : lists) {
                EXPECT_LE(list.size(), size_t(2.0f * width + 1.0f))
                    << filter.name << " " << source << " -> " << dest;
                for (const Contributor &c : list) {
                    ASSERT_GE(c.pixel, 0) << filter.name << " " << source << " -> " << dest;
                    ASSERT_LT(c.pixel, source) << filter.name << " " << source << " -> " << dest;
                    EXPECT_NE(c.weight, 0.0f);
                }
            }
        }
    }
}

TEST(Resample, EqualSizeKeepsEveryByte)
{
    const QImage source = randomPicture(37, 29, 7, QImage::Format_RGB888);
    for (const char *name : { "Box", "Triangle", "Hermite", "Lanczos3" }) {
        const QImage result = resampled(source, source.size(), filterNamed(name));
        EXPECT_TRUE(sameBytes(result, source)) << name;
    }
    // The smoothing filters do change it.
    EXPECT_FALSE(sameBytes(resampled(source, source.size(), filterNamed("Bell")), source));
}

// The vector passes against the plain loops: the same bytes for every filter, shrinking and
// enlarging, odd sizes (partial vectors and blocks), both source formats, every instruction
// set that the processor runs (plain code among them).
TEST(Resample, VectorPassesGiveTheBytesOfPlainLoops)
{
    const QSize cases[][2] = {
        { { 160, 120 }, { 130, 100 } },
        { { 17, 23 }, { 5, 40 } },
        { { 40, 3 }, { 97, 11 } },
        { { 1, 1 }, { 3, 2 } },
        { { 2, 2 }, { 9, 5 } },
        { { 3, 200 }, { 13, 7 } },
        { { 45, 33 }, { 45, 33 } },
        { { 64, 48 }, { 120, 90 } },
    };
    quint32 seed = 1;
    const std::vector<std::string> targets = imaging::vectorTargets();
    ASSERT_FALSE(targets.empty());
    for (const std::string &target : targets) {
        const VectorTarget vectors(target);
        for (const auto &sizes : cases) {
            for (const QImage::Format format : { QImage::Format_RGB32, QImage::Format_RGB888 }) {
                const QImage source
                    = randomPicture(sizes[0].width(), sizes[0].height(), ++seed, format);
                for (const imaging::FilterEntry &filter : FilterCatalog) {
                    int clamped = 0;
                    const QImage expected = scalarResample(source, sizes[1], filter, &clamped);
                    EXPECT_TRUE(sameBytes(resampled(source, sizes[1], filter), expected))
                        << filter.name << " " << sizes[0].width() << "x" << sizes[0].height()
                        << " -> " << sizes[1].width() << "x" << sizes[1].height()
                        << " " << target << " format " << int(format);
                }
            }
        }
    }
}

// Hard black and white edges drive Lanczos3 and Mitchell past 0 and 255.
TEST(Resample, SumsOutsideTheByteRangeAreClamped)
{
    QImage stripes(48, 8, QImage::Format_RGB888);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, (x / 4) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    for (const char *name : { "Lanczos3", "Mitchell" }) {
        int clamped = 0;
        const QImage expected = scalarResample(stripes, { 100, 8 }, filterNamed(name), &clamped);
        EXPECT_GT(clamped, 0) << name;
        EXPECT_TRUE(sameBytes(resampled(stripes, { 100, 8 }, filterNamed(name)), expected)) << name;
    }
}

TEST(Resample, RefusalsLeaveTheDestination)
{
    struct Row {
        const char *name;
        QSize source;
        QSize dest;
        float support;
        const char *error;
    };
    const Row rows[] = {
        { "no source pixels", { 0, 0 }, { 130, 100 }, 3.0f, "Source bitmap too small" },
        { "one pixel wide from wider", { 640, 480 }, { 1, 100 }, 3.0f, "one pixel wide or high" },
        { "one pixel high from higher", { 640, 480 }, { 130, 1 }, 3.0f, "one pixel wide or high" },
        { "one pixel from two", { 2, 2 }, { 1, 1 }, 3.0f, "one pixel wide or high" },
        { "no destination pixels", { 640, 480 }, { 0, 0 }, 3.0f, "Destination bitmap too small" },
        { "no support", { 4, 4 }, { 2, 2 }, 0.0f, "Invalid resampling filter" },
        { "no-number support", { 4, 4 }, { 2, 2 }, std::nanf(""), "Invalid resampling filter" },
    };
    const imaging::FilterEntry &lanczos = FilterCatalog[imaging::kLanczos3];
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QImage source = row.source.isEmpty()
            ? QImage()
            : randomPicture(row.source.width(), row.source.height(), 3, QImage::Format_RGB32);
        QImage destination(row.dest, QImage::Format_RGB32);
        if (!destination.isNull())
            destination.fill(Qt::red);
        const QImage before = destination;
        QString error;
        EXPECT_FALSE(
            imaging::ResampleBitmap(source, destination, lanczos.filter, row.support, &error));
        EXPECT_TRUE(error.contains(QLatin1String(row.error))) << error.toStdString();
        EXPECT_EQ(destination, before);
    }
}

TEST(Resample, TinyAndThinSourcesScale)
{
    struct Row {
        QSize source;
        QSize dest;
    };
    const Row rows[] = {
        { { 1, 1 }, { 130, 100 } },
        { { 1, 1 }, { 1, 1 } },
        { { 2, 2 }, { 130, 100 } },
        { { 3, 20000 }, { 130, 100 } },
        { { 1, 5 }, { 1, 2 } },
    };
    for (const Row &row : rows) {
        const QImage source
            = randomPicture(row.source.width(), row.source.height(), 11, QImage::Format_RGB32);
        QImage destination(row.dest, QImage::Format_RGB32);
        const imaging::FilterEntry &lanczos = FilterCatalog[imaging::kLanczos3];
        QString error;
        ASSERT_TRUE(
            imaging::ResampleBitmap(source, destination, lanczos.filter, lanczos.support, &error))
            << error.toStdString();
        EXPECT_EQ(destination.size(), row.dest);
        EXPECT_EQ(destination.format(), QImage::Format_RGB888);
    }
    // One source pixel: every destination pixel is made of that pixel alone.
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(qRgb(10, 120, 250));
    EXPECT_EQ(resampled(one, { 5, 4 }, filterNamed("Box")).pixel(4, 3), qRgb(10, 120, 250));
}
