#include "platform/filecopyvariant.h"

#include "platform/atomicfile.h"
#include "platform/filenames.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

// A copy under the source's own name keeps that name's bytes, also where they are no UTF-8.
QByteArray targetBytes(const QString &source, const QString &target)
{
    const QByteArray native = encodeFilePath(target);
    if (fileNamePart(source) != fileNamePart(target)
        || fileState(target).kind != FileState::Missing)
        return native;
    const QByteArray from = encodeFilePath(source);
    return native.left(native.lastIndexOf('/') + 1) + from.mid(from.lastIndexOf('/') + 1);
}

// A target whose name only its bytes give is beyond QSaveFile: the copy is made whole in
// memory and written by those bytes.
bool copyByNativeName(QFile &in, const QByteArray &target, const QDateTime &modified)
{
    constexpr qint64 kLargestCopyInMemory = qint64(1) << 30;
    if (in.size() > kLargestCopyInMemory)
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError || !writeNativeFileAtomically(target, bytes))
        return false;
    if (!modified.isValid())
        return true;
    const qint64 msecs = modified.toMSecsSinceEpoch();
    const qint64 seconds = msecs / 1000 - (msecs % 1000 < 0 ? 1 : 0);
    const struct timespec times[2]
        = { { 0, UTIME_OMIT }, { time_t(seconds), long((msecs - seconds * 1000) * 1000000) } };
    return ::utimensat(AT_FDCWD, target.constData(), times, 0) == 0;
}

} // namespace

bool copyUnderNativeName(
    QFile &in, const QString &source, const QString &target, const QDateTime &modified, bool *handled)
{
    const QByteArray native = targetBytes(source, target);
    *handled = native != QFile::encodeName(target);
    return *handled && copyByNativeName(in, native, modified);
}

bool sameFileOnDisk(const QString &a, const QString &b)
{
    struct stat left;
    struct stat right;
    return ::stat(encodeFilePath(a).constData(), &left) == 0
        && ::stat(encodeFilePath(b).constData(), &right) == 0 && left.st_dev == right.st_dev
        && left.st_ino == right.st_ino;
}

} // namespace platform
