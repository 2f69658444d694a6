#pragma once

// What the platform variants of copying files give filecopy.cpp; not for use outside
// src/platform.

#include <QDateTime>
#include <QFile>
#include <QString>

namespace platform {

// Copies a file whose target name only its bytes give (a copy under a source name that is no
// UTF-8), keeping the date; false with *handled unset when the ordinary copy applies.
bool copyUnderNativeName(
    QFile &in, const QString &source, const QString &target, const QDateTime &modified, bool *handled);

// Whether two paths name one file on disk (the same device and node); false where the system
// cannot tell.
bool sameFileOnDisk(const QString &a, const QString &b);

} // namespace platform
