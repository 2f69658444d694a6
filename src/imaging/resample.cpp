#include "imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

// Every sum below must add its terms one by one, in list order and in single precision, so
// that the vector passes give the bytes of a plain loop; the build turns off fused
// multiply-adds for this file.

namespace thumbs {

namespace {

float boxFilter(float x)
{
    return x > -0.5f && x <= 0.5f ? 1.0f : 0.0f;
}

float triangleFilter(float x)
{
    const float t = std::fabs(x);
    return t < 1.0f ? 1.0f - t : 0.0f;
}

float hermiteFilter(float x)
{
    const float t = std::fabs(x);
    return t < 1.0f ? (2.0f * t - 3.0f) * t * t + 1.0f : 0.0f;
}

float bellFilter(float x)
{
    const float t = std::fabs(x);
    if (t < 0.5f)
        return 0.75f - t * t;
    if (t < 1.5f) {
        const float u = t - 1.5f;
        return 0.5f * u * u;
    }
    return 0.0f;
}

float bSplineFilter(float x)
{
    const float t = std::fabs(x);
    if (t < 1.0f)
        return 0.5f * t * t * t - t * t + 2.0f / 3.0f;
    if (t < 2.0f) {
        const float u = 2.0f - t;
        return u * u * u / 6.0f;
    }
    return 0.0f;
}

float sinc(float x)
{
    if (x == 0.0f)
        return 1.0f;
    const float px = x * 3.14159265358979f;
    return std::sin(px) / px;
}

float lanczos3Filter(float x)
{
    const float t = std::fabs(x);
    return t < 3.0f ? sinc(t) * sinc(t / 3.0f) : 0.0f;
}

// Mitchell-Netravali with B = C = 1/3.
float mitchellFilter(float x)
{
    const float t = std::fabs(x);
    const float t2 = t * t;
    if (t < 1.0f)
        return (7.0f * t2 * t - 12.0f * t2 + 16.0f / 3.0f) / 6.0f;
    if (t < 2.0f)
        return (-7.0f / 3.0f * t2 * t + 12.0f * t2 - 20.0f * t + 32.0f / 3.0f) / 6.0f;
    return 0.0f;
}

// Beyond this a "filter" would only make the lists huge.
constexpr float kMaxSupport = 16.0f;

int mirrored(qint64 j, int size)
{
    qint64 k = j < 0 ? -j : (j >= size ? qint64(size) - j + size - 1 : j);
    return int(std::clamp<qint64>(k, 0, size - 1));
}

// Which of the three bytes (red, green, blue) byte k of a 32-bit pixel is; -1 for the unused
// one.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr int kChannelOfByte32[4] = { 2, 1, 0, -1 };
#else
constexpr int kChannelOfByte32[4] = { -1, 0, 1, 2 };
#endif

// The work bitmap: rows of 3 x width bytes held as floats, each row padded to whole vectors.
struct WorkBitmap {
    qsizetype stride; // floats per row, a multiple of every vector width
    std::vector<float> data;

