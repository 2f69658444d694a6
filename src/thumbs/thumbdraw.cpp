#include "thumbs/thumbdraw.h"

#include "thumbs/imagecache.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace thumbs {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kGray(128, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kLime(0, 255, 0);
constexpr int kCellMargin = 2;
constexpr int kCaptionLines = 2;
constexpr int kNoThumbTextDrop = 40;

int fontPointsOf(const QFont &font)
{
    return font.pointSize() > 0 ? font.pointSize() : 8;
}

// A one-pixel frame on the outermost pixels of the rectangle.
void frameRect(QPainter &painter, const QRect &r, const QColor &color)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

// Centred, word-wrapped, and cut with an ellipsis where the rectangle ends.
void drawWrapped(QPainter &painter, const QRect &rect, const QString &text, bool elide)
{
    const QFontMetrics metrics(painter.font());
    QTextLayout layout(text, painter.font());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int y = rect.top();
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(rect.width());
        const bool lastFitting = y + 2 * metrics.lineSpacing() > rect.bottom() + 1;
        const int start = line.textStart();
        QString piece = text.mid(start, line.textLength());
        if (elide && lastFitting && start + line.textLength() < text.size())
            piece = metrics.elidedText(text.mid(start), Qt::ElideRight, rect.width());
        painter.drawText(QRect(rect.left(), y, rect.width(), metrics.lineSpacing()),
            Qt::AlignHCenter | Qt::AlignTop, piece.trimmed());
        y += metrics.lineSpacing();
        if (lastFitting)
            break;
    }
    layout.endLayout();
}

} // namespace

QColor frameColorFor(const QString &caption)
{
    const QString ext = QFileInfo(caption).suffix().toUpper();
    if (ext == u"JPG" || ext == u"JPEG")
        return kYellow;
    if (ext == u"GIF")
        return kLime;
    return Qt::black;
}

QSize entryCellSize(int fontPoints, int lineHeight)
{
    return QSize(kThumbWidth + 2 * fontPoints + 2 * kCellMargin,
        kThumbHeight + fontPoints / 2 + 2 * kCellMargin + 4 + kCaptionLines * lineHeight + 2);
}

QRect pictureRectIn(const QRect &cell, int fontPoints)
{
    const QPoint icon = cell.topLeft() + QPoint(kCellMargin, kCellMargin);
    return QRect(icon + QPoint(fontPoints, fontPoints / 2), QSize(kThumbWidth, kThumbHeight));
}

void drawThumbEntry(
    QPainter &painter, const QRect &cell, const ThumbEntry &entry, const QFont &font)
{
    painter.save();
    painter.setFont(font);
    painter.fillRect(cell, entry.selected ? kNavy : kGray);
    const int points = fontPointsOf(font);
    const QRect picture = pictureRectIn(cell, points);
    const QColor frame = frameColorFor(entry.caption);
    painter.setPen(entry.selected ? Qt::white : Qt::black);
    if (!entry.picture.isNull()) {
        painter.drawImage(picture.topLeft(), entry.picture);
        frameRect(painter, picture.adjusted(-1, -1, 1, 1), frame);
    } else {
        frameRect(painter, picture, frame);
        drawWrapped(painter, picture.adjusted(0, kNoThumbTextDrop, 0, 0),
            QStringLiteral("--- No Thumbnail ---"), false);
    }
    frameRect(painter, cell, entry.selected ? kRed : kGray);
    frameRect(painter, cell.adjusted(1, 1, -1, -1), entry.selected ? kYellow : kGray);
    const QRect label(cell.left() + kCellMargin, picture.bottom() + 1 + 4,
        cell.width() - 2 * kCellMargin, cell.bottom() - kCellMargin - picture.bottom() - 4);
    drawWrapped(painter, label, entry.caption, true);
    painter.restore();
}

} // namespace thumbs
