#include "snapshot/snapshotshot.h"

#include "engine/htmlview.h"
#include "platform/hourglass.h"
#include "engine/tformsnap.h"
#include "imaging/resample.h"

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

QSize ShotBaseSize(const SnapshotJob &job, const app::Settings &settings)
{
    return job.customSize ? QSize(settings.CustomWidth, settings.CustomHeight)
                          : QSize(job.browserWidth, job.browserHeight);
}

ShotResult DoTheShot(const QString &file, SnapshotJob &job, const app::Settings &settings,
    const ShotSource &source, QImage &imgSave)
{
    if (!QFileInfo(file).isFile())
        return ShotResult::Missing;
    const QSize base = ShotBaseSize(job, settings);
    job.baseWidth = base.width();
    job.baseHeight = base.height();
    const int cv = settings.CropVerti ? SNAPSHOT_CROP : 0;
    const int ch = settings.CropHori ? SNAPSHOT_CROP : 0;
    QImage imgBig(job.scaledWidth - cv, job.scaledHeight - ch, QImage::Format_RGB888);

    const bool borrow = job.fromBrowser && source.browser;
    bool complete = true;
    {
        platform::HourglassGuard hourglass;
        showStatus(source, QStringLiteral("Creating Snapshot image ..."));
        std::optional<TFormSnap> own;
        if (borrow || !source.forms)
            own.emplace(base, source.browser, borrow);
        TFormSnap &form = own ? *own : source.forms->load(file, base, &complete);
        if (borrow)
            form.view()->waitForFrame(); // laid out anew at the base size
        else if (own)
            complete = form.LoadHTMLFile(file);
        QImage cut = form.capture();
        if (own)
            own->FormClose();
        else
            source.forms->captured();
        if (cv || ch)
            cut = cut.copy(0, 0, base.width() - cv, base.height() - ch);
        if (borrow && source.browserReturned)
            source.browserReturned();
        showStatus(source, QStringLiteral("Resizing Snapshot ..."));
        const thumbs::FilterEntry &filter = thumbs::FilterCatalog.at(job.filterIndex);
        if (imgBig.isNull() || !thumbs::ResampleBitmap(cut, imgBig, filter.filter, filter.support))
            imgBig = QImage();
    }
    imgSave = PaintSaveImg(job, settings, imgBig);
    return complete && !imgBig.isNull() ? ShotResult::Done : ShotResult::Incomplete;
}

} // namespace snapshot
