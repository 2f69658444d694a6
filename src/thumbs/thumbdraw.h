#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QFont;
class QPainter;

namespace thumbs {

// The look of one grid entry, drawn by hand: the cell, the picture (or the "no thumbnail"
// text) in a frame whose colour tells the file kind, the selection frames and the caption.
struct ThumbEntry {
    QString caption; // "3: index.htm"
    QImage picture; // null when the entry has no cached picture
    bool selected = false;
};

// Frame colours by the caption's extension: yellow for JPEG pictures, lime for GIF, else black.
QColor frameColorFor(const QString &caption);

// The cell size of every entry for a font of this point size.
QSize entryCellSize(int fontPoints, int lineHeight);
// Where the picture goes inside a cell.
QRect pictureRectIn(const QRect &cell, int fontPoints);

void drawThumbEntry(
    QPainter &painter, const QRect &cell, const ThumbEntry &entry, const QFont &font);

} // namespace thumbs
