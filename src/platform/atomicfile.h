#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Writes the bytes to a temporary file beside `path` and renames it over the file only when
// every byte reached the disk: a full disk or a file-size limit half-way leaves the old file
// whole and no temporary file behind. False with the reason in `error` (when given).
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same for a file given by the bytes of its path, for a name that is not UTF-8.
bool writeNativeFileAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, QString *error = nullptr);

} // namespace platform
