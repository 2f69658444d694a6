#include "replace/undostore.h"

#include "platform/atomicfile.h"
#include "platform/safefile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QIODevice>

namespace replace {

namespace {

constexpr quint32 kMagic = 0x46535544; // "FSUD"
constexpr quint32 kVersion = 1;
constexpr qint64 kLargestFile = qint64(1) << 30;
const QString kSuffix = QStringLiteral(".undo");
const QString kIdFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

QByteArray serialized(const UndoRecord &record)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kVersion << record.id << record.when << record.summary
        << quint64(record.files.size());
    for (const UndoFile &file : record.files) {
        out << file.path << file.oldHash << file.newHash << quint64(file.pieces.size());
        for (const UndoPiece &piece : file.pieces)
            out << qint64(piece.at) << qint64(piece.length) << piece.old;
    }
    return bytes;
}

bool deserialized(const QByteArray &bytes, UndoRecord *record)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint32 version = 0;
    quint64 files = 0;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        return false;
    in >> record->id >> record->when >> record->summary >> files;
    record->files.clear();
    for (quint64 f = 0; f < files && in.status() == QDataStream::Ok; ++f) {
        UndoFile file;
        quint64 pieces = 0;
        in >> file.path >> file.oldHash >> file.newHash >> pieces;
        for (quint64 p = 0; p < pieces && in.status() == QDataStream::Ok; ++p) {
            UndoPiece piece;
            qint64 at = 0;
            qint64 length = 0;
            in >> at >> length >> piece.old;
            piece.at = qsizetype(at);
            piece.length = qsizetype(length);
            file.pieces.push_back(std::move(piece));
        }
        record->files.push_back(std::move(file));
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

} // namespace

QByteArray contentHash(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

UndoFile undoFileFor(const QString &path, const QByteArray &page, const std::vector<Edit> &edits)
{
    UndoFile file;
    file.path = path;
    qsizetype shift = 0;
    for (const Edit &edit : edits) {
        file.pieces.push_back(
            { edit.begin + shift, edit.bytes.size(), page.mid(edit.begin, edit.end - edit.begin) });
        shift += edit.bytes.size() - (edit.end - edit.begin);
    }
    return file;
}

QByteArray undone(const QByteArray &current, const UndoFile &file)
{
    QByteArray out;
    qsizetype at = 0;
    for (const UndoPiece &piece : file.pieces) {
        if (piece.at < at || piece.at + piece.length > current.size())
            return QByteArray(); // a record that does not fit this file
        out.append(current.constData() + at, piece.at - at);
        out.append(piece.old);
        at = piece.at + piece.length;
    }
    out.append(current.constData() + at, current.size() - at);
    return out;
}

UndoStore::UndoStore(const QString &programFolder)
    : m_folder(QDir(programFolder).filePath(QStringLiteral("UNDO")))
{ }

QString UndoStore::newId() const
{
    const QStringList existing
        = QDir(m_folder).entryList({ QLatin1Char('*') + kSuffix }, QDir::Files, QDir::Name);
    QDateTime when = QDateTime::currentDateTime();
    QString id = when.toString(kIdFormat);
    const QString latest = existing.isEmpty() ? QString() : existing.last().chopped(kSuffix.size());
    while (id <= latest) {
        when = when.addMSecs(1);
        id = when.toString(kIdFormat);
    }
    return id;
}

bool UndoStore::save(const UndoRecord &record, QString *error) const
{
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    QString reason;
    if (!platform::writeFileAtomically(
            QDir(m_folder).filePath(record.id + kSuffix), serialized(record), &reason)) {
        *error = QStringLiteral("Cannot write the undo record: %1").arg(reason);
        return false;
    }
    QStringList kept = QDir(m_folder).entryList({ QLatin1Char('*') + kSuffix }, QDir::Files, QDir::Name);
    while (kept.size() > kKept)
        QFile::remove(QDir(m_folder).filePath(kept.takeFirst()));
    return true;
}

std::vector<UndoRecord> UndoStore::list() const
{
    std::vector<UndoRecord> records;
    const QStringList names
        = QDir(m_folder).entryList({ QLatin1Char('*') + kSuffix }, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : names) {
        UndoRecord record;
        QString ignored;
        if (load(name.chopped(kSuffix.size()), &record, &ignored))
            records.push_back(std::move(record));
    }
    return records;
}

bool UndoStore::load(const QString &id, UndoRecord *record, QString *error) const
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')) || id.contains(QLatin1Char('\\'))) {
        *error = QStringLiteral("There is no replace \"%1\" to undo.").arg(id);
        return false;
    }
    const QString path = QDir(m_folder).filePath(id + kSuffix);
    if (!QFile::exists(path)) {
        *error = QStringLiteral("There is no replace \"%1\" to undo.").arg(id);
        return false;
    }
    QByteArray bytes;
    QString reason;
    if (!platform::readRegularFile(path, kLargestFile, &bytes, &reason)) {
        *error = QStringLiteral("Cannot read the undo record %1: %2").arg(id, reason);
        return false;
    }
    if (!deserialized(bytes, record) || record->id != id) {
        *error = QStringLiteral("The undo record %1 is damaged.").arg(id);
        return false;
    }
    return true;
}

bool UndoStore::remove(const QString &id, QString *error) const
{
    return platform::removeFileAt(QDir(m_folder).filePath(id + kSuffix), error);
}

UndoOutcome UndoStore::undo(const UndoRecord &record) const
{
    UndoOutcome outcome;
    UndoRecord rest = record;
    rest.files.clear();
    for (const UndoFile &file : record.files) {
        QByteArray current;
        QString reason;
        if (!platform::readRegularFile(file.path, kLargestFile, &current, &reason)) {
            outcome.leftAlone << QStringLiteral("%1: cannot read: %2").arg(file.path, reason);
            rest.files.push_back(file);
            continue;
        }
        const QByteArray hash = contentHash(current);
        if (hash == file.oldHash)
            continue; // never written by the replace, or put back already
        if (hash != file.newHash) {
            outcome.leftAlone << QStringLiteral("%1: changed since the replace, left alone").arg(file.path);
            rest.files.push_back(file);
            continue;
        }
        const QByteArray old = undone(current, file);
        if (contentHash(old) != file.oldHash) {
            outcome.leftAlone << QStringLiteral("%1: the undo record does not fit the file").arg(file.path);
            continue;
        }
        if (!platform::writeFileAtomically(file.path, old, &reason)) {
            outcome.leftAlone << QStringLiteral("%1: cannot write: %2").arg(file.path, reason);
            rest.files.push_back(file);
            continue;
        }
        outcome.restored << file.path;
    }
    QString ignored;
    if (rest.files.empty())
        remove(record.id, &ignored);
    else
        save(rest, &ignored);
    return outcome;
}

} // namespace replace
