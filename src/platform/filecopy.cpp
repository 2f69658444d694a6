#include "platform/filecopy.h"

#include "platform/filecopyvariant.h"
#include "platform/safefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

namespace platform {

namespace {

constexpr qint64 kCopyBlock = 16384;

} // namespace

bool CopyFileKeepDate(const QString &source, const QString &target)
{
    // Only regular files, opened without waiting: a named pipe would wait for a writer forever.
    QFile in;
    if (!openRegularFile(in, source, nullptr))
        return false;
    const QDateTime modified = in.fileTime(QFileDevice::FileModificationTime);
    bool handled = false;
    const bool copied = copyUnderNativeName(in, source, target, modified, &handled);
    if (handled)
        return copied;
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
    return sameFileOnDisk(a, b);
}

} // namespace platform
