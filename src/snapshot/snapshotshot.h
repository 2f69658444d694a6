#pragma once

#include "frame/settings.h"
#include "engine/captureoutcome.h"
#include "snapshot/snapshotjob.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace engine {
class CaptureFormKeeper;
class HtmlView;
} // namespace engine

namespace snapshot {

// Where a capture takes its page from and reports its steps.
struct ShotSource {
    // The internal browser: its display settings are copied, and in from-browser mode
    // (job.fromBrowser) its live view is laid out and captured instead of loading the file.
    // May be null (the batch tool): the capture form's own defaults apply.
    engine::HtmlView *browser = nullptr;
    // Shows a status text at once; may be empty.
    std::function<void(const QString &)> status;
    // Called after a borrowed browser view went back to its parent, whose owner puts it back
    // into its place; may be empty.
    std::function<void()> browserReturned;
    // The capture forms a batch keeps for its pages; null: a form for this capture alone.
    // Not used in from-browser mode.
    engine::CaptureFormKeeper *forms = nullptr;
};

// Missing and NotRegularFile: nothing happened. Unfinished: composed as far as the page got;
// Blocked: composed with what the page reached for shown blocked. RendererDied, OutOfMemory
// and Stopped: the empty frame is composed.
using ShotResult = engine::CaptureOutcome;

// The browser size the next capture lays pages out at: the custom size or the browser's.
QSize ShotBaseSize(const SnapshotJob &job, const frame::Settings &settings);

// Lays the page out at the base size, captures it, cuts the cropped scroll bars off, scales it
// with the job's filter into (SW - cv) x (SH - ch) and composes it into imgSave. Needs a job
// that testInput accepted.
ShotResult DoTheShot(const QString &file, SnapshotJob &job, const frame::Settings &settings,
    const ShotSource &source, QImage &imgSave);

// Whether the composed picture of a shot is the page's snapshot, whole or as far as it got.
bool shotHasPicture(ShotResult result);
// The line naming the page when its shot went wrong ("File: "..." not found!" for a missing
// one); empty when it was done or stopped.
QString shotProblem(ShotResult result, const QString &file, engine::PartialPicture partial);

} // namespace snapshot
