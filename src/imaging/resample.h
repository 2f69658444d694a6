#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <string>
#include <vector>

namespace imaging {

// A reconstruction filter: zero beyond its support.
using FilterFunction = float (*)(float);

struct FilterEntry {
    const char *name;
    FilterFunction filter;
    float support;
};

// "Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell", in this order.
extern const std::array<FilterEntry, 7> FilterCatalog;
// The entry that thumbnails and snapshots are scaled with.
constexpr int kLanczos3 = 5;

struct Contributor {
    qint32 pixel;
    float weight;
};
using ContributorList = std::vector<Contributor>;

// For each of `destSize` positions along one axis, the source pixels that make it up and their
// weights, in the order of their unmirrored positions, zero weights left out. Edges are
// mirrored, and a pixel that is still outside the source after the mirror (sources narrower
// than the filter) is clamped into it. The weights are not normalised. Needs sourceSize >= 1,
// destSize >= 1, and destSize >= 2 when sourceSize >= 2 (one pixel from many would divide by
// zero).
std::vector<ContributorList> ContributorLists(
    int sourceSize, int destSize, FilterFunction filter, float support);

// Scales `source` to the size of `destination`, which the caller sets beforehand: first along
// the rows, then down the columns, each byte clamped to 0..255 and rounded half to even after
// each pass. The destination becomes a 24-bit picture (Format_RGB888) of that size. On failure
// it keeps its content, and `error` (when given) says why: "Source bitmap too small", a
// destination with no pixels, a destination one pixel wide or high from a larger source, or
// not enough memory.
bool ResampleBitmap(const QImage &source, QImage &destination, FilterFunction filter, float support,
    QString *error = nullptr);

// The instruction sets that the passes are built for and this processor runs, best first
// ("AVX2", "SSE4", ...; the last one is plain code). Tests use each of them in turn, to check
// that they all give the same bytes.
std::vector<std::string> vectorTargets();
// Makes the passes use the named one of vectorTargets(), or the best again for an empty
// name. Returns false, and changes nothing, for a name not in that list.
bool useVectorTarget(const std::string &name);

} // namespace imaging
