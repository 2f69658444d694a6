#pragma once

#include "replace/replacer.h"
#include "replace/undostore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace replace {

// One file's part of a replace: its edits as read, and how to know it again.
struct FilePlan {
    QString path;
    PagePlan page; // page.error: unreadable or refused, left out
    QByteArray hash; // of the bytes the edits were made for (when there are edits)
    QByteArray bytes; // those bytes, when kept for an apply that follows at once
};

// The files a replace reads: the files given, and those of the folders given (with their
// sub-folders) that pass the mask, in the folder scan's order. Paths that are neither are
// named in `problems`.
QStringList filesToReplace(const QStringList &paths, const QString &mask,
    const QString &thumbFolder, QStringList *problems);

FilePlan planFile(const QString &path, const Replacer &replacer, bool keepBytes = false);

// Plans every file on `threads` threads (0: one per core), in the order given.
// progress(done, total) as linkcheck::parallelFor: false stops, and then the result is false.
bool planFiles(const QStringList &paths, const Replacer &replacer, std::vector<FilePlan> *plans,
    bool keepBytes = false, const std::function<bool(int, int)> &progress = {}, int threads = 0);

struct ApplyOutcome {
    QString undoId; // empty when nothing was written
    QStringList written; // in the order of the plans
    QStringList leftOut; // "PATH: REASON": changed since the preview, or refused
    QString failure; // "PATH: REASON" of a write that failed; the files not written are as before
    qint64 replacements = 0; // in the files written
};

// Writes each planned file with its edits, atomically, after the undo record of them all is
// in the store: a run cut off at any point leaves every file old or new, and undo puts back
// the new ones. A file whose bytes differ from those planned is left out. After a failed
// write no further file is begun; the record then names the files written only.
ApplyOutcome applyPlans(const std::vector<FilePlan> &plans, const QString &summary,
    const UndoStore &store, int threads = 0);

} // namespace replace
