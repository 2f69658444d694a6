// The variant of the atomic write for systems without POSIX calls: through QSaveFile.
#include "platform/atomicfile.h"

#include "platform/failure.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

bool failSave(QSaveFile &file, QString *error, const QString &reason)
{
    file.cancelWriting(); // the temporary file goes with `file`
    return fail(error, reason);
}

} // namespace

bool writeNativeFileAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, QString *error)
{
    return writeFileAtomically(QFile::decodeName(nativePath), bytes, error);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return failSave(file, error, file.errorString());
    errno = 0;
    // A write cut short by a full disk is no error to QSaveFile: commit() would put the cut
    // file in place and succeed. So every byte must be out of the buffer before committing.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int reason = errno;
        return failSave(file, error,
            reason != 0 ? QString::fromLocal8Bit(std::strerror(reason))
                        : QStringLiteral("Not all of the file could be written."));
    }
    return file.commit() || fail(error, file.errorString());
}

} // namespace platform
