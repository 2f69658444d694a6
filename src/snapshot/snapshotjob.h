#pragma once

#include "frame/settings.h"
#include "frame/selection.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

namespace snapshot {

// Width cut off for a cropped vertical scroll bar, height for a horizontal one.
constexpr int SNAPSHOT_CROP = 16;

enum class OutputKind { Jpg, Bmp };

// What the snapshot windows share for the whole run; the opening commands fill the file and
// count fields, testInput the geometry.
struct SnapshotJob {
    QString currentFile;
    QString outputExtension = QStringLiteral(".jpg");
    OutputKind outputKind = OutputKind::Jpg;
    int filterIndex = 5;
    bool batchMode = false;
    const frame::Page *activePage = nullptr;
    int selectedCount = 0;
    int entryCount = 0;
    bool fromBrowser = false;
    // "Custom browser size" checked: the base size is CustomWidth x CustomHeight.
    bool customSize = true;
    int browserWidth = 0;
    int browserHeight = 0;
    int baseWidth = 0;
    int baseHeight = 0;
    int scaledWidth = 0; // SW
    int scaledHeight = 0; // SH
    int outputWidth = 0; // OW
    int outputHeight = 0; // OH
    QRect canvasRect;
    QRect pageRect;
    QRect shadowRect;
};

// The entries of the options window as typed, before they are tested.
struct SnapshotEntries {
    bool customSize = true;
    QString width;
    QString height;
    QString scale;
    QString shade;
    QString border;
    bool cropVerti = false;
    bool cropHori = false;
    int bgCol = 0xFFFFFF;
    int shadeCol = 0x808080;
    int borderCol = 0x800000;
};

// The entries that the stored settings give, as the options window shows them.
SnapshotEntries entriesFromSettings(const frame::Settings &settings);

// Tests the entries in order and stores each value as soon as its own test has passed, so a
// later failure keeps the earlier values. The first failure is shown with ShowInfo and ends
// the test. On success the job holds SW, SH, OW, OH and the three rectangles.
bool testInput(const SnapshotEntries &entries, frame::Settings &settings, SnapshotJob &job);

// Settings colours are 0x00BBGGRR.
QColor colorFromValue(int value);
int valueFromColor(const QColor &color);

// The empty composition or the finished snapshot: background, shadow, white page area, the
// scaled page (may be null) at the top-left corner, and Border frames from the page area's
// outline inwards. OW x OH in the display's format (32 bits per pixel).
QImage paintSaveImage(
    const SnapshotJob &job, const frame::Settings &settings, const QImage &imgBig);

// "snap_" + the page's file name with every "." replaced by "_" + extension.
QString SnapshotFileName(const QString &pageFile, const QString &extension);

// The opening checks of "Create Snapshot(s)": fills the job's file and count fields and says
// whether the options window may open; otherwise the message has been shown.
bool PrepareSnapshotOpening(
    const QString &currentFile, const frame::SelectionCount &counts, SnapshotJob &job);

} // namespace snapshot
