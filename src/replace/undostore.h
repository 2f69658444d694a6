#pragma once

#include "replace/replacer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace replace {

// The bytes a replace took out of one file: enough to put them back, and to see whether the
// file is still as the replace left it.
struct UndoPiece {
    qsizetype at = 0; // in the file as the replace wrote it
    qsizetype length = 0; // the bytes written there
    QByteArray old; // the bytes that stood there before
};

struct UndoFile {
    QString path;
    QByteArray oldHash; // of the whole file before
    QByteArray newHash; // and after
    std::vector<UndoPiece> pieces;
};

struct UndoRecord {
    QString id;
    QDateTime when;
    QString summary; // describeReplace() of the replace
    std::vector<UndoFile> files;
};

// A record's pieces for a file and its edits; the file's hashes are set by the caller.
UndoFile undoFileFor(const QString &path, const QByteArray &page, const std::vector<Edit> &edits);
// The hash the records keep of a file.
QByteArray contentHash(const QByteArray &bytes);
// The file as it was before, from the file as the replace left it.
QByteArray undone(const QByteArray &current, const UndoFile &file);

// What an undo did: the files put back, and those it left alone with the reason.
struct UndoOutcome {
    QStringList restored;
    QStringList leftAlone; // "PATH: REASON"
};

// The undo records of a program folder, in its "UNDO" folder: one file a replace, written
// atomically, the newest kept records only.
class UndoStore
{
public:
    static constexpr int kKept = 10;

    explicit UndoStore(const QString &programFolder);
    QString folder() const { return m_folder; }

    // A new id, later than every record's.
    QString newId() const;
    // Writes the record (replacing one of the same id) and drops the oldest beyond kKept.
    bool save(const UndoRecord &record, QString *error) const;
    // Newest first; records that cannot be read are passed over.
    std::vector<UndoRecord> list() const;
    bool load(const QString &id, UndoRecord *record, QString *error) const;
    bool remove(const QString &id, QString *error = nullptr) const;

    // Puts every file of the record back as it was, byte for byte, after checking that it is
    // still as the replace left it; a file changed since is left alone and named. A file that
    // the replace never came to write is as it was already. The record goes when every file
    // was dealt with.
    UndoOutcome undo(const UndoRecord &record) const;

private:
    QString m_folder;
};

} // namespace replace
