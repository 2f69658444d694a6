#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace scan {

// The lines of a list file's text. Lines end in CR LF, LF alone or CR alone; blank lines are
// dropped (a list file has none).
QStringList splitListText(const QString &text);

// A list file's bytes: UTF-8 when they are valid UTF-8, otherwise one character per byte.
QStringList listRecordsFromBytes(const QByteArray &bytes);

// The records as a list file holds them: UTF-8, every line ended by CR LF. A file name that is
// not UTF-8 is held as the program shows it, in its Latin-1 reading: the list stays UTF-8 text
// that lists written before read alike, and the file operations find the name's bytes again.
QByteArray listFileBytes(const QStringList &records);

// Reads a list file; false with the system's reason in `error` when it cannot be read or is
// not a plain file.
bool readListFile(const QString &path, QStringList *records, QString *error);

// Writes a list file by atomic replace: on failure the old file stays whole.
bool writeListFile(const QString &path, const QStringList &records, QString *error);

// The name proposed for a new list: the first of "(newlist1).lst" ... "(newlist100).lst" that
// does not exist in `listsFolder`, or the last one when they all do.
QString newListFileName(const QString &listsFolder);

} // namespace scan
