#include "platform/filecopy.h"

#include "platform/atomicfile.h"
#include "platform/filenames.h"
#include "platform/safefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace platform {

namespace {

constexpr qint64 kCopyBlock = 16384;

} // namespace

#ifdef Q_OS_UNIX
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
#endif

bool CopyFileKeepDate(const QString &source, const QString &target)
{
    // Only regular files, opened without waiting: a named pipe would wait for a writer forever.
    QFile in;
    if (!openRegularFile(in, source, nullptr))
        return false;
    const QDateTime modified = in.fileTime(QFileDevice::FileModificationTime);
#ifdef Q_OS_UNIX
    const QByteArray native = targetBytes(source, target);
    if (native != QFile::encodeName(target))
        return copyByNativeName(in, native, modified);
#endif
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    std::array<char, kCopyBlock> block;
    for (;;) {
        const qint64 got = in.read(block.data(), kCopyBlock);
        if (got == 0)
            break;
        if (got < 0 || out.write(block.data(), got) != got) {
            out.cancelWriting();
            return false;
        }
    }
    // Set last: a later write would move the time again.
    if (modified.isValid())
        out.setFileTime(modified, QFileDevice::FileModificationTime);
    return out.commit();
}

bool isSameFile(const QString &a, const QString &b, PathStyle style)
{
    if (style == PathStyle::Windows) {
        QString left = a;
        QString right = b;
        left.replace(QLatin1Char('/'), QLatin1Char('\\'));
        right.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return left.compare(right, Qt::CaseInsensitive) == 0;
    }
    if (QDir::cleanPath(QFileInfo(a).absoluteFilePath())
        == QDir::cleanPath(QFileInfo(b).absoluteFilePath()))
        return true;
#ifdef Q_OS_UNIX
    struct stat left;
    struct stat right;
    return ::stat(encodeFilePath(a).constData(), &left) == 0
        && ::stat(encodeFilePath(b).constData(), &right) == 0 && left.st_dev == right.st_dev
        && left.st_ino == right.st_ino;
#else
    return false;
#endif
}

} // namespace platform
