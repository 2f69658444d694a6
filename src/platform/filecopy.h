#pragma once

#include "platform/pathrules.h"

#include <QString>

namespace platform {

// Copies in blocks of 16384 bytes into a temporary file beside the target, gives it the
// source's modification time and renames it over the target only when every block was
// written. On failure the target is left as it was and nothing else stays behind.
bool CopyFileKeepDate(const QString &source, const QString &target);

// True when both paths name one file: the same text (letter case ignored in the Windows
// style), or, on a POSIX system, the same file reached another way (a link, ".." parts).
bool isSameFile(const QString &a, const QString &b, PathStyle style = nativePathStyle());

} // namespace platform
