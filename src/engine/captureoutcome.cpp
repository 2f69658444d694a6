#include "engine/captureoutcome.h"

#include <QFileInfo>

namespace engine {

CaptureOutcome checkCaptureFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return CaptureOutcome::Missing;
    // Reading a pipe or a device could wait for ever or never end.
    return info.isFile() ? CaptureOutcome::Done : CaptureOutcome::NotRegularFile;
}

QString captureProblem(CaptureOutcome outcome, const QString &page, PartialPicture partial)
{
    switch (outcome) {
    case CaptureOutcome::NotRegularFile:
        return QStringLiteral("not a regular file: ") + page;
    case CaptureOutcome::Unfinished:
        return page
            + (partial == PartialPicture::Saved
                    ? QStringLiteral(" did not finish loading; saved as far as it got")
                    : QStringLiteral(" did not finish loading; shown as far as it got"));
    case CaptureOutcome::RendererDied:
        return page
            + (partial == PartialPicture::Saved
                    ? QStringLiteral(": the renderer died while loading it; nothing saved")
                    : QStringLiteral(": the renderer died while loading it; nothing shown"));
    case CaptureOutcome::Done:
    case CaptureOutcome::Missing:
    case CaptureOutcome::Stopped:
        break;
    }
    return {};
}

} // namespace engine
