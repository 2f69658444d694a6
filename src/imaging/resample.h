#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <vector>

namespace thumbs {

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

// The passes use the widest vectors that the processor offers; tests turn that off to check
// that the narrower ones give the same bytes. Returns the previous setting.
bool allowWideVectors(bool allow);

} // namespace thumbs
