#include "snapshot/snapshotshot.h"

#include "engine/htmlview.h"
#include "platform/hourglass.h"
#include "snapshot/tformsnap.h"
#include "thumbs/resample.h"

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

ShotResult DoTheShot(const QString &file, SnapshotJob &job, const app::Settings &settings,
    const ShotSource &source, QImage &imgSave)
{
    if (!QFileInfo(file).isFile())
        return ShotResult::Missing;
    job.baseWidth = job.customSize ? settings.CustomWidth : job.browserWidth;
    job.baseHeight = job.customSize ? settings.CustomHeight : job.browserHeight;
    const QSize base(job.baseWidth, job.baseHeight);
    const int cv = settings.CropVerti ? SNAPSHOT_CROP : 0;
    const int ch = settings.CropHori ? SNAPSHOT_CROP : 0;
    QImage imgBig(job.scaledWidth - cv, job.scaledHeight - ch, QImage::Format_RGB888);

    const bool borrow = job.fromBrowser && source.browser;
    bool complete = true;
    {
        platform::HourglassGuard hourglass;
        std::optional<TFormSnap> own;
        if (borrow || !source.forms)
            own.emplace(base, source.browser, borrow);
        TFormSnap &form = own ? *own : source.forms->form(base);
        showStatus(source, QStringLiteral("Creating Snapshot image ..."));
        if (borrow)
            form.view()->waitForFrame(); // laid out anew at the base size
        else
            complete = form.LoadHTMLFile(file);
        QImage cut = form.capture();
        if (cv || ch)
            cut = cut.copy(0, 0, base.width() - cv, base.height() - ch);
        if (own)
            own->FormClose();
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
