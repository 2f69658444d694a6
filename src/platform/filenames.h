#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Names on disk are bytes. A name that is valid UTF-8 is shown as UTF-8; any other in its
// Latin-1 reading, one character per byte, as names made on Windows often arrive (caf\xe9.htm
// shows as café.htm). Nothing is lost: encodeFilePath finds the bytes again.
QString decodeFileName(QByteArrayView bytes);

// The bytes that name the file `path` shows: every part of the path by its UTF-8 bytes, or by
// its Latin-1 bytes when only those name an entry on disk. Parts that name nothing yet (a
// file about to be made) take UTF-8.
QByteArray encodeFilePath(const QString &path);

// True when the path holds what an undecodable name turns into through a decoder that does
// not keep it (U+FFFD): such a path names no file, and saying so beats "No such file".
bool hasUndecodableName(const QString &path);

// The reason a file operation on `path` failed with the system's `errnum`.
QString fileErrorText(const QString &path, int errnum);

} // namespace platform
