#include "scan/listrecord.h"

#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QCollator>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
#include <vector>

namespace scan {

namespace {

const QChar kSeparator = QLatin1Char('*');
const qint64 kJulianDayOf1970 = 2440588;

// Short text kept in place: the fields of a record are written without an allocation each.
template<size_t Capacity> class ShortText
{
public:
    QStringView view() const { return QStringView(m_chars.data(), m_size); }
    void append(QStringView text)
    {
        const qsizetype count = std::min(text.size(), qsizetype(Capacity) - m_size);
        std::copy_n(text.utf16(), count, m_chars.data() + m_size);
        m_size += count;
    }
    void append(char16_t c)
    {
        if (m_size < qsizetype(Capacity))
            m_chars[size_t(m_size++)] = c;
    }
    void appendTwoDigits(int value)
    {
        append(char16_t(u'0' + value / 10 % 10));
        append(char16_t(u'0' + value % 10));
    }

private:
    std::array<char16_t, Capacity> m_chars;
    qsizetype m_size = 0;
};

// Room for any year QDate holds (11 characters at most) with the rest of a date and a clock.
using DateField = ShortText<32>;

// A size in decimal as QString::number writes it.
class SizeDigits
{
public:
    explicit SizeDigits(qint64 value)
    {
        quint64 rest = value < 0 ? 0 - quint64(value) : quint64(value);
        do {
            m_chars[size_t(--m_start)] = char16_t(u'0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (value < 0)
            m_chars[size_t(--m_start)] = u'-';
    }
    QStringView view() const
    {
        return QStringView(m_chars.data() + m_start, qsizetype(m_chars.size()) - m_start);
    }

private:
    std::array<char16_t, 20> m_chars;
    qsizetype m_start = 20;
};

// "2001-03-17"; a year of other than four digits as it comes; empty for an invalid date.
QString dayText(QDate date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid())
        return {};
    ShortText<24> text;
    if (year >= 1000 && year <= 9999) {
        text.appendTwoDigits(year / 100);
        text.appendTwoDigits(year % 100);
    } else {
        text.append(QString::number(year));
    }
    text.append(u'-');
    text.appendTwoDigits(month);
    text.append(u'-');
    text.appendTwoDigits(day);
    return text.view().toString();
}

// "2001-03-17  14:05" from the day's text; empty when that is.
DateField dateField(QStringView day, int hour, int minute)
{
    DateField field;
    if (day.isEmpty())
        return field;
    field.append(day);
    field.append(u"  ");
    field.appendTwoDigits(hour);
    field.append(u':');
    field.appendTwoDigits(minute);
    return field;
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

// The latest result for each of a fixed number of slots: files of one folder often share
// their minute, and nothing grows however many minutes a tree holds.
template<typename Value, size_t Slots> class RecentResults
{
public:
    template<typename Make> const Value &get(qint64 key, const Make &make)
    {
        Slot &slot = m_slots[size_t(quint64(key) % Slots)];
        if (!slot.filled || slot.key != key) {
            slot.value = make(key);
            slot.key = key;
            slot.filled = true;
        }
        return slot.value;
    }

private:
    struct Slot {
        qint64 key = 0;
        bool filled = false;
        Value value {};
    };
    std::array<Slot, Slots> m_slots {};
};

// Local time's offset from UTC through one whole hour, or nothing when it changes within the
// hour. Each question about local time reads the time zone anew, so each hour is asked once.
std::optional<int> offsetThroughHour(qint64 hour)
{
    static RecentResults<std::optional<int>, 1024> recent;
    return recent.get(hour, [](qint64 key) -> std::optional<int> {
        const int first = QDateTime::fromSecsSinceEpoch(key * 3600).offsetFromUtc();
        const int last = QDateTime::fromSecsSinceEpoch(key * 3600 + 3599).offsetFromUtc();
        return first == last ? std::optional<int>(first) : std::nullopt;
    });
}

// The text of a local day, 1970-01-01 being day 0. A tree's files mostly fall on a few days.
const QString &dayTextOf(qint64 day)
{
    static RecentResults<QString, 256> recent;
    return recent.get(
        day, [](qint64 key) { return dayText(QDate::fromJulianDay(key + kJulianDayOf1970)); });
}

// The local time of a whole minute as a list shows it.
DateField dateOfMinute(qint64 minute)
{
    const std::optional<int> offset = offsetThroughHour(floorDivided(minute, 60));
    if (!offset) {
        DateField field;
        field.append(listDate(QDateTime::fromSecsSinceEpoch(minute * 60).toLocalTime()));
        return field;
    }
    const qint64 local = minute * 60 + *offset;
    const qint64 day = floorDivided(local, 86400);
    const qint64 second = local - day * 86400;
    return dateField(dayTextOf(day), int(second / 3600), int(second % 3600 / 60));
}

QString joinedRecord(
    QStringView folder, QStringView name, QStringView ext, QStringView size, QStringView date)
{
    return folder % kSeparator % name % kSeparator % ext % kSeparator % size % kSeparator % date;
}

// The length of a file name without its extension, as extensionPart takes the extension.
qsizetype baseNameLength(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName.size() : dot;
}

// The record of a found entry, with `folder` ending in its separator, built in one piece.
QString recordOf(const QString &folder, const QString &fileName, const EntryFacts &facts)
{
    const qsizetype nameLength = baseNameLength(fileName);
    return joinedRecord(folder, QStringView(fileName).first(nameLength),
        QStringView(fileName).sliced(nameLength), SizeDigits(facts.size).view(),
        dateOfMinute(floorDivided(facts.modifiedSecs, 60)).view());
}

// `text`, sharing the copy of `previous` when that holds the same text: a long list holds its
// folders, extensions and dates many times over, and shared copies save most allocations.
QString sharedText(const QString *previous, QStringView text)
{
    return previous && *previous == text ? *previous : text.toString();
}

// The entry whose record recordOf makes; `previous` is the entry before it, if any.
ListEntry foundEntry(const QString &folder, const QString &fileName, const EntryFacts &facts,
    const ListEntry *previous)
{
    const qsizetype nameLength = baseNameLength(fileName);
    ListEntry entry;
    entry.folder = folder;
    entry.name = fileName.first(nameLength);
    entry.ext
        = sharedText(previous ? &previous->ext : nullptr, QStringView(fileName).sliced(nameLength));
    entry.size = SizeDigits(facts.size).view().toString();
    entry.date = sharedText(previous ? &previous->date : nullptr,
        dateOfMinute(floorDivided(facts.modifiedSecs, 60)).view());
    return entry;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// The entries "Search" finds that a record can hold, with their folder's text ending in its
// separator: `take(folder, name, facts)`. Entries come folder by folder, so the folder's text
// is made once. Paths with a line break are counted in `withLineBreak` (when given).
template<typename Take>
bool forEachSearchEntry(const QString &folder, bool includeSubfolders, const ScanOptions &options,
    int *withLineBreak, const Take &take)
{
    QString lastFolder;
    QString prefix;
    bool folderFits = true;
    bool folderBreaks = false;
    const FoundEntry found = [&](const QString &in, const QString &name, const EntryFacts &facts) {
        // The entries of a folder share its text: the same data is the same folder.
        const bool sameFolder = !prefix.isEmpty()
            && (in.constData() == lastFolder.constData() ? in.size() == lastFolder.size()
                                                         : in == lastFolder);
        if (!sameFolder) {
            lastFolder = in;
            prefix = platform::WithTrailingBackslash(in);
            folderFits = !in.contains(kSeparator);
            folderBreaks = hasLineBreak(in);
        }
        if (!folderFits || name.contains(kSeparator))
            return;
        // A list line cannot hold a line break: such a record would split in two.
        if (folderBreaks || hasLineBreak(name)) {
            if (withLineBreak)
                ++*withLineBreak;
            return;
        }
        take(prefix, name, facts);
    };
    return includeSubfolders ? ScanFolder(folder, options, found)
                             : ScanOneFolder(folder, options, found);
}

// The entry of a file in `folder`; a missing file's size counts as 0 and it has no date.
ListEntry entryWith(
    const QString &folder, const QString &fileName, const std::optional<EntryFacts> &facts)
{
    ListEntry result = foundEntry(
        platform::WithTrailingBackslash(folder), fileName, facts.value_or(EntryFacts {}), nullptr);
    if (!facts)
        result.date.clear();
    return result;
}

} // namespace

QString ListEntry::record() const
{
    return joinedRecord(folder, name, ext, size, date);
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

ListEntry entryFromRecord(const QString &record, const ListEntry *previous)
{
    ListEntry entry;
    qsizetype start = 0;
    for (int column = 0; column < ColumnCount && start <= record.size(); ++column) {
        qsizetype end = record.indexOf(kSeparator, start);
        if (end < 0)
            end = record.size();
        entry.field(column) = sharedText(previous ? &previous->field(column) : nullptr,
            QStringView(record).sliced(start, end - start));
        start = end + 1;
    }
    return entry;
}

QList<ListEntry> entriesFromRecords(const QStringList &records)
{
    QList<ListEntry> entries;
    entries.reserve(records.size());
    for (const QString &record : records)
        entries.append(entryFromRecord(record, entries.isEmpty() ? nullptr : &entries.last()));
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
    const QTime clock = time.time();
    return dateField(dayText(time.date()), clock.hour(), clock.minute()).view().toString();
}

ListEntry makeListEntry(const QString &folder, const QFileInfo &entry)
{
    return entryWith(folder, entry.fileName(), entryFacts(entry.filePath()));
}

ListEntry makeListEntry(const QString &folder, const QString &name, const EntryFacts &facts)
{
    return entryWith(folder, name, facts);
}

std::optional<ListEntry> diskEntry(const QString &folder, const QString &path, int *error)
{
    const std::optional<EntryFacts> facts = entryFacts(path, error);
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
    return !folder.contains(kSeparator) && !name.contains(kSeparator) && !hasLineBreak(folder)
        && !hasLineBreak(name);
}

QString lineBreakNote(int count)
{
    return QStringLiteral("%1 file name(s) with a line break left out: a list line cannot hold "
                          "one.")
        .arg(count);
}

bool appendFolderRecords(QStringList &records, const QString &folder, bool includeSubfolders,
    const ScanOptions &options, int *withLineBreak)
{
    return forEachFolderRecord(
        folder, includeSubfolders, options,
        [&records](const QString &record) { records.append(record); }, withLineBreak);
}

bool forEachFolderRecord(const QString &folder, bool includeSubfolders, const ScanOptions &options,
    const std::function<void(const QString &record)> &take, int *withLineBreak)
{
    return forEachSearchEntry(folder, includeSubfolders, options, withLineBreak,
        [&](const QString &prefix, const QString &name, const EntryFacts &facts) {
            take(recordOf(prefix, name, facts));
        });
}

bool appendFolderEntries(QList<ListEntry> &entries, const QString &folder, bool includeSubfolders,
    const ScanOptions &options, int *withLineBreak)
{
    return forEachSearchEntry(folder, includeSubfolders, options, withLineBreak,
        [&](const QString &prefix, const QString &name, const EntryFacts &facts) {
            entries.append(
                foundEntry(prefix, name, facts, entries.isEmpty() ? nullptr : &entries.last()));
        });
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

} // namespace scan
