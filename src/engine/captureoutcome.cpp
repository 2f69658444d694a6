#include "engine/captureoutcome.h"

#include "platform/safefile.h"

namespace engine {

CaptureOutcome checkCaptureFile(const QString &path)
{
    if (path.isEmpty())
        return CaptureOutcome::Missing;
    // Looked up by the name's bytes, so that names that are not UTF-8 are found too.
    switch (platform::fileState(path).kind) {
    case platform::FileState::Regular:
        return CaptureOutcome::Done;
    case platform::FileState::Other:
        // Reading a pipe or a device could wait for ever or never end.
        return CaptureOutcome::NotRegularFile;
    case platform::FileState::Missing:
    case platform::FileState::Folder:
        break;
    }
    return CaptureOutcome::Missing;
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
