#include "filelists/listrecord.h"

#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QCollator>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace filelists {

namespace {

const QChar kSeparator = QLatin1Char('*');

void appendTwoDigits(QString &text, int value)
{
    text += QLatin1Char(char('0' + value / 10 % 10));
    text += QLatin1Char(char('0' + value % 10));
}

// Folder + name + extension of a record: the text of its first three fields.
QString duplicateKey(QStringView record)
{
    QString buffer;
    qsizetype start = 0;
    for (int field = 0; field < 3; ++field) {
        const qsizetype end = record.indexOf(kSeparator, start);
        buffer += record.mid(start, end < 0 ? -1 : end - start);
        if (end < 0)
            break;
        start = end + 1;
    }
    return buffer;
}

// A floor division: times before 1970 belong to the minute or hour that starts before them.
qint64 floorDivided(qint64 value, qint64 by)
{
    return value >= 0 ? value / by : (value - by + 1) / by;
}

// Local time's offset from UTC through one whole hour, or nothing when it changes within the
// hour. Each question about local time reads the time zone anew, so each hour is asked once.
std::optional<int> offsetThroughHour(qint64 hour)
{
    static QHash<qint64, std::optional<int>> cache;
    const auto found = cache.constFind(hour);
    if (found != cache.cend())
        return *found;
    if (cache.size() > 65536)
        cache.clear();
    const int first = QDateTime::fromSecsSinceEpoch(hour * 3600).offsetFromUtc();
    const int last = QDateTime::fromSecsSinceEpoch(hour * 3600 + 3599).offsetFromUtc();
    const std::optional<int> offset = first == last ? std::optional<int>(first) : std::nullopt;
    cache.insert(hour, offset);
    return offset;
}

// The local time of a whole minute as a list shows it. Files of one tree share few minutes.
QString dateOfMinute(qint64 minute)
{
    static QHash<qint64, QString> cache;
    const auto found = cache.constFind(minute);
    if (found != cache.cend())
        return *found;
    if (cache.size() > 65536)
        cache.clear();
    const std::optional<int> offset = offsetThroughHour(floorDivided(minute, 60));
    const QDateTime local = offset ? QDateTime::fromSecsSinceEpoch(minute * 60 + *offset, Qt::UTC)
                                   : QDateTime::fromSecsSinceEpoch(minute * 60).toLocalTime();
    const QString text = listDate(local);
    cache.insert(minute, text);
    return text;
}

ListEntry entryWith(
    const QString &folder, const QString &fileName, const std::optional<EntryFacts> &facts)
{
    ListEntry result;
    result.folder = platform::WithTrailingBackslash(folder);
    result.ext = platform::extensionPart(fileName);
    result.name = fileName.first(fileName.size() - result.ext.size());
    result.size = QString::number(facts ? facts->size : 0);
    if (facts)
        result.date = dateOfMinute(floorDivided(facts->modifiedSecs, 60));
    return result;
}

} // namespace

QString ListEntry::record() const
{
    return folder + kSeparator + name + kSeparator + ext + kSeparator + size + kSeparator + date;
}

const QString &ListEntry::field(int column) const
{
    switch (column) {
    case FolderColumn:
        return folder;
    case NameColumn:
        return name;
    case ExtColumn:
        return ext;
    case SizeColumn:
        return size;
    default:
        return date;
    }
}

QString &ListEntry::field(int column)
{
    return const_cast<QString &>(std::as_const(*this).field(column));
}

ListEntry entryFromRecord(const QString &record)
{
    ListEntry entry;
    qsizetype start = 0;
    for (int column = 0; column < ColumnCount && start <= record.size(); ++column) {
        qsizetype end = record.indexOf(kSeparator, start);
        if (end < 0)
            end = record.size();
        entry.field(column) = record.mid(start, end - start);
        start = end + 1;
    }
    return entry;
}

QList<ListEntry> entriesFromRecords(const QStringList &records)
{
    QList<ListEntry> entries;
    entries.reserve(records.size());
    for (const QString &record : records)
        entries.append(entryFromRecord(record));
    return entries;
}

QStringList recordsOf(const QList<ListEntry> &entries)
{
    QStringList records;
    records.reserve(entries.size());
    for (const ListEntry &entry : entries)
        records.append(entry.record());
    return records;
}

QString listDate(const QDateTime &time)
{
    if (!time.isValid())
        return {};
    const QDate date = time.date();
    const QTime clock = time.time();
    QString text = QString::number(date.year());
    text.reserve(17);
    text += QLatin1Char('-');
    appendTwoDigits(text, date.month());
    text += QLatin1Char('-');
    appendTwoDigits(text, date.day());
    text += QLatin1String("  ");
    appendTwoDigits(text, clock.hour());
    text += QLatin1Char(':');
    appendTwoDigits(text, clock.minute());
    return text;
}

ListEntry makeListEntry(const QString &folder, const QFileInfo &entry)
{
    return entryWith(folder, entry.fileName(), entryFacts(entry.filePath()));
}

ListEntry makeListEntry(const QString &folder, const QString &name, const EntryFacts &facts)
{
    return entryWith(folder, name, facts);
}

std::optional<ListEntry> diskEntry(const QString &folder, const QString &path)
{
    const std::optional<EntryFacts> facts = entryFacts(path);
    if (!facts)
        return std::nullopt;
    return entryWith(folder, platform::fileNamePart(path), facts);
}

QString MakeListRecord(const QString &folder, const QFileInfo &entry)
{
    return makeListEntry(folder, entry).record();
}

bool fitsInRecord(const QString &folder, const QString &name)
{
    return !folder.contains(kSeparator) && !name.contains(kSeparator);
}

bool appendFolderRecords(
    QStringList &records, const QString &folder, bool includeSubfolders, const ScanOptions &options)
{
    const FoundEntry append
        = [&records](const QString &in, const QString &name, const EntryFacts &facts) {
              if (fitsInRecord(in, name))
                  records.append(makeListEntry(in, name, facts).record());
          };
    return includeSubfolders ? ScanFolder(folder, options, append)
                             : ScanOneFolder(folder, options, append);
}

void RemoveDuplicateRecords(QStringList &records)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(records.size()));
    for (const QString &record : std::as_const(records))
        // Folded first: the sort keys of the C locale ignore the collator's case setting.
        keys.push_back(collator.sortKey(record.toCaseFolded()));
    std::vector<qsizetype> order(size_t(records.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&keys](qsizetype a, qsizetype b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });

    // A key seen anywhere before, not only in the record kept last: with letters sorted
    // without regard to case, "index" and "INDEX" may interleave, and comparing with the
    // last one alone would keep a true duplicate.
    QStringList kept;
    kept.reserve(records.size());
    QSet<QString> seen;
    seen.reserve(records.size());
    for (const qsizetype index : order) {
        const QString &record = records.at(index);
        const QString key = duplicateKey(record);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        kept.append(record);
    }
    records = std::move(kept);
}

bool isStartPageName(const QString &name)
{
    for (const char *start : { "INDEX", "DEFAULT", "START", "WELCOME" })
        if (name.compare(QLatin1String(start), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString ListTitle(const QString &name)
{
    return QStringLiteral(" Files found in \"") + name + QStringLiteral("\":");
}

} // namespace filelists