    float *row(int y) { return data.data() + y * stride; }
    const float *row(int y) const { return data.data() + y * stride; }
};

constexpr int kMaxLanes = 8;

#define FS_INLINE __attribute__((always_inline)) inline

typedef float Lanes4 __attribute__((vector_size(4 * sizeof(float))));
typedef float Lanes8 __attribute__((vector_size(8 * sizeof(float))));
typedef uchar Bytes16 __attribute__((vector_size(16)));
typedef quint16 Shorts8 __attribute__((vector_size(16)));
typedef qint32 Ints4 __attribute__((vector_size(16)));
template<int N> struct LanesOf;
template<> struct LanesOf<4> {
    using type = Lanes4;
};
template<> struct LanesOf<8> {
    using type = Lanes8;
};

// The 16 bytes of a column as four groups of 32-bit integers, by interleaving with zeros
// (converting the bytes one by one would be several times slower).
FS_INLINE void widenBytes(const Bytes16 &column, Ints4 out[4])
{
    const Bytes16 zero = {};
    const Shorts8 zeroShorts = {};
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const Bytes16 lowBytes = { 0, 16, 1, 16, 2, 16, 3, 16, 4, 16, 5, 16, 6, 16, 7, 16 };
    const Bytes16 highBytes = { 8, 16, 9, 16, 10, 16, 11, 16, 12, 16, 13, 16, 14, 16, 15, 16 };
    const Shorts8 first = { 0, 8, 1, 8, 2, 8, 3, 8 };
    const Shorts8 second = { 4, 8, 5, 8, 6, 8, 7, 8 };
#else
    const Bytes16 lowBytes = { 16, 0, 16, 1, 16, 2, 16, 3, 16, 4, 16, 5, 16, 6, 16, 7 };
    const Bytes16 highBytes = { 16, 8, 16, 9, 16, 10, 16, 11, 16, 12, 16, 13, 16, 14, 16, 15 };
    const Shorts8 first = { 8, 0, 8, 1, 8, 2, 8, 3 };
    const Shorts8 second = { 8, 4, 8, 5, 8, 6, 8, 7 };
#endif
    const Shorts8 low = Shorts8(__builtin_shuffle(column, zero, lowBytes));
    const Shorts8 high = Shorts8(__builtin_shuffle(column, zero, highBytes));
    out[0] = Ints4(__builtin_shuffle(low, zeroShorts, first));
    out[1] = Ints4(__builtin_shuffle(low, zeroShorts, second));
    out[2] = Ints4(__builtin_shuffle(high, zeroShorts, first));
    out[3] = Ints4(__builtin_shuffle(high, zeroShorts, second));
}

FS_INLINE void widenColumn(const Bytes16 &column, Lanes4 out[4])
{
    Ints4 parts[4];
    widenBytes(column, parts);
    for (int k = 0; k < 4; ++k)
        out[k] = __builtin_convertvector(parts[k], Lanes4);
}

FS_INLINE void widenColumn(const Bytes16 &column, Lanes8 out[2])
{
    Ints4 parts[4];
    widenBytes(column, parts);
    out[0] = __builtin_convertvector(
        __builtin_shufflevector(parts[0], parts[1], 0, 1, 2, 3, 4, 5, 6, 7), Lanes8);
    out[1] = __builtin_convertvector(
        __builtin_shufflevector(parts[2], parts[3], 0, 1, 2, 3, 4, 5, 6, 7), Lanes8);
}

// Rows of 16 bytes become columns: four rounds of interleaving row i with row i + 8.
FS_INLINE void transpose16(Bytes16 rows[16])
{
    const Bytes16 low = { 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23 };
    const Bytes16 high = { 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31 };
    for (int round = 0; round < 4; ++round) {
        Bytes16 out[16];
        for (int i = 0; i < 8; ++i) {
            out[2 * i] = __builtin_shuffle(rows[i], rows[i + 8], low);
            out[2 * i + 1] = __builtin_shuffle(rows[i], rows[i + 8], high);
        }
        for (int i = 0; i < 16; ++i)
            rows[i] = out[i];
    }
}

// The two passes with N floats to a vector. Each sum gathers its terms one by one in list
// order, whatever N is, so every width gives the same bytes.
template<int N> struct Passes {
    using Lanes = typename LanesOf<N>::type;
    // Rows per block of the first pass; 16 keeps several sums in flight and suits the
    // transposition of the source bytes.
    static constexpr int kRows = 16;
    static constexpr int kVectors = kRows / N; // per byte of a pixel

    static FS_INLINE Lanes load(const float *from)
    {
        Lanes lanes;
        std::memcpy(&lanes, from, sizeof(lanes));
        return lanes;
    }

    static FS_INLINE void store(float *to, const Lanes &lanes)
    {
        std::memcpy(to, &lanes, sizeof(lanes));
    }

    // The byte a sum becomes, as a float: 0 below 0, 255 above 255, otherwise rounded half to
    // even (adding and taking away 1.5 x 2^23 leaves the nearest integer in that rounding).
    static FS_INLINE void clampRound(Lanes &sum)
    {
        const Lanes zero = {};
        const Lanes top = zero + 255.0f;
        const Lanes magic = zero + 12582912.0f;
        sum = sum > top ? top : sum;
        sum = sum < zero ? zero : sum;
        sum = (sum + magic) - magic;
    }

    // Byte base + k of the 16 rows' lines, as floats, to the block. `Step` is the size of a
    // source pixel: 3 bytes in the block's order, or 4 with one byte unused; base is a
    // multiple of 4, so that the byte's place in its pixel is known from k alone.
    template<int Step>
    static FS_INLINE void storeColumn(qsizetype base, int k, const Bytes16 &column, float *block)
    {
        qsizetype b = base + k;
        if constexpr (Step == 4) {
            const int channel = kChannelOfByte32[k % 4];
            if (channel < 0)
                return;
            b = 3 * (base / 4 + k / 4) + channel;
        }
        Lanes lanes[kVectors];
        widenColumn(column, lanes);
        for (int v = 0; v < kVectors; ++v)
            store(block + b * kRows + v * N, lanes[v]);
    }

    // The rows' lines as floats: byte b of the three bytes of a line's pixels goes to
    // block[b * kRows + row], sixteen bytes of every row at a time.
    template<int Step>
    static FS_INLINE void loadRows(const uchar *const lines[kRows], int width, float *block)
    {
        const qsizetype lineBytes = qsizetype(width) * Step;
        qsizetype q = 0;
        for (; q + 16 <= lineBytes; q += 16) {
            Bytes16 square[kRows];
            for (int r = 0; r < kRows; ++r)
                std::memcpy(&square[r], lines[r] + q, 16);
            transpose16(square);
            for (int k = 0; k < 16; ++k)
                storeColumn<Step>(q, k, square[k], block);
        }
        for (; q < lineBytes; ++q) {
            Bytes16 column;
            for (int r = 0; r < kRows; ++r)
                column[r] = lines[r][q];
            storeColumn<Step>(q & ~qsizetype(3), int(q & 3), column, block);
        }
    }

    // First pass: every row of the source along the column lists into the work bitmap, a
    // block of rows at a time, since all rows share the lists.
    static FS_INLINE void horizontal(
        const QImage &source, const std::vector<ContributorList> &columns, WorkBitmap &work)
    {
        const bool wide = source.format() == QImage::Format_RGB32;
        std::vector<float> block(size_t(source.width()) * 3 * kRows);
        // Rows past the end of the last block read as zeros.
        const std::vector<uchar> zeros(size_t(source.width()) * 4);
        for (int y0 = 0; y0 < source.height(); y0 += kRows) {
            const int rows = std::min(kRows, source.height() - y0);
            const uchar *lines[kRows];
            for (int r = 0; r < kRows; ++r)
                lines[r] = r < rows ? source.constScanLine(y0 + r) : zeros.data();
            if (wide)
                loadRows<4>(lines, source.width(), block.data());
            else
                loadRows<3>(lines, source.width(), block.data());
            for (size_t i = 0; i < columns.size(); ++i) {
                Lanes sum[3 * kVectors] = {};
                for (const Contributor &c : columns[i]) {
                    const float *bytes = block.data() + qsizetype(c.pixel) * 3 * kRows;
                    for (int k = 0; k < 3 * kVectors; ++k)
                        sum[k] += c.weight * load(bytes + k * N);
                }
                for (int k = 0; k < 3 * kVectors; ++k)
                    clampRound(sum[k]);
                for (int r = 0; r < rows; ++r) {
                    float *to = work.row(y0 + r) + 3 * i;
                    for (int ch = 0; ch < 3; ++ch)
                        to[ch] = sum[ch * kVectors + r / N][r % N];
                }
            }
        }
    }

    // Second pass: every destination row from the work rows of its list, across whole rows.
    static FS_INLINE void vertical(
        const WorkBitmap &work, const std::vector<ContributorList> &rowLists, QImage &destination)
    {
        const int bytes = 3 * destination.width();
        std::vector<float> sum(size_t(work.stride));
        for (int i = 0; i < destination.height(); ++i) {
            std::fill(sum.begin(), sum.end(), 0.0f);
            for (const Contributor &c : rowLists[size_t(i)]) {
                const float *line = work.row(c.pixel);
                for (qsizetype v = 0; v < work.stride; v += N)
                    store(sum.data() + v, load(sum.data() + v) + c.weight * load(line + v));
            }
            uchar *out = destination.scanLine(i);
            for (int v = 0; v < bytes; v += N) {
                Lanes value = load(sum.data() + v);
                clampRound(value);
                const int count = std::min(N, bytes - v);
                for (int lane = 0; lane < count; ++lane)
                    out[v + lane] = uchar(value[lane]);
            }
        }
    }
};

void portablePasses(const QImage &source, const std::vector<ContributorList> &columns,
    const std::vector<ContributorList> &rowLists, WorkBitmap &work, QImage &destination)
{
    Passes<4>::horizontal(source, columns, work);
    Passes<4>::vertical(work, rowLists, destination);
}

#if defined(__x86_64__) || defined(__i386__)
#define FS_WIDE_LANES 1
// Eight floats to a vector where the processor has them, chosen when the program runs.
__attribute__((target("avx2"))) void widePasses(const QImage &source,
    const std::vector<ContributorList> &columns, const std::vector<ContributorList> &rowLists,
    WorkBitmap &work, QImage &destination)
{
    Passes<8>::horizontal(source, columns, work);
    Passes<8>::vertical(work, rowLists, destination);
}
#endif

bool &wideLanesAllowed()
{
    static bool allowed = true;
    return allowed;
}

void runPasses(const QImage &source, const std::vector<ContributorList> &columns,
    const std::vector<ContributorList> &rowLists, WorkBitmap &work, QImage &destination)
{
#ifdef FS_WIDE_LANES
    if (wideLanesAllowed() && __builtin_cpu_supports("avx2")) {
        widePasses(source, columns, rowLists, work, destination);
        return;
    }
#endif
    portablePasses(source, columns, rowLists, work, destination);
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Why a scale of source to destination cannot be done, or empty.
QString refusal(const QSize &source, const QSize &destination, FilterFunction filter, float support)
{
    if (source.width() < 1 || source.height() < 1)
        return QStringLiteral("Source bitmap too small");
    if (destination.width() < 1 || destination.height() < 1)
        return QStringLiteral("Destination bitmap too small");
    if ((destination.width() == 1 && source.width() > 1)
        || (destination.height() == 1 && source.height() > 1))
        return QStringLiteral("Cannot scale %1 x %2 pixels to %3 x %4: a destination one pixel "
                              "wide or high needs a source of that width or height")
            .arg(source.width())
            .arg(source.height())
            .arg(destination.width())
            .arg(destination.height());
    if (!filter || !(support > 0.0f && support <= kMaxSupport))
        return QStringLiteral("Invalid resampling filter");
    return {};
}

} // namespace

bool allowWideVectors(bool allow)
{
    const bool before = wideLanesAllowed();
    wideLanesAllowed() = allow;
    return before;
}

const std::array<FilterEntry, 7> FilterCatalog = { {
    { "Box", boxFilter, 0.5f },
    { "Triangle", triangleFilter, 1.0f },
    { "Hermite", hermiteFilter, 1.0f },
    { "Bell", bellFilter, 1.5f },
    { "B-Spline", bSplineFilter, 2.0f },
    { "Lanczos3", lanczos3Filter, 3.0f },
    { "Mitchell", mitchellFilter, 2.0f },
} };

std::vector<ContributorList> ContributorLists(
    int sourceSize, int destSize, FilterFunction filter, float support)
{
    // Corner pixels are aligned, not pixel edges.
    const float scale = sourceSize == 1 ? float(destSize) / float(sourceSize)
                                        : float(destSize - 1) / float(sourceSize - 1);
    const bool shrinking = scale < 1.0f;
    const float width = shrinking ? support / scale : support;
    const float fscale = shrinking ? 1.0f / scale : 1.0f;
    std::vector<ContributorList> lists(size_t(std::max(destSize, 0)));
    for (int i = 0; i < destSize; ++i) {
        ContributorList &list = lists[size_t(i)];
        list.reserve(size_t(2.0f * width + 1.0f) + 2);
        const float centre = float(i) / scale;
        const qint64 left = qint64(std::floor(centre - width));
        const qint64 right = qint64(std::ceil(centre + width));
        for (qint64 j = left; j <= right; ++j) {
            const float weight = shrinking ? filter((centre - float(j)) / fscale) / fscale
                                           : filter(centre - float(j));
            if (weight != 0.0f)
                list.push_back({ mirrored(j, sourceSize), weight });
        }
    }
    return lists;
}

bool ResampleBitmap(
    const QImage &source, QImage &destination, FilterFunction filter, float support, QString *error)
{
    const QSize destSize = destination.size();
    const QString refused
        = refusal(source.isNull() ? QSize() : source.size(), destSize, filter, support);
    if (!refused.isEmpty())
        return fail(error, refused);
    try {
        const bool direct
            = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_RGB888;
        const QImage pixels = direct ? source : source.convertToFormat(QImage::Format_RGB888);
        QImage result(destSize, QImage::Format_RGB888);
        if (pixels.isNull() || result.isNull())
            throw std::bad_alloc();
        WorkBitmap work;
        work.stride = (3 * qsizetype(destSize.width()) + kMaxLanes - 1) / kMaxLanes * kMaxLanes;
        work.data.assign(size_t(work.stride) * size_t(source.height()), 0.0f);
        runPasses(pixels, ContributorLists(source.width(), destSize.width(), filter, support),
            ContributorLists(source.height(), destSize.height(), filter, support), work, result);
        destination = result;
        return true;
    } catch (const std::bad_alloc &) {
        return fail(error, QStringLiteral("Not enough memory to scale the bitmap"));
    }
}

} // namespace thumbs
