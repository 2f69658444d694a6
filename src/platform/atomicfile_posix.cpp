// The POSIX variant of the atomic write: by the names' bytes, links followed, the file's owner,
// mode and other links kept.
#include "platform/atomicfile.h"

#include "platform/atomicvariant.h"
#include "platform/failure.h"
#include "platform/filenames.h"
#include "platform/safefile.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString reasonText(int errnum)
{
    return QString::fromLocal8Bit(std::strerror(errnum != 0 ? errnum : EIO));
}

bool failWith(QString *error, int errnum)
{
    return fail(error, reasonText(errnum));
}

// Writes all bytes at the file position, or from `offset` when it is not negative.
bool writeAll(int fd, const QByteArray &bytes, off_t offset = -1)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const size_t left = size_t(bytes.size() - done);
        const ssize_t written = offset < 0
            ? ::write(fd, bytes.constData() + done, left)
            : ::pwrite(fd, bytes.constData() + done, left, offset + off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// The file a write to `path` lands in: links are followed to the file they name (or would
// make), so that the link stays a link.
QByteArray followLinks(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {
        };
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size())
            break;
        target.truncate(length);
        if (!target.startsWith('/'))
            target.prepend(path.left(path.lastIndexOf('/') + 1));
        path = target;
    }
    return path;
}

// A new file NAME.XXXXXX beside the target. Made with the mode a new file gets, so that the
// user's umask applies without changing it for the other threads.
int createTemporary(const QByteArray &path, QByteArray *temp)
{
    static constexpr char kLetters[]
        = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = path + '.';
        for (qsizetype i = 0; i < kTemporaryLetters; ++i)
            *temp += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        const int fd = ::open(temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the old one's owner and group; false when this user may not.
bool keepOwner(int fd, const struct stat &old)
{
    struct stat made {
    };
    if (::fstat(fd, &made) != 0)
        return false;
    if (made.st_uid == old.st_uid && made.st_gid == old.st_gid)
        return true;
    return ::fchown(fd, made.st_uid == old.st_uid ? static_cast<uid_t>(-1) : old.st_uid,
               made.st_gid == old.st_gid ? static_cast<gid_t>(-1) : old.st_gid)
        == 0;
}

// The file itself takes the new content, which lies whole and synced in `temp` meanwhile, so
// that its other links and its owner stay. Room for the content is taken before the first
// byte changes: a full disk then leaves the file as it was.
bool writeThrough(const QByteArray &path, const struct stat &old, const QByteArray &temp,
    const QByteArray &bytes, QString *error)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    const int openError = errno;
    struct stat now {
    };
    if (fd < 0 || ::fstat(fd, &now) != 0 || now.st_dev != old.st_dev || now.st_ino != old.st_ino) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        return fd < 0 ? failWith(error, openError)
                      : fail(error, QStringLiteral("The file was replaced while it was written."));
    }
    const off_t size = off_t(bytes.size());
    if (size > now.st_size) {
        const int reserved = ::posix_fallocate(fd, 0, size);
        // A file system that cannot reserve room is written all the same.
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            const bool restored = ::ftruncate(fd, now.st_size) == 0;
            ::close(fd);
            ::unlink(temp.constData());
            return restored
                ? failWith(error, reserved)
                : fail(error, reasonText(reserved) + QStringLiteral(" (the file grew)"));
        }
    }
    errno = 0;
    bool ok = writeAll(fd, bytes, 0) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (!ok)
        return fail(error,
            reasonText(reason) + QStringLiteral("; the new content is kept whole in ")
                + decodeFileName(temp));
    ::unlink(temp.constData());
    return true;
}

bool writeByNativeName(const QByteArray &native, const QByteArray &bytes, QString *error)
{
    const QByteArray path = followLinks(native);
    struct stat old {
    };
    const bool exists = ::stat(path.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return failWith(error, EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return fail(error, notRegularFileText());
    // A file that this user may not write is not replaced through its folder either.
    if (exists && ::access(path.constData(), W_OK) != 0)
        return failWith(error, errno);
    QByteArray temp;
    const int fd = createTemporary(path, &temp);
    if (fd < 0)
        return failWith(error, errno);
    errno = 0;
    // The owner before the mode: a change of owner clears the set-user-ID bits.
    const bool through = exists && (old.st_nlink > 1 || !keepOwner(fd, old));
    bool ok = (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, bytes)
        && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (ok && through)
        return writeThrough(path, old, temp, bytes, error);
    if (ok && ::rename(temp.constData(), path.constData()) != 0) {
        ok = false;
        reason = errno;
    }
    if (ok)
        return true;
    ::unlink(temp.constData());
    return reason != 0 ? failWith(error, reason)
                       : fail(error, QStringLiteral("Not all of the file could be written."));
}

} // namespace

bool writeNativeFileAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, QString *error)
{
    return writeByNativeName(nativePath, bytes, error);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeByNativeName(encodeFilePath(path), bytes, error);
}

} // namespace platform
