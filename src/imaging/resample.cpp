#include "imaging/resample.h"

#include "imaging/resamplepasses.h"
#include "platform/failure.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace imaging {

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
        return platform::fail(error, refused);
    try {
        const bool direct
            = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_RGB888;
        const QImage pixels = direct ? source : source.convertToFormat(QImage::Format_RGB888);
        QImage result(destSize, QImage::Format_RGB888);
        if (pixels.isNull() || result.isNull())
            throw std::bad_alloc();
        RunResamplePasses(pixels,
            ContributorLists(source.width(), destSize.width(), filter, support),
            ContributorLists(source.height(), destSize.height(), filter, support), result);
        destination = result;
        return true;
    } catch (const std::bad_alloc &) {
        return platform::fail(error, QStringLiteral("Not enough memory to scale the bitmap"));
    }
}

} // namespace imaging
