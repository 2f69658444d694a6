#pragma once

#include "support/testfiles.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

// Small file helpers of the file-list tests.
namespace listtest {

inline QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// Writes a file, with its folders, and gives it a modification time when one is given.
inline void writeBytes(const QString &path, const QByteArray &bytes, const QDateTime &modified = {})
{
    writeFile(path, bytes);
    QFile file(path);
    if (modified.isValid() && file.open(QIODevice::Append))
        file.setFileTime(modified, QFileDevice::FileModificationTime);
}

} // namespace listtest
