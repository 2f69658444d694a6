#include "platform/diskspace.h"

#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace platform {

namespace {

FreeSpaceSource &freeSpaceSource()
{
    static FreeSpaceSource source;
    return source;
}

} // namespace

VolumeSpace systemVolumeSpace(const QString &path)
{
    // The path may name a file not written yet: ask about the nearest folder that exists.
    QString probe = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(probe)) {
        const QString parent = QFileInfo(probe).absolutePath();
        if (parent == probe)
            return {};
        probe = parent;
    }
    const QStorageInfo storage(probe);
    if (!storage.isValid() || !storage.isReady())
        return {};
    VolumeSpace space;
    space.freeBytes = storage.bytesAvailable();
    space.name = QDir::toNativeSeparators(storage.rootPath());
    if (space.name.size() >= 2 && space.name.at(1) == QLatin1Char(':'))
        space.name = space.name.left(2).toUpper(); // a drive: "C:"
    return space;
}

void setFreeSpaceSource(FreeSpaceSource source)
{
    freeSpaceSource() = std::move(source);
}

bool checkDiskSpace(const QString &path, qint64 neededKb)
{
    const FreeSpaceSource &source = freeSpaceSource();
    const VolumeSpace space = source ? source(path) : systemVolumeSpace(path);
    if (space.freeBytes < 0 || space.freeBytes >= neededKb * 1000)
        return true;
    dialogs().ShowInfo(QStringLiteral("Diskspace on drive \"") + space.name
        + QStringLiteral("\" < ") + QString::number(neededKb)
        + QStringLiteral("Kb!\nProcess stopped."));
    return false;
}

} // namespace platform
