// The variant of the safe file operations for systems without POSIX calls: through Qt.
#include "platform/safefile.h"

#include "platform/failure.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace platform {

FileState fileState(const QString &path)
{
    FileState state;
    const QFileInfo info(path);
    if (!info.exists()) {
        state.error = ENOENT;
        return state;
    }
    state.kind = info.isFile() ? FileState::Regular
        : info.isDir()         ? FileState::Folder
                               : FileState::Other;
    state.writable = info.isWritable();
    state.hasWriteBits = info.isWritable();
    state.modified = info.lastModified();
    return state;
}

bool openRegularFile(QFile &file, const QString &path, QString *error)
{
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
        return fail(error, notRegularFileText());
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) || fail(error, file.errorString());
}

bool openFileForWriting(QFile &file, const QString &path, QString *error)
{
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
        return fail(error, notRegularFileText());
    file.setFileName(path);
    return file.open(QIODevice::WriteOnly) || fail(error, file.errorString());
}

bool makeFolders(const QString &path, QString *error)
{
    return QDir().mkpath(path)
        || fail(error, QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(path)));
}

bool removeFileAt(const QString &path, QString *error)
{
    QFile file(path);
    return file.remove() || fail(error, file.errorString());
}

} // namespace platform
