#include "platform/atomicfile.h"

#include "platform/filenames.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

bool fail(QSaveFile &file, QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    file.cancelWriting(); // the temporary file goes with `file`
    return false;
}

#ifdef Q_OS_UNIX
bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// What QSaveFile does, for a file whose name only its bytes give (one that is not UTF-8):
// a temporary file beside it, with the old file's permissions, renamed over it when whole.
bool writeByNativeName(const QByteArray &native, const QByteArray &bytes, QString *error)
{
    QByteArray temp = native + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat old {
    };
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    const mode_t mode
        = ::stat(native.constData(), &old) == 0 ? old.st_mode & 07777 : 0666 & ~umaskNow;
    errno = 0;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (ok && ::rename(temp.constData(), native.constData()) != 0) {
        ok = false;
        reason = errno;
    }
    if (ok)
        return true;
    ::unlink(temp.constData());
    if (error)
        *error = reason != 0 ? QString::fromLocal8Bit(std::strerror(reason))
                             : QStringLiteral("Not all of the file could be written.");
    return false;
}
#endif

} // namespace

bool writeNativeFileAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, QString *error)
{
#ifdef Q_OS_UNIX
    return writeByNativeName(nativePath, bytes, error);
#else
    return writeFileAtomically(QFile::decodeName(nativePath), bytes, error);
#endif
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
#ifdef Q_OS_UNIX
    const QByteArray native = encodeFilePath(path);
    if (native != QFile::encodeName(path))
        return writeByNativeName(native, bytes, error);
#endif
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file, error, file.errorString());
    errno = 0;
    // A write cut short by a full disk is no error to QSaveFile: commit() would put the cut
    // file in place and succeed. So every byte must be out of the buffer before committing.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int reason = errno;
        return fail(file, error,
            reason != 0 ? QString::fromLocal8Bit(std::strerror(reason))
                        : QStringLiteral("Not all of the file could be written."));
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
