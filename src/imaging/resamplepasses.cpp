// The resampler's two passes in portable vector code: Highway builds this file once for each
// instruction set that the processor may have, and the passes run with the best one at hand.
//
// Every sum below must add its terms one by one, in list order and in single precision, with a
// multiplication and an addition each (never a fused multiply-add), so that every vector width
// gives the bytes of a plain loop; the build also turns off contraction for this file.
#include "imaging/resamplepasses.h"

#include <algorithm>
#include <cstring>

// Vectors whose size is only known when the program runs cannot be held in arrays; those
// processors use their fixed-size instruction sets instead.
#define HWY_DISABLED_TARGETS (HWY_SVE | HWY_SVE2 | HWY_SVE_256 | HWY_SVE2_128 | HWY_RVV)
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/resamplepasses.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace imaging {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

namespace {

using Floats = hn::ScalableTag<float>;
using Lanes = hn::Vec<Floats>;
constexpr int N = int(hn::MaxLanes(Floats())); // floats to a vector

// Rows per block of the first pass; 16 keeps several sums in flight and suits the
// transposition of the source bytes.
constexpr int kRows = 16;
constexpr int kVectors = kRows / N; // per byte of a pixel
static_assert(kRows % N == 0, "a block's column must fill whole vectors");

// The widest vectors of any instruction set hold 16 floats; work rows are padded to that.
constexpr int kMaxLanes = 16;
static_assert(kMaxLanes % N == 0, "work rows must fill whole vectors");

// Which of the three bytes (red, green, blue) byte k of a 32-bit pixel is; -1 for the unused
// one.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr int kChannelOfByte32[4] = { 2, 1, 0, -1 };
#else
constexpr int kChannelOfByte32[4] = { -1, 0, 1, 2 };
#endif

// The work bitmap: rows of 3 x width bytes held as floats, each row padded to whole vectors.
struct WorkBitmap {
    qsizetype stride; // floats per row
    std::vector<float> data;

    WorkBitmap(int width, int height)
        : stride((3 * qsizetype(width) + kMaxLanes - 1) / kMaxLanes * kMaxLanes)
        , data(size_t(stride) * size_t(height), 0.0f)
    { }
    float *row(int y) { return data.data() + y * stride; }
    const float *row(int y) const { return data.data() + y * stride; }
};

// The byte a sum becomes, as a float: 0 below 0, 255 above 255, otherwise rounded half to
// even (adding and taking away 1.5 x 2^23 leaves the nearest integer in that rounding).
HWY_INLINE Lanes clampRound(Lanes sum)
{
    const Floats floats;
    const Lanes magic = hn::Set(floats, 12582912.0f);
    sum = hn::Max(hn::Min(sum, hn::Set(floats, 255.0f)), hn::Zero(floats));
    return hn::Sub(hn::Add(sum, magic), magic);
}

// Byte base + k of the 16 rows' lines (`column`, one byte a row), as floats, to the block.
// `Step` is the size of a source pixel: 3 bytes in the block's order, or 4 with one byte
// unused; base is a multiple of 4, so that the byte's place in its pixel is known from k alone.
template<int Step>
HWY_INLINE void storeColumn(qsizetype base, int k, const uint8_t *column, float *block)
{
    qsizetype b = base + k;
    if constexpr (Step == 4) {
        const int channel = kChannelOfByte32[k % 4];
        if (channel < 0)
            return;
        b = 3 * (base / 4 + k / 4) + channel;
    }
    const Floats floats;
    const hn::Rebind<int32_t, Floats> ints;
    const hn::Rebind<uint8_t, Floats> bytes;
    float *to = block + b * kRows;
    for (int v = 0; v < kVectors; ++v)
        hn::StoreU(hn::ConvertTo(floats, hn::PromoteTo(ints, hn::LoadU(bytes, column + v * N))),
            floats, to + v * N);
}

#if HWY_TARGET != HWY_SCALAR
using Bytes16 = hn::Full128<uint8_t>;

// Rows of 16 bytes become columns: four rounds of interleaving row i with row i + 8.
HWY_INLINE void transpose16(hn::Vec<Bytes16> rows[16])
{
    const Bytes16 bytes;
    for (int round = 0; round < 4; ++round) {
        hn::Vec<Bytes16> out[16];
        for (int i = 0; i < 8; ++i) {
            out[2 * i] = hn::InterleaveLower(bytes, rows[i], rows[i + 8]);
            out[2 * i + 1] = hn::InterleaveUpper(bytes, rows[i], rows[i + 8]);
        }
        for (int i = 0; i < 16; ++i)
            rows[i] = out[i];
    }
}

// Sixteen bytes of every row at a time, from byte q on; returns where it stopped.
template<int Step>
HWY_INLINE qsizetype loadSquares(const uint8_t *const lines[kRows], qsizetype lineBytes, float *block)
{
    const Bytes16 bytes;
    qsizetype q = 0;
    for (; q + 16 <= lineBytes; q += 16) {
        hn::Vec<Bytes16> square[kRows];
        for (int r = 0; r < kRows; ++r)
            square[r] = hn::LoadU(bytes, lines[r] + q);
        transpose16(square);
        HWY_ALIGN uint8_t columns[16][kRows];
        for (int k = 0; k < 16; ++k)
            hn::Store(square[k], bytes, columns[k]);
        for (int k = 0; k < 16; ++k)
            storeColumn<Step>(q, k, columns[k], block);
    }
    return q;
}
#else
template<int Step>
HWY_INLINE qsizetype loadSquares(const uint8_t *const[kRows], qsizetype, float *)
{
    return 0;
}
#endif

// The rows' lines as floats: byte b of the three bytes of a line's pixels goes to
// block[b * kRows + row].
template<int Step>
HWY_INLINE void loadRows(const uint8_t *const lines[kRows], int width, float *block)
{
    const qsizetype lineBytes = qsizetype(width) * Step;
    for (qsizetype q = loadSquares<Step>(lines, lineBytes, block); q < lineBytes; ++q) {
        uint8_t column[kRows];
        for (int r = 0; r < kRows; ++r)
            column[r] = lines[r][q];
        storeColumn<Step>(q & ~qsizetype(3), int(q & 3), column, block);
    }
}

// The 3 x kRows sums of one destination column over a block, clamped and rounded, byte by
// byte of the pixel, row by row.
HWY_INLINE void blockColumn(const ContributorList &list, const float *block, float *sums)
{
    const Floats floats;
    Lanes sum[3 * kVectors];
    for (int k = 0; k < 3 * kVectors; ++k)
        sum[k] = hn::Zero(floats);
    for (const Contributor &c : list) {
        const Lanes weight = hn::Set(floats, c.weight);
        const float *bytes = block + qsizetype(c.pixel) * 3 * kRows;
        for (int k = 0; k < 3 * kVectors; ++k)
            sum[k] = hn::Add(sum[k], hn::Mul(weight, hn::LoadU(floats, bytes + k * N)));
    }
    for (int k = 0; k < 3 * kVectors; ++k)
        hn::StoreU(clampRound(sum[k]), floats, sums + k * N);
}

// First pass: every row of the source along the column lists into the work bitmap, a block of
// rows at a time, since all rows share the lists.
void horizontal(const QImage &source, const std::vector<ContributorList> &columns, WorkBitmap &work)
{
    const bool wide = source.format() == QImage::Format_RGB32;
    std::vector<float> block(size_t(source.width()) * 3 * kRows);
    // Rows past the end of the last block read as zeros.
    const std::vector<uint8_t> zeros(size_t(source.width()) * 4);
    for (int y0 = 0; y0 < source.height(); y0 += kRows) {
        const int rows = std::min(kRows, source.height() - y0);
        const uint8_t *lines[kRows];
        for (int r = 0; r < kRows; ++r)
            lines[r] = r < rows ? source.constScanLine(y0 + r) : zeros.data();
        if (wide)
            loadRows<4>(lines, source.width(), block.data());
        else
            loadRows<3>(lines, source.width(), block.data());
        for (size_t i = 0; i < columns.size(); ++i) {
            float sums[3 * kRows];
            blockColumn(columns[i], block.data(), sums);
            for (int r = 0; r < rows; ++r) {
                float *to = work.row(y0 + r) + 3 * i;
                for (int ch = 0; ch < 3; ++ch)
                    to[ch] = sums[ch * kRows + r];
            }
        }
    }
}

// The clamped and rounded sums of a destination row as its bytes.
void storeBytes(const float *sum, int count, uint8_t *out)
{
    const Floats floats;
    const hn::Rebind<int32_t, Floats> ints;
    const hn::Rebind<uint8_t, Floats> bytes;
    for (int v = 0; v < count; v += N) {
        const auto values
            = hn::DemoteTo(bytes, hn::ConvertTo(ints, clampRound(hn::LoadU(floats, sum + v))));
        if (v + N <= count) {
            hn::StoreU(values, bytes, out + v);
        } else {
            uint8_t last[N];
            hn::StoreU(values, bytes, last);
            std::memcpy(out + v, last, size_t(count - v));
        }
    }
}

// Second pass: every destination row from the work rows of its list, across whole rows.
void vertical(const WorkBitmap &work, const std::vector<ContributorList> &rowLists, QImage &destination)
{
    const Floats floats;
    std::vector<float> sum(size_t(work.stride));
    for (int i = 0; i < destination.height(); ++i) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const Contributor &c : rowLists[size_t(i)]) {
            const Lanes weight = hn::Set(floats, c.weight);
            const float *line = work.row(c.pixel);
            for (qsizetype v = 0; v < work.stride; v += N)
                hn::StoreU(hn::Add(hn::LoadU(floats, sum.data() + v),
                               hn::Mul(weight, hn::LoadU(floats, line + v))),
                    floats, sum.data() + v);
        }
        storeBytes(sum.data(), 3 * destination.width(), destination.scanLine(i));
    }
}

} // namespace

