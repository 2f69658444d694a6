#pragma once

#include "frame/batchprogress.h"
#include "frame/selection.h"
#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace folderview {

// The file kinds taken from the command line and from drops, whatever the filter text says.
inline const QString AcceptedFileMask =
    QStringLiteral("*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht");

using platform::MaskMatches;

// The start file from the command-line parameters (without the program name): the last of
// one or two, as an absolute clean path, when it is an accepted file kind that exists.
QString startFileFromArguments(const QStringList &arguments);

using platform::BuildTargetFileName;
using platform::RemoveFile;

// Copies in blocks of 16384 bytes into a temporary file beside the target, gives it the
// source's modification time and renames it over the target only when every block was
// written. On failure the target is left as it was and nothing else stays behind.
bool CopyFileKeepDate(const QString &source, const QString &target);

// True when both paths name one file: the same text (letter case ignored in the Windows
// style), or, on a POSIX system, the same file reached another way (a link, ".." parts).
bool isSameFile(const QString &a, const QString &b,
                platform::PathStyle style = platform::nativePathStyle());

// Free space of the volume that holds a path; freeBytes < 0 when the system cannot tell.
struct VolumeSpace {
    QString name; // the drive ("C:") or the volume's root ("/home")
    qint64 freeBytes = -1;
};
using FreeSpaceSource = std::function<VolumeSpace(const QString &path)>;
VolumeSpace systemVolumeSpace(const QString &path);
// Tests replace where checkDiskSpace learns the free space; an empty source restores the system.
void setFreeSpaceSource(FreeSpaceSource source);

// False, after the information "Diskspace on drive "<name>" < <n>Kb!" / "Process stopped.",
// when the volume of the path has fewer than neededKb * 1000 bytes free.
bool checkDiskSpace(const QString &path, qint64 neededKb);

struct DeleteResult {
    bool confirmed = false;    // the user said Yes: the caller re-reads its list
    int lastDeletedIndex = -1; // entry index of the last file removed
};
// Asks, then removes the selected entries of the active page; the caller re-reads its list.
// mayRemove runs after the user's Yes and before the first file goes (the editor's unsaved
// changes are settled there); false leaves every file in place.
DeleteResult deleteSelectedFiles(const frame::SelectionQueries &selection, bool &doRecycleBin,
    const std::function<bool()> &mayRemove = {});

struct CopyResult {
    // One file copied: the target tried, so the window can re-read its list and select it.
    QString singleTarget;
    int copied = 0; // files written
};
// "Copy file(s) to": one file through the save dialog, several through the folder dialog with
// the progress window. copyPath (COPYPATH) becomes the folder of a batch however it ends.
CopyResult copySelectedFiles(const frame::SelectionQueries &selection, QString &copyPath,
    frame::BatchProgress &progress, const std::function<void(bool)> &setMainWindowEnabled = {});

// The file to jump to for a drop: the first name when it is of an accepted kind; otherwise
// empty after a beep and the message "Folioscope:" / "File not accepted." / the name.
QString AcceptDroppedFiles(const QStringList &names);

} // namespace folderview
