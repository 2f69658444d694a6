#pragma once

#include <QString>

#include <functional>

namespace platform {

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

} // namespace platform
