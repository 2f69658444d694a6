#include "imaging/imagediff.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace imaging {

namespace {

// The YIQ distance of pure black and pure white: thresholds are shares of it.
constexpr double kLargestDelta = 35215.0;
// Changed pixels are gathered per cell; cells that touch form one region.
constexpr int kCell = 16;
// Below this many rows a second thread costs more than it saves.
constexpr int kRowsPerThread = 256;

constexpr QRgb kChanged = qRgb(255, 0, 0);
constexpr QRgb kAntiAliased = qRgb(255, 255, 0);
constexpr QRgb kOutline = qRgb(0, 102, 255);

enum class Verdict { Same, AntiAliased, Changed };

double brightness(QRgb p)
{
    return qRed(p) * 0.29889531 + qGreen(p) * 0.58662247 + qBlue(p) * 0.11448223;
}

// Kotsarenko and Ramos' perceived colour difference in the YIQ space of NTSC.
double colourDelta(QRgb a, QRgb b)
{
    const double dr = qRed(a) - qRed(b);
    const double dg = qGreen(a) - qGreen(b);
    const double db = qBlue(a) - qBlue(b);
    const double y = dr * 0.29889531 + dg * 0.58662247 + db * 0.11448223;
    const double i = dr * 0.59597799 - dg * 0.27417610 - db * 0.32180189;
    const double q = dr * 0.21147017 - dg * 0.52261711 + db * 0.31114694;
    return 0.5053 * y * y + 0.299 * i * i + 0.1957 * q * q;
}

// One picture as opaque colours, seen only where both pictures have pixels.
class Picture {
public:
    Picture(const QImage &image, QSize overlap)
        : m_image(image.convertToFormat(QImage::Format_RGB32))
        , m_width(overlap.width())
        , m_height(overlap.height())
    {
    }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const QRgb *row(int y) const { return reinterpret_cast<const QRgb *>(m_image.constScanLine(y)); }
    QRgb at(int x, int y) const { return row(y)[x] | 0xff000000u; }

    // At least three of the eight neighbours have exactly this colour (an edge counts as one).
    bool hasManySiblings(int x, int y) const
    {
        const QRect around = neighbourhood(x, y);
        int same = onEdge(x, y) ? 1 : 0;
        const QRgb centre = at(x, y);
        for (int yy = around.top(); yy <= around.bottom(); ++yy)
            for (int xx = around.left(); xx <= around.right(); ++xx)
                if ((xx != x || yy != y) && at(xx, yy) == centre && ++same > 2)
                    return true;
        return false;
    }

    QRect neighbourhood(int x, int y) const
    {
        return QRect(QPoint(std::max(x - 1, 0), std::max(y - 1, 0)),
            QPoint(std::min(x + 1, m_width - 1), std::min(y + 1, m_height - 1)));
    }
    bool onEdge(int x, int y) const { return x == 0 || y == 0 || x == m_width - 1 || y == m_height - 1; }

private:
    QImage m_image;
    int m_width;
    int m_height;
};

// Vysniauskas' test: a pixel between a darkest and a brightest neighbour, with at most two
// neighbours of its own brightness, where that darkest or brightest neighbour lies in a flat
// area of both pictures, is an anti-aliased edge.
bool looksAntiAliased(const Picture &picture, int x, int y, const Picture &other)
{
    const QRect around = picture.neighbourhood(x, y);
    const double centre = brightness(picture.at(x, y));
    int level = picture.onEdge(x, y) ? 1 : 0;
    double darkest = 0;
    double brightest = 0;
    QPoint darkestAt;
    QPoint brightestAt;
    for (int yy = around.top(); yy <= around.bottom(); ++yy) {
        for (int xx = around.left(); xx <= around.right(); ++xx) {
            if (xx == x && yy == y)
                continue;
            const double delta = brightness(picture.at(xx, yy)) - centre;
            if (delta == 0) {
                if (++level > 2)
                    return false;
            } else if (delta < darkest) {
                darkest = delta;
                darkestAt = QPoint(xx, yy);
            } else if (delta > brightest) {
                brightest = delta;
                brightestAt = QPoint(xx, yy);
            }
        }
    }
    if (darkest == 0 || brightest == 0)
        return false;
    const auto flat = [&](QPoint p) {
        return picture.hasManySiblings(p.x(), p.y()) && other.hasManySiblings(p.x(), p.y());
    };
    return flat(darkestAt) || flat(brightestAt);
}

class Judge {
public:
    Judge(const QImage &before, const QImage &after, const DiffOptions &options)
        : overlap(before.size().boundedTo(after.size()))
        , m_before(before, overlap)
        , m_after(after, overlap)
        , m_largest(kLargestDelta * options.threshold * options.threshold)
        , m_ignoreAntiAliasing(options.ignoreAntiAliasing)
    {
    }

