#include "snapshot/snapshotshot.h"

#include "engine/captureform.h"
#include "engine/htmlview.h"
#include "imaging/resample.h"
#include "platform/hourglass.h"

#include <QFileInfo>

#include <optional>

namespace snapshot {

namespace {

void showStatus(const ShotSource &source, const QString &text)
{
    if (source.status)
        source.status(text);
}

} // namespace

QSize ShotBaseSize(const SnapshotJob &job, const frame::Settings &settings)
{
    return job.customSize ? QSize(settings.customWidth, settings.customHeight)
                          : QSize(job.browserWidth, job.browserHeight);
}

bool shotHasPicture(ShotResult result)
{
    return engine::capturesPicture(result);
}

QString shotProblem(ShotResult result, const QString &file, engine::PartialPicture partial)
{
    if (result == ShotResult::Missing)
        return QStringLiteral("File: \"") + file + QStringLiteral("\" not found!");
    return engine::captureProblem(result, file, partial);
}

ShotResult DoTheShot(const QString &file, SnapshotJob &job, const frame::Settings &settings,
    const ShotSource &source, QImage &imgSave)
{
    if (const ShotResult check = engine::checkCaptureFile(file); check != ShotResult::Done)
        return check;
    const QSize base = ShotBaseSize(job, settings);
    job.baseWidth = base.width();
    job.baseHeight = base.height();
    const int cv = settings.cropVertical ? SNAPSHOT_CROP : 0;
    const int ch = settings.cropHorizontal ? SNAPSHOT_CROP : 0;
    QImage imgBig(job.scaledWidth - cv, job.scaledHeight - ch, QImage::Format_RGB888);

    const bool borrow = job.fromBrowser && source.browser;
    ShotResult result = ShotResult::Done;
    {
        platform::HourglassGuard hourglass;
        showStatus(source, QStringLiteral("Creating Snapshot image ..."));
        std::optional<engine::CaptureForm> own;
        if (borrow || !source.forms)
            own.emplace(base, source.browser, borrow);
        bool complete = true;
        engine::CaptureForm &form = own ? *own : source.forms->load(file, base, &complete);
        if (borrow)
            form.view()->waitForFrame(); // laid out anew at the base size
        else if (own)
            form.loadHtmlFile(file);
        if (!borrow)
            result = form.loadOutcome();
        QImage cut = shotHasPicture(result) ? form.capture() : QImage();
        if (own)
            own->handleClose();
        else
            source.forms->captured();
        if (!cut.isNull() && (cv || ch))
            cut = cut.copy(0, 0, base.width() - cv, base.height() - ch);
        if (borrow && source.browserReturned)
            source.browserReturned();
        showStatus(source, QStringLiteral("Resizing Snapshot ..."));
        const imaging::FilterEntry &filter = imaging::FilterCatalog.at(job.filterIndex);
        if (cut.isNull() || imgBig.isNull()
            || !imaging::ResampleBitmap(cut, imgBig, filter.filter, filter.support))
            imgBig = QImage();
    }
    imgSave = paintSaveImage(job, settings, imgBig);
    if (result == ShotResult::Done && imgBig.isNull())
        return ShotResult::Unfinished;
    return result;
}

} // namespace snapshot
