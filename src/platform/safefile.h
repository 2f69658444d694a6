#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

namespace platform {

// What every file operation says of a pipe, a device or a socket in a file's place.
QString notRegularFileText();

// A look at the entry a path names, links followed, without opening it.
struct FileState {
    enum Kind { Missing, Regular, Folder, Other };
    Kind kind = Missing;
    int error = 0; // why the look failed, when kind is Missing
    bool writable = false; // the system would let this user write it
    bool hasWriteBits = false; // some permission bit allows writing
    QDateTime modified; // the last change of its content
};
FileState fileState(const QString &path);

// `folder` when it is one, else the nearest of its parents that is; empty when none is.
QString nearestExistingFolder(QString folder);

// Opens a regular file for reading, found by encodeFilePath. Anything else is refused with
// notRegularFileText() before it is opened, and the open itself never waits, so a pipe put in
// the file's place meanwhile cannot hang the caller. False with the reason in `error`.
bool openRegularFile(QFile &file, const QString &path, QString *error);

// The whole of a regular file of at most `maxBytes`; a longer one is refused unread beyond
// that ("The file is too large."), so that no file can exhaust the memory.
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *error);

// Creates or truncates a file for writing; an entry there that is no regular file is refused.
bool openFileForWriting(QFile &file, const QString &path, QString *error);

// Creates the folder `path` and the folders on its way (an existing folder is no error). False
// with "cannot create FOLDER: REASON" in `error`, FOLDER the first one that could not be made.
bool makeFolders(const QString &path, QString *error);

// Deletes the file `path` shows; false with the reason in `error` (when given).
bool removeFileAt(const QString &path, QString *error = nullptr);

} // namespace platform