    bool rowsEqual(int y) const
    {
        return std::memcmp(m_before.row(y), m_after.row(y), size_t(overlap.width()) * sizeof(QRgb)) == 0;
    }

    Verdict operator()(int x, int y) const
    {
        const QRgb a = m_before.at(x, y);
        const QRgb b = m_after.at(x, y);
        if (a == b || colourDelta(a, b) <= m_largest)
            return Verdict::Same;
        if (m_ignoreAntiAliasing
            && (looksAntiAliased(m_before, x, y, m_after) || looksAntiAliased(m_after, x, y, m_before)))
            return Verdict::AntiAliased;
        return Verdict::Changed;
    }

    QRgb fadedAfter(int x, int y) const
    {
        const int grey = 255 - int((255 - brightness(m_after.at(x, y))) * 0.1 + 0.5);
        return qRgb(grey, grey, grey);
    }

    const QSize overlap;

private:
    Picture m_before;
    Picture m_after;
    double m_largest;
    bool m_ignoreAntiAliasing;
};

// The changed pixels' bounds per cell of the compared area.
class CellGrid {
public:
    explicit CellGrid(QSize size)
        : m_columns((size.width() + kCell - 1) / kCell)
        , m_rows((size.height() + kCell - 1) / kCell)
        , m_bounds(size_t(m_columns) * size_t(m_rows))
    {
    }

    void add(int x, int y) { add(QRect(x, y, 1, 1)); }
    void add(const QRect &rect)
    {
        for (int row = rect.top() / kCell; row <= rect.bottom() / kCell; ++row)
            for (int column = rect.left() / kCell; column <= rect.right() / kCell; ++column) {
                QRect &bounds = m_bounds[index(column, row)];
                const QRect cell(column * kCell, row * kCell, kCell, kCell);
                bounds |= rect & cell;
            }
    }

    // Cells that touch, corners included, make one region: the bounds of their pixels.
    QList<QRect> regions() const
    {
        QList<QRect> found;
        std::vector<char> seen(m_bounds.size(), 0);
        std::vector<QPoint> todo;
        for (int row = 0; row < m_rows; ++row)
            for (int column = 0; column < m_columns; ++column)
                if (!m_bounds[index(column, row)].isNull() && !seen[index(column, row)])
                    found << gather(QPoint(column, row), seen, todo);
        std::sort(found.begin(), found.end(), [](const QRect &a, const QRect &b) {
            return std::make_pair(a.top(), a.left()) < std::make_pair(b.top(), b.left());
        });
        return found;
    }

private:
    size_t index(int column, int row) const { return size_t(row) * size_t(m_columns) + size_t(column); }

    QRect gather(QPoint start, std::vector<char> &seen, std::vector<QPoint> &todo) const
    {
        QRect region;
        todo.assign(1, start);
        seen[index(start.x(), start.y())] = 1;
        while (!todo.empty()) {
            const QPoint cell = todo.back();
            todo.pop_back();
            region |= m_bounds[index(cell.x(), cell.y())];
            for (int row = std::max(cell.y() - 1, 0); row <= std::min(cell.y() + 1, m_rows - 1); ++row)
                for (int column = std::max(cell.x() - 1, 0); column <= std::min(cell.x() + 1, m_columns - 1); ++column)
                    if (!m_bounds[index(column, row)].isNull() && !seen[index(column, row)]) {
                        seen[index(column, row)] = 1;
                        todo.emplace_back(column, row);
                    }
        }
        return region;
    }

