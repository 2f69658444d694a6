#include "filelists/listsort.h"

#include <QCollator>
#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <numeric>
#include <optional>

namespace filelists {

namespace {

// Each distinct text once, ranked by the collator: rows then compare by integers.
std::vector<int> textRanks(const QList<ListEntry> &entries, int column)
{
    // Each row's slot among the distinct texts, counted from 1 in the table.
    // Views, not copies: the entries outlive the table.
    QHash<QStringView, int> slotOf;
    slotOf.reserve(entries.size());
    std::vector<const QString *> texts;
    std::vector<int> slots;
    slots.reserve(size_t(entries.size()));
    for (const ListEntry &entry : entries) {
        const QString &text = entry.field(column);
        int &slot = slotOf[QStringView(text)];
        if (slot == 0) {
            texts.push_back(&text);
            slot = int(texts.size());
        }
        slots.push_back(slot - 1);
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
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

struct TypedValue {
    enum Kind { Text, Number, Date } kind = Text;
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
    bool isNumber = false;
    const double number = text.trimmed().toDouble(&isNumber);
    if (isNumber)
        return { TypedValue::Number, number };
    if (const std::optional<double> date = dateValue(text))
        return { TypedValue::Date, *date };
    return {};
}

// Rows of one kind, numbers or dates, never need their texts ranked.
bool ranksNeeded(const std::vector<TypedValue> &typed)
{
    if (typed.empty())
        return true;
    const TypedValue::Kind kind = typed.front().kind;
    return kind == TypedValue::Text
        || std::any_of(typed.cbegin(), typed.cend(),
            [kind](const TypedValue &value) { return value.kind != kind; });
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

std::vector<qsizetype> sortedRows(
    const QList<ListEntry> &entries, int column, Comparison comparison, Qt::SortOrder order)
{
    std::vector<qsizetype> rows = identity(entries.size());
    std::vector<TypedValue> typed;
    if (comparison == Comparison::Typed) {
        typed.reserve(size_t(entries.size()));
        for (const ListEntry &entry : entries)
            typed.push_back(typedValue(entry.field(column)));
    }
    // Ranking texts is the dearest step: a column of sizes goes without.
    const std::vector<int> ranks
        = ranksNeeded(typed) ? textRanks(entries, column) : std::vector<int>();
    const auto less = [&](qsizetype a, qsizetype b) {
        if (!typed.empty() && typed[size_t(a)].kind != TypedValue::Text
            && typed[size_t(a)].kind == typed[size_t(b)].kind)
            return typed[size_t(a)].value < typed[size_t(b)].value;
        return ranks[size_t(a)] < ranks[size_t(b)];
    };
    // A stable sort never leaves its range, even though mixed kinds do not order consistently.
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(), less);
    else
        std::stable_sort(
            rows.begin(), rows.end(), [&less](qsizetype a, qsizetype b) { return less(b, a); });
    return rows;
}

} // namespace filelists
