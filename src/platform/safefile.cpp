#include "platform/safefile.h"

#include "platform/failure.h"

#include <QFileInfo>

namespace platform {

// The variants of the look at a file and of opening, creating and removing files are in
// safefile_posix.cpp (by the names' bytes, never waiting) and safefile_qt.cpp.

QString notRegularFileText()
{
    return QStringLiteral("not a regular file");
}

bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *error)
{
    QFile file;
    if (!openRegularFile(file, path, error))
        return false;
    const QString tooLarge = QStringLiteral("The file is too large.");
    if (file.size() > maxBytes)
        return fail(error, tooLarge);
    // Read in pieces: a file may grow while it is read, or give more than its size says.
    constexpr qint64 kPiece = qint64(1) << 20;
    QByteArray data;
    data.reserve(file.size());
    for (;;) {
        const QByteArray piece = file.read(kPiece);
        if (piece.isEmpty())
            break;
        data += piece;
        if (data.size() > maxBytes)
            return fail(error, tooLarge);
    }
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    *bytes = std::move(data);
    return true;
}

QString nearestExistingFolder(QString folder)
{
    while (!folder.isEmpty() && fileState(folder).kind != FileState::Folder) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            return {};
        folder = parent;
    }
    return folder;
}

} // namespace platform
