#pragma once

#include "platform/atomicfile.h"

#include <QString>

namespace app {

// programFolder from the executable's folder: one trailing separator, upper case on
// Windows only (a POSIX file system is case-sensitive).
QString programFolderFor(const QString &executableDir);
// The data folders, each with one trailing separator.
QString thumbFolderOf(const QString &dataFolder);
QString listsFolderOf(const QString &dataFolder);
// The program folder when it can be written, otherwise the user's application data folder
// (created), with one trailing separator.
QString dataFolderFor(const QString &programFolder, bool programFolderWritable);

// Deletes what writes cut off by a kill left in the program's stores beside the thumbnail
// folder (which the thumbnail clean-up sweeps): stale temporary files of list files in
// FILELISTS, of snapshots ("snap_" names) in the snapshot folder and of prg.ini.
platform::LeftoverSweep removeStoreLeftovers(
    const QString &dataFolder, const QString &snapshotFolder);

} // namespace app
