#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace scan {

// What a list record needs of an entry, read in one look at the disk, links followed.
struct EntryFacts {
    qint64 size = 0; // 0 for a folder
    qint64 modifiedSecs = 0; // last write, seconds since 1970 UTC
};

// The facts of the entry at `path`; nothing when no entry is there or it cannot be looked at,
// with the system's reason in `error` (when given).
std::optional<EntryFacts> entryFacts(const QString &path, int *error = nullptr);

// One matching entry: the folder it lies in (native separators, no trailing separator unless
// it is a root), its name and its facts.
using FoundEntry
    = std::function<void(const QString &folder, const QString &name, const EntryFacts &facts)>;

struct ScanOptions {
    // Semicolon-separated patterns such as "*.htm;*.asp", tested with MaskMatches.
    QString mask;
    // When false, folders inside `thumbFolder` are listed but none of their sub-folders is
    // entered: a search of the program folder sees the thumbnail folder's own files only.
    bool descendEverywhere = true;
    QString thumbFolder;
    // Polled once per entry; true ends the scan early.
    std::function<bool()> stopRequested;
    // Lets pending window events run; called at most once per `eventInterval` milliseconds.
    // Empty: QCoreApplication::processEvents.
    std::function<void()> letEventsRun;
    int eventInterval = 15;
    // Told of each folder met that cannot be listed (with the system's reason), from whichever
    // thread met it; such folders are skipped all the same.
    std::function<void(const QString &folder, int error)> folderUnreadable;
};

// The recursive scan: every non-hidden entry of `folder` and of its sub-folders that passes
// the mask, in the order the file system lists them, a sub-folder's entries where the
// sub-folder was met. Only plain folders are entered: not symbolic links, not folders whose
// name contains "_vti_cnf"; such folders are tested against the mask like files. Folders that
// cannot be read are skipped silently, and so are entries that vanish or cannot be looked at
// before their facts are read. Returns false when the scan was stopped.
bool ScanFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found);

// The same test for the entries of `folder` alone, without entering any sub-folder.
bool ScanOneFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found);

// ScanFolder collecting full paths.
QStringList ScanFolderPaths(const QString &folder, const ScanOptions &options);

} // namespace scan