    int m_columns;
    int m_rows;
    std::vector<QRect> m_bounds;
};

struct Counts {
    qint64 changed = 0;
    qint64 antiAliased = 0;
};

// Rows [first, last) of the overlap. Bands start on cell rows, so no two share a cell.
Counts compareRows(const Judge &judge, int first, int last, CellGrid &cells)
{
    Counts counts;
    for (int y = first; y < last; ++y) {
        if (judge.rowsEqual(y))
            continue;
        for (int x = 0; x < judge.overlap.width(); ++x) {
            switch (judge(x, y)) {
            case Verdict::Same:
                break;
            case Verdict::AntiAliased:
                ++counts.antiAliased;
                break;
            case Verdict::Changed:
                ++counts.changed;
                cells.add(x, y);
                break;
            }
        }
    }
    return counts;
}

Counts compareOverlap(const Judge &judge, CellGrid &cells)
{
    const int height = judge.overlap.height();
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, std::max(height / kRowsPerThread, 1));
    const int cellRows = (height + kCell - 1) / kCell;
    const int bandRows = (cellRows + threads - 1) / threads * kCell;
    std::vector<Counts> counts { size_t(threads), Counts {} };
    std::vector<std::thread> workers;
    for (int band = 1; band < threads; ++band)
        workers.emplace_back([&, band] {
            counts[size_t(band)] = compareRows(judge, band * bandRows, std::min((band + 1) * bandRows, height), cells);
        });
    counts[0] = compareRows(judge, 0, std::min(bandRows, height), cells);
    for (std::thread &worker : workers)
        worker.join();
    Counts total;
    for (const Counts &band : counts) {
        total.changed += band.changed;
        total.antiAliased += band.antiAliased;
    }
    return total;
}

// The parts of the larger size outside the overlap: a strip on the right, one below.
QList<QRect> onlyInOne(QSize overlap, QSize whole)
{
    QList<QRect> parts;
    if (whole.width() > overlap.width() && overlap.height() > 0)
        parts << QRect(overlap.width(), 0, whole.width() - overlap.width(), overlap.height());
    if (whole.height() > overlap.height())
        parts << QRect(0, overlap.height(), whole.width(), whole.height() - overlap.height());
    return parts;
}

QRgb tinted(QRgb colour)
{
    return qRgb((qRed(colour) + 255) / 2, qGreen(colour) / 2, qBlue(colour) / 2);
}

void paintOnlyInOne(QImage &picture, const QImage &before, const QImage &after, QSize overlap)
{
    for (const QRect &part : onlyInOne(overlap, picture.size())) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = part.left(); x <= part.right(); ++x) {
                const QImage &source = after.rect().contains(x, y) ? after : before;
                line[x] = source.rect().contains(x, y) ? tinted(source.pixel(x, y)) : kChanged;
            }
        }
    }
}

} // namespace

double ImageDiff::changedPercent() const
{
    return comparedPixels > 0 ? 100.0 * double(changedPixels) / double(comparedPixels) : 0.0;
}

ImageDiff compareImages(const QImage &before, const QImage &after, const DiffOptions &options)
{
    ImageDiff diff;
    diff.before = before.size();
    diff.after = after.size();
    const QSize whole = before.size().expandedTo(after.size());
    diff.comparedPixels = qint64(whole.width()) * whole.height();
    if (whole.isEmpty())
        return diff;
    const Judge judge(before, after, options);
    CellGrid cells(whole);
    const Counts counts = compareOverlap(judge, cells);
    diff.changedPixels = counts.changed;
    diff.antiAliasedPixels = counts.antiAliased;
    for (const QRect &part : onlyInOne(judge.overlap, whole)) {
        diff.changedPixels += qint64(part.width()) * part.height();
        cells.add(part);
    }
    diff.regions = cells.regions();
    return diff;
}

QImage differencePicture(const QImage &before, const QImage &after, const ImageDiff &diff, const DiffOptions &options)
{
    const QSize whole = before.size().expandedTo(after.size());
    QImage picture(whole, QImage::Format_RGB32);
    if (whole.isEmpty())
        return picture;
    const Judge judge(before, after, options);
    for (int y = 0; y < judge.overlap.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const bool equal = judge.rowsEqual(y);
        for (int x = 0; x < judge.overlap.width(); ++x) {
            const Verdict verdict = equal ? Verdict::Same : judge(x, y);
            line[x] = verdict == Verdict::Changed ? kChanged
                : verdict == Verdict::AntiAliased ? kAntiAliased
                                                    : judge.fadedAfter(x, y);
        }
    }
    paintOnlyInOne(picture, before, after, judge.overlap);
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(kOutline), 2));
    for (const QRect &region : diff.regions)
        painter.drawRect(region.adjusted(-2, -2, 2, 2));
    return picture;
}

} // namespace imaging
