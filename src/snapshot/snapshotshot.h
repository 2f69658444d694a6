#pragma once

#include "frame/settings.h"
#include "snapshot/snapshotjob.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace engine {
class HtmlView;
}

namespace snapshot {

class TFormSnapKeeper;

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
    TFormSnapKeeper *forms = nullptr;
};

enum class ShotResult {
    Missing, // the file does not exist: nothing happened
    Done,
    Incomplete, // the page did not finish loading in time: composed as far as it got
};

// The browser size the next capture lays pages out at: the custom size or the browser's.
QSize ShotBaseSize(const SnapshotJob &job, const app::Settings &settings);

// Lays the page out at the base size, captures it, cuts the cropped scroll bars off, scales it
// with the job's filter into (SW - cv) x (SH - ch) and composes it into imgSave. Needs a job
// that TestInput accepted.
ShotResult DoTheShot(const QString &file, SnapshotJob &job, const app::Settings &settings,
    const ShotSource &source, QImage &imgSave);

} // namespace snapshot
