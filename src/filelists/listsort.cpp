#include "filelists/listsort.h"

#include <QCollator>
#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace filelists {

namespace {

QCollator textCollator()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// Each distinct text once, ranked by the collator: rows then compare by integers.
std::vector<int> textRanks(const QList<scan::ListEntry> &entries, int column)
{
    // Each row's slot among the distinct texts, counted from 1 in the table.
    // Views, not copies: the entries outlive the table.
    QHash<QStringView, int> slotOf;
    slotOf.reserve(entries.size());
    std::vector<const QString *> texts;
    std::vector<int> slots;
    slots.reserve(size_t(entries.size()));
    for (const scan::ListEntry &entry : entries) {
        const QString &text = entry.field(column);
        int &slot = slotOf[QStringView(text)];
        if (slot == 0) {
            texts.push_back(&text);
            slot = int(texts.size());
        }
        slots.push_back(slot - 1);
    }
    const QCollator collator = textCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString *text : texts)
        keys.push_back(collator.sortKey(*text));
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
        [&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    std::vector<int> rankOf(texts.size(), 0);
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        // Texts the collator holds equal share a rank.
        if (i > 0 && keys[size_t(order[i - 1])].compare(keys[size_t(order[i])]) != 0)
            ++rank;
        rankOf[size_t(order[i])] = rank;
    }
    std::vector<int> ranks;
    ranks.reserve(slots.size());
    for (const int slot : slots)
        ranks.push_back(rankOf[size_t(slot)]);
    return ranks;
}

bool digitsAt(const QString &text, qsizetype from, qsizetype count)
{
    for (qsizetype i = from; i < from + count; ++i)
        if (i >= text.size() || !text.at(i).isDigit())
            return false;
    return true;
}

// A date ("2001-03-17", optionally with a time after one or two blanks) or a time ("14:05",
// "14:05:33") as days, so that dates and times compare on one scale.
std::optional<double> dateValue(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (digitsAt(trimmed, 0, 4) && trimmed.size() >= 10 && trimmed.at(4) == u'-') {
        const QDate date = QDate::fromString(trimmed.left(10), QStringLiteral("yyyy-MM-dd"));
        const QString rest = trimmed.mid(10).trimmed();
        const QTime time = rest.isEmpty() ? QTime(0, 0) : QTime::fromString(rest, u"hh:mm");
        if (!date.isValid() || !time.isValid())
            return std::nullopt;
        return double(date.toJulianDay()) + time.msecsSinceStartOfDay() / 86400000.0;
    }
    if (digitsAt(trimmed, 0, 2) && trimmed.size() >= 5 && trimmed.at(2) == u':') {
        QTime time = QTime::fromString(trimmed, u"hh:mm");
        if (!time.isValid())
            time = QTime::fromString(trimmed, u"hh:mm:ss");
        if (time.isValid())
            return time.msecsSinceStartOfDay() / 86400000.0;
    }
    return std::nullopt;
}

// Kinds in the order a typed column shows them, so that every pair of values compares the
// same way whatever else the column holds: blanks first and other texts last, as the text
// order puts them beside digits, numbers and dates each by value between.
struct TypedValue {
    enum Kind { Blank, Number, Date, Text } kind = Text;
    double value = 0;
};

// Plain decimal digits, as sizes are written, without the dearer general parse.
std::optional<double> digitsValue(const QString &text)
{
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return double(value);
}

TypedValue typedValue(const QString &text)
{
    if (const std::optional<double> digits = digitsValue(text))
        return { TypedValue::Number, *digits };
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return { TypedValue::Blank, 0 };
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    // "nan" and "inf" would parse, but no order holds for a value unequal to itself.
    if (isNumber && std::isfinite(number))
        return { TypedValue::Number, number };
    if (const std::optional<double> date = dateValue(text))
        return { TypedValue::Date, *date };
    return {};
}

bool hasValue(TypedValue::Kind kind)
{
    return kind == TypedValue::Number || kind == TypedValue::Date;
}

// Negative, zero or positive by kind and value; nothing when the texts decide.
std::optional<int> compareTyped(const TypedValue &a, const TypedValue &b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (!hasValue(a.kind))
        return std::nullopt;
    return a.value < b.value ? -1 : (b.value < a.value ? 1 : 0);
}

// Rows of numbers and dates alone never need their texts ranked.
bool ranksNeeded(const std::vector<TypedValue> &typed)
{
    if (typed.empty())
        return true;
    return std::any_of(typed.cbegin(), typed.cend(),
        [](const TypedValue &value) { return !hasValue(value.kind); });
}

std::vector<qsizetype> identity(qsizetype size)
{
    std::vector<qsizetype> rows(size_t(size), 0);
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

} // namespace

Comparison comparisonForHeader(const QString &header)
{
    return header == u"Size" ? Comparison::Typed : Comparison::Text;
}

int compareValues(const QString &a, const QString &b, Comparison comparison)
{
    if (comparison == Comparison::Typed) {
        if (const std::optional<int> order = compareTyped(typedValue(a), typedValue(b)))
            return *order;
    }
    return textCollator().compare(a, b);
}

std::vector<qsizetype> sortedRows(
    const QList<scan::ListEntry> &entries, int column, Comparison comparison, Qt::SortOrder order)
{
    std::vector<qsizetype> rows = identity(entries.size());
    std::vector<TypedValue> typed;
    if (comparison == Comparison::Typed) {
        typed.reserve(size_t(entries.size()));
        for (const scan::ListEntry &entry : entries)
            typed.push_back(typedValue(entry.field(column)));
    }
    // Ranking texts is the dearest step: a column of sizes goes without.
    const std::vector<int> ranks
        = ranksNeeded(typed) ? textRanks(entries, column) : std::vector<int>();
    const auto less = [&](qsizetype a, qsizetype b) {
        if (!typed.empty()) {
            if (const std::optional<int> order = compareTyped(typed[size_t(a)], typed[size_t(b)]))
                return *order < 0;
        }
        return ranks[size_t(a)] < ranks[size_t(b)];
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(), less);
    else
        std::stable_sort(
            rows.begin(), rows.end(), [&less](qsizetype a, qsizetype b) { return less(b, a); });
    return rows;
}

} // namespace filelists
