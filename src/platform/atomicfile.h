#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <chrono>
#include <functional>

namespace platform {

// Writes the bytes to a temporary file beside `path` and renames it over the file only when
// every byte reached the disk: a full disk or a file-size limit half-way leaves the old file
// whole and no temporary file behind. False with the reason in `error` (when given).
//
// A file replaced keeps its permissions, owner and group, and a link to a file writes the
// file it names. Where the new file could not be the old one to its other names and readers
// (a file with more than one hard link, or one whose owner or group this user cannot give a
// new file), the complete new content is first made safe in the temporary file and then
// written through the file itself, room for it taken before its first byte changes.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same for a file given by the bytes of its path, for a name that is not UTF-8.
bool writeNativeFileAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, QString *error = nullptr);

// A writer killed between making its temporary file and renaming it leaves the file
// NAME.XXXXXX beside NAME (six letters or digits, as every writer of this program names it).
// The NAME such a leftover was for; empty for any other file name.
QString atomicWriterTarget(QStringView fileName);

// How old a leftover must be before it counts as stale: a writer at work is never this slow.
inline constexpr std::chrono::minutes kStaleLeftoverAge { 10 };

struct LeftoverSweep {
    int removed = 0;
    QStringList failed; // leftovers that could not be deleted
};

// Deletes the stale leftovers in `folder` (and in its sub-folders with `recursive`; links
// are not followed) whose NAME `isTarget` accepts: only files of the kinds the folder's
// writer makes, never another file that happens to end in six letters.
LeftoverSweep removeAtomicWriterLeftovers(const QString &folder,
    const std::function<bool(QStringView target)> &isTarget, bool recursive,
    std::chrono::seconds minAge = kStaleLeftoverAge);

} // namespace platform
