#include "snapshot/snapshotjob.h"

#include "platform/dialogs.h"
#include "platform/pathrules.h"

#include <QFileInfo>
#include <QPainter>

namespace snapshot {

namespace {

constexpr int kMinimumSide = 10;
constexpr int kMaximumWidth = 2000;
constexpr int kMaximumHeight = 3000;
constexpr int kMinimumScale = 5;
constexpr int kMaximumScale = 100;
constexpr int kMaximumFrame = 30;

bool fail(const QString &message)
{
    platform::dialogs().ShowInfo(message);
    return false;
}

// The typed text as a number; on failure the text followed by `suffix` is shown.
bool convert(const QString &text, const QString &suffix, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok || fail(text + suffix);
}

// Shade and border come from up-downs that keep them in 0..30; other callers (the batch tool)
// could pass anything, and a frame hundreds of pixels wide makes no sense.
bool convertFrameWidth(const QString &text, const QString &suffix, int *value)
{
    return convert(text, suffix, value)
        && ((*value >= 0 && *value <= kMaximumFrame) || fail(text + suffix));
}

bool testBaseSize(const SnapshotEntries &entries, frame::Settings &settings)
{
    int width = 0;
    int height = 0;
    if (!convert(entries.width, QStringLiteral(" is not a valid width!"), &width)
        || !convert(entries.height, QStringLiteral(" is not a valid height!"), &height))
        return false;
    if (width < kMinimumSide || height < kMinimumSide)
        return fail(QStringLiteral("Minimum size is 10x10 pixels!"));
    if (width > kMaximumWidth || height > kMaximumHeight)
        return fail(QStringLiteral("Maximum size is 2000x3000 pixels!"));
    settings.customWidth = width;
    settings.customHeight = height;
    return true;
}

void fillRect(QPainter &painter, const QRect &rect, int color)
{
    if (rect.isValid())
        painter.fillRect(rect, colorFromValue(color));
}

// One-pixel frame on the outline of rect.
void frameRect(QPainter &painter, const QRect &rect, const QColor &color)
{
    if (!rect.isValid())
        return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
}

} // namespace

SnapshotEntries entriesFromSettings(const frame::Settings &settings)
{
    SnapshotEntries entries;
    entries.width = QString::number(settings.customWidth);
    entries.height = QString::number(settings.customHeight);
    entries.scale = QString::number(settings.scale);
    entries.shade = QString::number(settings.shade);
    entries.border = QString::number(settings.border);
    entries.cropVerti = settings.cropVertical;
    entries.cropHori = settings.cropHorizontal;
    entries.bgCol = settings.backgroundColor;
    entries.shadeCol = settings.shadeColor;
    entries.borderCol = settings.borderColor;
    return entries;
}

bool testInput(const SnapshotEntries &entries, frame::Settings &settings, SnapshotJob &job)
{
    job.customSize = entries.customSize;
    if (entries.customSize && !testBaseSize(entries, settings))
        return false;
    const int baseWidth = entries.customSize ? settings.customWidth : job.browserWidth;
    const int baseHeight = entries.customSize ? settings.customHeight : job.browserHeight;

    int scale = 0;
    const QString scaleError = QStringLiteral(" is not a valid scaling factor: (5-100%)!");
    if (!convert(entries.scale, scaleError, &scale))
        return false;
    if (scale < kMinimumScale || scale > kMaximumScale)
        return fail(entries.scale + scaleError);
    settings.scale = scale;
    int shade = 0;
    if (!convertFrameWidth(
            entries.shade, QStringLiteral(" is not a valid shade width: (0-30 pixel)!"), &shade))
        return false;
    settings.shade = shade;
    int border = 0;
    if (!convertFrameWidth(
            entries.border, QStringLiteral(" is not a valid border width: (0-30 pixel)!"), &border))
        return false;
    settings.border = border;

    job.scaledWidth = baseWidth * scale / 100;
    job.scaledHeight = baseHeight * scale / 100;
    settings.cropVertical = entries.cropVerti;
    settings.cropHorizontal = entries.cropHori;
    const int cv = entries.cropVerti ? SNAPSHOT_CROP : 0;
    const int ch = entries.cropHori ? SNAPSHOT_CROP : 0;
    const int pageWidth = job.scaledWidth - cv;
    const int pageHeight = job.scaledHeight - ch;
    if (pageWidth < kMinimumSide || pageHeight < kMinimumSide)
        return fail(QStringLiteral("Resulting snapshot would be smaller than 10x10 pixels.\n"
                                   "Please increase size values or scaling factor."));
    job.outputWidth = pageWidth + shade;
    job.outputHeight = pageHeight + shade;
    job.canvasRect = QRect(0, 0, job.outputWidth, job.outputHeight);
    job.pageRect = QRect(0, 0, pageWidth, pageHeight);
    job.shadowRect = QRect(shade, shade, pageWidth, pageHeight);

    settings.backgroundColor = entries.bgCol;
    settings.shadeColor = entries.shadeCol;
    settings.borderColor = entries.borderCol;
    job.filterIndex = 5;
    return true;
}

QColor colorFromValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int valueFromColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QImage paintSaveImage(const SnapshotJob &job, const frame::Settings &settings, const QImage &imgBig)
{
    QImage image(job.canvasRect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter painter(&image);
    fillRect(painter, job.canvasRect, settings.backgroundColor);
    fillRect(painter, job.shadowRect, settings.shadeColor);
    fillRect(painter, job.pageRect, 0xFFFFFF);
    if (!imgBig.isNull())
        painter.drawImage(0, 0, imgBig);
    const QColor border = colorFromValue(settings.borderColor);
    QRect frame = job.pageRect;
    for (int i = 0; i < settings.border && frame.isValid(); ++i) {
        frameRect(painter, frame, border);
        frame.adjust(1, 1, -1, -1);
    }
    return image;
}

QString SnapshotFileName(const QString &pageFile, const QString &extension)
{
    QString name = platform::fileNamePart(pageFile);
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("snap_") + name + extension;
}

bool PrepareSnapshotOpening(
    const QString &currentFile, const frame::SelectionCount &counts, SnapshotJob &job)
{
    job.currentFile = currentFile;
    job.activePage = counts.page;
    job.selectedCount = counts.selected;
    job.entryCount = counts.total;
    job.batchMode = counts.selected > 1;
    if (!currentFile.isEmpty() && !QFileInfo(currentFile).isFile())
        return fail(QStringLiteral("File: \"") + currentFile + QStringLiteral("\" not found!"));
    if (!currentFile.isEmpty() || job.batchMode)
        return true;
    return fail(QStringLiteral("No file(s) selected"));
}

} // namespace snapshot
