#pragma once

#include <QString>

namespace engine {

// How the capture of one page went. The thumbnail and snapshot windows and the batch tool
// report it with the same texts.
enum class CaptureOutcome {
    Done,
    Missing, // no file at the path: nothing happened
    NotRegularFile, // a pipe, socket or device: never handed to the engine
    Unfinished, // the page did not finish loading in time: captured as far as it got
    Blocked, // the page reached for a local file a site is not made of: captured, showing it
             // blocked
    RendererDied, // the page's renderer died: there is nothing to capture
    OutOfMemory, // the page's renderer ran out of memory: there is nothing to capture
    Stopped, // the user stopped the batch while the page loaded: nothing captured
};

// Missing, NotRegularFile, or Done for a file that may be loaded.
CaptureOutcome checkCaptureFile(const QString &path);

// Whether a capture with this outcome has a picture of the page (whole or as far as it got).
bool capturesPicture(CaptureOutcome outcome);

// The first local file the last load of the page was refused; empty when none. The views note
// it at the end of every load, so that each problem line can name it.
QString blockedFileOf(const QString &page);
void noteBlockedFileOf(const QString &page, const QString &file);

// What became of a picture taken as far as the page got.
enum class PartialPicture { Saved, Shown };

// The line naming the page when its capture went wrong; empty for Done, Stopped and Missing
// (each caller has its own message for a missing file).
QString captureProblem(CaptureOutcome outcome, const QString &page, PartialPicture partial);

} // namespace engine
