// The POSIX variant of the safe file operations: by the names' bytes, opening without waiting.
#include "platform/safefile.h"

#include "platform/failure.h"
#include "platform/filenames.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool failWithErrno(QString *error, const QString &path)
{
    return fail(error, fileErrorText(path, errno));
}

// Opens `native` with `flags` and never waits doing so; the descriptor is handed to `file`
// only when it is a regular file.
bool openWithoutWaiting(QFile &file, const QString &path, const QByteArray &native, int flags,
    QIODevice::OpenMode mode, QString *error)
{
    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return failWithErrno(error, path);
    struct stat info {
    };
    // Something else may have taken the file's place since it was looked at.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(error, notRegularFileText());
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file.errorString());
    }
    return true;
}

} // namespace

FileState fileState(const QString &path)
{
    FileState state;
    const QByteArray native = encodeFilePath(path);
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0) {
        state.error = errno;
        return state;
    }
    state.kind = S_ISREG(info.st_mode) ? FileState::Regular
        : S_ISDIR(info.st_mode)        ? FileState::Folder
                                       : FileState::Other;
    state.writable = ::access(native.constData(), W_OK) == 0;
    state.hasWriteBits = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    state.modified = QDateTime::fromMSecsSinceEpoch(
        qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000, Qt::UTC);
    return state;
}

bool openRegularFile(QFile &file, const QString &path, QString *error)
{
    const FileState state = fileState(path);
    if (state.kind == FileState::Missing)
        return fail(error, fileErrorText(path, state.error));
    if (state.kind != FileState::Regular)
        return fail(error, notRegularFileText());
    return openWithoutWaiting(
        file, path, encodeFilePath(path), O_RDONLY, QIODevice::ReadOnly, error);
}

bool openFileForWriting(QFile &file, const QString &path, QString *error)
{
    const FileState state = fileState(path);
    if (state.kind != FileState::Missing && state.kind != FileState::Regular)
        return fail(error, notRegularFileText());
    return openWithoutWaiting(file, path, encodeFilePath(path), O_WRONLY | O_CREAT | O_TRUNC,
        QIODevice::WriteOnly, error);
}

bool makeFolders(const QString &path, QString *error)
{
    const QByteArray native = encodeFilePath(path);
    const auto isFolder = [](const QByteArray &folder) {
        struct stat info {
        };
        return ::stat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode);
    };
    if (isFolder(native))
        return true;
    for (qsizetype end = native.indexOf('/', 1);; end = native.indexOf('/', end + 1)) {
        const QByteArray folder = end < 0 ? native : native.left(end);
        if (!folder.isEmpty() && ::mkdir(folder.constData(), 0777) != 0) {
            const int reason = errno;
            if (reason != EEXIST || !isFolder(folder))
                return fail(error,
                    QStringLiteral("cannot create %1: %2")
                        .arg(decodeFileName(folder),
                            fileErrorText(path, reason == EEXIST ? ENOTDIR : reason)));
        }
        if (end < 0 || end + 1 >= native.size())
            return true;
    }
}

bool removeFileAt(const QString &path, QString *error)
{
    if (::unlink(encodeFilePath(path).constData()) != 0)
        return failWithErrno(error, path);
    return true;
}

} // namespace platform
