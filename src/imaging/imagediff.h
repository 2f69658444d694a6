#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>

namespace imaging {

struct DiffOptions {
    // 0 to 1: the colour distance in YIQ space (as a share of the largest) below which two
    // pixels count as the same. 0.1 keeps text edges that were drawn again apart from
    // changes a reader sees.
    double threshold = 0.1;
    // Pixels that look like anti-aliasing in either picture never count as changed.
    bool ignoreAntiAliasing = true;
};

struct ImageDiff {
    QSize before;
    QSize after;
    qint64 changedPixels = 0;   // rows only one picture has count whole
    qint64 antiAliasedPixels = 0;
    qint64 comparedPixels = 0;  // the larger width times the larger height
    QList<QRect> regions;       // changed pixels grouped, top to bottom

    bool sizeChanged() const { return before != after; }
    bool changed() const { return sizeChanged() || !regions.isEmpty(); }
    // The changed share of the compared pixels, 0 to 100.
    double changedPercent() const;
};

// Compares two renders of one page pixel by pixel: a perceptual colour distance with a
// threshold, anti-aliased pixels left out, and changed pixels grouped into rectangles (pixels
// closer than a few tens of pixels fall into one). Where the sizes differ, the part only one
// picture has counts as changed. Both pictures are read as opaque colours.
ImageDiff compareImages(const QImage &before, const QImage &after, const DiffOptions &options = {});

// The picture of a comparison: the new render greyed and faded, changed pixels red,
// anti-aliased differences yellow, each region outlined. As large as the larger picture.
QImage differencePicture(
    const QImage &before, const QImage &after, const ImageDiff &diff, const DiffOptions &options = {});

} // namespace imaging