void runPasses(const QImage &source, const std::vector<ContributorList> &columns,
    const std::vector<ContributorList> &rows, QImage &destination)
{
    WorkBitmap work(destination.width(), source.height());
    horizontal(source, columns, work);
    vertical(work, rows, destination);
}

} // namespace HWY_NAMESPACE
} // namespace imaging
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace imaging {

HWY_EXPORT(runPasses);

void RunResamplePasses(const QImage &source, const std::vector<ContributorList> &columns,
    const std::vector<ContributorList> &rows, QImage &destination)
{
    HWY_DYNAMIC_DISPATCH(runPasses)(source, columns, rows, destination);
}

namespace {

// The instruction sets left to the passes by useVectorTarget(); 0 for all.
int64_t &chosenTargets()
{
    static int64_t targets = 0;
    return targets;
}

} // namespace

std::vector<std::string> vectorTargets()
{
    hwy::SetSupportedTargetsForTest(0);
    std::vector<std::string> names;
    for (const int64_t target : hwy::SupportedAndGeneratedTargets())
        names.emplace_back(hwy::TargetName(target));
    hwy::SetSupportedTargetsForTest(chosenTargets());
    return names;
}

bool useVectorTarget(const std::string &name)
{
    hwy::SetSupportedTargetsForTest(0);
    int64_t chosen = name.empty() ? 0 : -1;
    for (const int64_t target : hwy::SupportedAndGeneratedTargets())
        if (name == hwy::TargetName(target))
            chosen = target;
    if (chosen >= 0)
        chosenTargets() = chosen;
    hwy::SetSupportedTargetsForTest(chosenTargets());
    return chosen >= 0;
}

} // namespace imaging
#endif
