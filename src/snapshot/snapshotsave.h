#pragma once

#include "frame/batchprogress.h"
#include "frame/selection.h"
#include "snapshot/snapshotjob.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace snapshot {

using StatusLine = std::function<void(const QString &)>;

// JPEG of quality 75, or an uncompressed 24-bit bitmap, written to a temporary file beside the
// target and renamed over it: a failure leaves the old file as it was. error gets the reason.
bool writeSnapshotFile(
    const QImage &image, const QString &path, OutputKind kind, QString *error);

// Writes the snapshot after the checks of saving: "Invalid file name: " for an empty name, the
// free-space check (2000 Kb), and with ask the Yes/No/Cancel question for an existing file. A
// picture not in 24 bits is converted in place first. True when a batch may go on: written, or
// the user said No; false when nothing was written otherwise (a failed write is reported in an
// error box).
bool SaveSnapshotImage(
    QImage &imgSave, const QString &fileName, OutputKind kind, bool ask, const StatusLine &status);

// The filters of the save dialog, first JPG, then BMP.
QString saveDialogFilter(int index);

// "Save": the save dialog opens in snapshotPath (SNAPSHOTPATH) on "snap_" + the page's name
// with the filter last chosen (filterIndex, kept by the caller while its window is open); the
// chosen name is normalised by the target-name rule and written. snapshotPath becomes the
// folder of every name the rule accepts.
void SaveThroughDialog(QImage &imgSave, const QString &pageFile, int &filterIndex,
    QString &snapshotPath, const StatusLine &status);

// The loop of "Batch Export" once the folder and format are chosen.
struct BatchExport {
    const frame::SelectionQueries &selection;
    frame::BatchProgress &progress;
    // Captures and composes a page; null when there is nothing to save for it.
    std::function<QImage *(const QString &file)> shoot;
    StatusLine status;
    // Switches the window that started the batch off and on again.
    std::function<void(bool)> setWindowEnabled;
    // Told the selected pages in their order before the first, so that they load ahead; may
    // be empty.
    std::function<void(const QStringList &pages)> plan;
    // Told each selected page after the one whose snapshot could not be saved (a full disk, a
    // failed write), which the batch ends at without writing them; may be empty.
    std::function<void(const QString &page)> skipped;
};
// Returns how many selected entries were handled before the loop ended.
int ExportSnapshots(const BatchExport &batch, const SnapshotJob &job, const QString &outputFolder);

} // namespace snapshot
