#pragma once

#include <QString>

namespace platform {

// Rules written for Windows paths keep their Windows form when asked for it, so that
// they can be checked against their worked examples on every platform.
enum class PathStyle { Windows, Posix };

PathStyle nativePathStyle();
QChar separator(PathStyle style);

// Removes every trailing separator and appends exactly one ("" becomes one separator).
QString WithTrailingBackslash(const QString &path, PathStyle style = nativePathStyle());

// The part of a path after its last separator (or colon, in the Windows style).
QString fileNamePart(const QString &path, PathStyle style = nativePathStyle());

// The folder part of a path with its trailing separator; empty when there is none.
QString folderPart(const QString &path, PathStyle style = nativePathStyle());

} // namespace platform
