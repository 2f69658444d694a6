#include "engine/captureoutcome.h"

#include "platform/safefile.h"

#include <QHash>

namespace engine {

namespace {

QHash<QString, QString> &blockedFiles()
{
    static QHash<QString, QString> files;
    return files;
}

} // namespace

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

bool capturesPicture(CaptureOutcome outcome)
{
    return outcome == CaptureOutcome::Done || outcome == CaptureOutcome::Unfinished
        || outcome == CaptureOutcome::Blocked;
}

QString blockedFileOf(const QString &page)
{
    return blockedFiles().value(page);
}

void noteBlockedFileOf(const QString &page, const QString &file)
{
    if (file.isEmpty())
        blockedFiles().remove(page);
    else if (!page.isEmpty())
        blockedFiles().insert(page, file);
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
    case CaptureOutcome::Blocked:
        return page + QStringLiteral(": blocked ") + blockedFileOf(page)
            + (partial == PartialPicture::Saved
                    ? QStringLiteral(", not a file a site is made of; saved showing it blocked")
                    : QStringLiteral(", not a file a site is made of; shown blocked"));
    case CaptureOutcome::RendererDied:
        return page
            + (partial == PartialPicture::Saved
                    ? QStringLiteral(": the renderer died while loading it; nothing saved")
                    : QStringLiteral(": the renderer died while loading it; nothing shown"));
    case CaptureOutcome::OutOfMemory:
        return page
            + (partial == PartialPicture::Saved ? QStringLiteral(" ran out of memory; nothing saved")
                                                : QStringLiteral(" ran out of memory; nothing shown"));
    case CaptureOutcome::Done:
    case CaptureOutcome::Missing:
    case CaptureOutcome::Stopped:
        break;
    }
    return {};
}

} // namespace engine
