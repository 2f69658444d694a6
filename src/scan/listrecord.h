#pragma once

#include "scan/folderscan.h"

#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace scan {

// The columns of the report list, in the order of a record's fields.
enum Column { FolderColumn, NameColumn, ExtColumn, SizeColumn, DateColumn, ColumnCount };

// One entry of the working list. A record is its text form: the five fields joined by "*".
struct ListEntry {
    QString folder; // with one trailing separator
    QString name; // without extension
    QString ext; // with its dot, or empty
    QString size; // bytes, decimal
    QString date; // "yyyy-MM-dd  hh:mm", local time

    QString path() const { return folder + name + ext; }
    QString record() const;
    const QString &field(int column) const;
    QString &field(int column);
    bool operator==(const ListEntry &) const = default;
};

// Field k is the text between the k-th and the (k+1)-th "*"; missing fields are empty and
// fields beyond the fifth are ignored. Fields equal to those of `previous` share its text.
ListEntry entryFromRecord(const QString &record, const ListEntry *previous = nullptr);
QList<ListEntry> entriesFromRecords(const QStringList &records);
QStringList recordsOf(const QList<ListEntry> &entries);

// The last-write time as a list shows it: "2001-03-17  14:05".
QString listDate(const QDateTime &time);

// The entry for a directory entry found in `folder`; a folder's size counts as 0.
ListEntry makeListEntry(const QString &folder, const QFileInfo &entry);
ListEntry makeListEntry(const QString &folder, const QString &name, const EntryFacts &facts);
QString MakeListRecord(const QString &folder, const QFileInfo &entry);
// The entry for the file at `path` as the disk shows it now, with `folder` as its folder;
// nothing when no file is there or it cannot be looked at, with the system's reason in `error`.
std::optional<ListEntry> diskEntry(
    const QString &folder, const QString &path, int *error = nullptr);

// False for a path that a record cannot hold: "*" separates the fields and a line break ends
// the record, and a POSIX name may contain either.
bool fitsInRecord(const QString &folder, const QString &name);

// The one note for the `count` found files whose path holds a line break and that a search
// therefore left out of its list.
QString lineBreakNote(int count);

// The records that "Search" finds in `folder`, appended in scan order: with sub-folders by
// ScanFolder, otherwise by ScanOneFolder. Returns false when the scan was stopped. Files whose
// path holds a line break are left out and counted in `withLineBreak` (when given); those with
// a "*" are left out silently.
bool appendFolderRecords(QStringList &records, const QString &folder, bool includeSubfolders,
    const ScanOptions &options, int *withLineBreak = nullptr);
// The same records one at a time, none kept.
bool forEachFolderRecord(const QString &folder, bool includeSubfolders, const ScanOptions &options,
    const std::function<void(const QString &record)> &take, int *withLineBreak = nullptr);
// The entries of those records, made without the records; equal folders, extensions and dates
// share one copy.
bool appendFolderEntries(QList<ListEntry> &entries, const QString &folder, bool includeSubfolders,
    const ScanOptions &options, int *withLineBreak = nullptr);

// Sorts the records (locale order, letters compared without regard to case) and keeps the
// first of each run of records with the same folder, name and extension, compared exactly.
void RemoveDuplicateRecords(QStringList &records);

// "INDEX", "DEFAULT", "START" or "WELCOME" in any letter case: drawn in red in the list.
bool isStartPageName(const QString &name);

// The title of the report list for a list file, folder or merged names.
QString ListTitle(const QString &name);

} // namespace scan
