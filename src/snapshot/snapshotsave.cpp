#include "snapshot/snapshotsave.h"

#include "imaging/jpegcodec.h"
#include "platform/atomicfile.h"
#include "platform/dialogs.h"
#include "platform/diskspace.h"
#include "platform/filerules.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QScopeGuard>

namespace snapshot {

namespace {

constexpr int kJpegQuality = 75;
constexpr qint64 kNeededKb = 2000;

void showStatus(const StatusLine &status, const QString &text)
{
    if (status)
        status(text);
}

QByteArray encodeBmp(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    return writer.write(image) ? bytes : QByteArray();
}

// The folder the save dialog opens in: the snapshot folder, made when missing as a batch makes
// it; one that cannot be made gives its nearest existing parent. A dialog given a folder that
// does not exist would open wherever a dialog was last.
QString saveDialogFolder(const QString &snapshotPath)
{
    QDir().mkpath(snapshotPath);
    const QString folder = platform::nearestExistingFolder(QDir::cleanPath(snapshotPath));
    return platform::WithTrailingBackslash(
        folder.isEmpty() ? snapshotPath : QDir::toNativeSeparators(folder));
}

QString extensionOf(int filterIndex)
{
    return filterIndex == 1 ? QStringLiteral(".bmp") : QStringLiteral(".jpg");
}

} // namespace

bool writeSnapshotFile(
    const QImage &image, const QString &path, OutputKind kind, QString *error)
{
    const QByteArray bytes
        = kind == OutputKind::Bmp ? encodeBmp(image) : imaging::encodeJpeg(image, kJpegQuality);
    if (bytes.isEmpty()) {
        *error = QStringLiteral("The picture could not be encoded.");
        return false;
    }
    return platform::writeFileAtomically(path, bytes, error);
}

bool SaveSnapshotImage(
    QImage &imgSave, const QString &fileName, OutputKind kind, bool ask, const StatusLine &status)
{
    platform::Dialogs &dialogs = platform::dialogs();
    if (fileName.isEmpty()) {
        dialogs.ShowInfo(QStringLiteral("Invalid file name: ") + fileName);
        return false;
    }
    if (!platform::checkDiskSpace(platform::folderPart(fileName), kNeededKb))
        return false;
    if (ask && QFileInfo::exists(fileName)) {
        const platform::Answer answer = dialogs.AskYesNoCancel(
            QStringLiteral("File exists: ") + fileName + QStringLiteral("\n\nOverwrite ?"));
        if (answer == platform::Answer::Cancel)
            return false;
        if (answer == platform::Answer::No)
            return true;
    }
    {
        platform::HourglassGuard hourglass;
        if (imgSave.format() != QImage::Format_RGB888) {
            showStatus(status, QStringLiteral("Converting snapshot to 24bit, please wait ..."));
            imgSave.convertTo(QImage::Format_RGB888);
        }
    }
    showStatus(status, QStringLiteral(" "));
    QString error;
    if (!writeSnapshotFile(imgSave, fileName, kind, &error)) {
        dialogs.errorBox(
            QStringLiteral("Cannot create file \"") + fileName + QStringLiteral("\". ") + error);
        return false;
    }
    showStatus(status, QStringLiteral("Saved as:") + fileName);
    return true;
}

QString saveDialogFilter(int index)
{
    return index == 1 ? QStringLiteral("BMP File (True Color) (*.bmp)")
                      : QStringLiteral("JPG File (True Color) (*.jpg)");
}

void SaveThroughDialog(QImage &imgSave, const QString &pageFile, int &filterIndex,
    QString &snapshotPath, const StatusLine &status)
{
    const QString filters = saveDialogFilter(0) + QStringLiteral(";;") + saveDialogFilter(1);
    const QString proposal
        = saveDialogFolder(snapshotPath) + SnapshotFileName(pageFile, extensionOf(filterIndex));
    QString selected = saveDialogFilter(filterIndex);
    const QString chosen
        = platform::dialogs().saveFileNameWithFilter(QString(), proposal, filters, &selected);
    if (chosen.isEmpty())
        return;
    filterIndex = selected == saveDialogFilter(1) ? 1 : 0;
    const QString target = platform::BuildTargetFileName(
        platform::folderPart(chosen), platform::fileNamePart(chosen), extensionOf(filterIndex));
    SaveSnapshotImage(imgSave, target, filterIndex == 1 ? OutputKind::Bmp : OutputKind::Jpg, false, status);
    if (!target.isEmpty())
        snapshotPath = platform::folderPart(target);
}

int ExportSnapshots(const BatchExport &batch, const SnapshotJob &job, const QString &outputFolder)
{
    const QString folder = platform::WithTrailingBackslash(outputFolder);
    QDir().mkpath(folder);
    batch.progress.initProgressBar(job.selectedCount);
    batch.progress.showProgress();
    if (batch.setWindowEnabled)
        batch.setWindowEnabled(false);
    const auto restore = qScopeGuard([&batch] {
        if (batch.setWindowEnabled)
            batch.setWindowEnabled(true);
        batch.progress.closeProgress();
    });

    if (batch.plan) {
        QStringList pages;
        for (int i = 0; i < job.entryCount; ++i)
            if (const QString path = batch.selection.entryPath(i, true); !path.isEmpty())
                pages.append(path);
        batch.plan(pages);
    }
    int counter = 1;
    int failedAt = -1;
    for (int i = 0; i < job.entryCount; ++i) {
        const QString path = batch.selection.entryPath(i, true);
        if (path.isEmpty())
            continue;
        batch.progress.setProgressText(
            QStringLiteral("(%1 of %2): ").arg(counter).arg(job.selectedCount) + path);
        // A page that is gone leaves nothing to save: the last picture is not its snapshot.
        QImage *image = batch.shoot(path);
        const QString target = folder + SnapshotFileName(path, job.outputExtension);
        if (image && !SaveSnapshotImage(*image, target, job.outputKind, true, batch.status)) {
            failedAt = i;
            break;
        }
        ++counter;
        batch.progress.stepProgress();
        QCoreApplication::processEvents();
        if (batch.progress.stopRequested())
            break;
    }
    if (failedAt >= 0 && batch.skipped) {
        for (int i = failedAt + 1; i < job.entryCount; ++i)
            if (const QString path = batch.selection.entryPath(i, true); !path.isEmpty())
                batch.skipped(path);
    }
    showStatus(batch.status, QStringLiteral("Snapshots done ..."));
    return counter - 1;
}

} // namespace snapshot
