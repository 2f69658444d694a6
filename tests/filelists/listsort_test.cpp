#include "filelists/listsort.h"

#include <QCollator>

#include <gtest/gtest.h>

#include "scan/listtestutil.h"

using listtest::u8;
using listtest::writeBytes;

using filelists::Comparison;
using scan::ListEntry;

namespace {

// The values of one column after sorting entries that hold `values` in it.
QStringList sortColumn(const QStringList &values, int column, Comparison comparison,
    Qt::SortOrder order = Qt::AscendingOrder)
{
    QList<ListEntry> entries;
    for (const QString &value : values) {
        ListEntry entry;
        entry.field(column) = value;
        entries.append(entry);
    }
    QStringList sorted;
    for (const qsizetype row : filelists::sortedRows(entries, column, comparison, order))
        sorted.append(values.at(row));
    return sorted;
}

} // namespace

TEST(ListSort, ComparisonByHeader)
{
    EXPECT_EQ(filelists::comparisonForHeader(u8("Size")), Comparison::Typed);
    for (const char *header : { "Folder", "Filename", "Ext", "Date" })
        EXPECT_EQ(filelists::comparisonForHeader(u8(header)), Comparison::Text) << header;
}

TEST(ListSort, TypedValues)
{
    struct Row {
        const char *name;
        QStringList values;
        QStringList expected;
    };
    const Row rows[] = {
        { "numbers by value", { u8("10000"), u8("900"), u8("0"), u8("25") },
            { u8("0"), u8("25"), u8("900"), u8("10000") } },
        { "dates as dates", { u8("2001-03-17  14:05"), u8("1999-12-31  23:59"), u8("2001-03-17") },
            { u8("1999-12-31  23:59"), u8("2001-03-17"), u8("2001-03-17  14:05") } },
        { "times as dates", { u8("14:05"), u8("09:30:10"), u8("09:30") },
            { u8("09:30"), u8("09:30:10"), u8("14:05") } },
        { "texts as texts", { u8("b"), u8("a") }, { u8("a"), u8("b") } },
        { "blanks before numbers", { u8("900"), u8(""), u8("10000") },
            { u8(""), u8("900"), u8("10000") } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(sortColumn(row.values, scan::SizeColumn, Comparison::Typed), row.expected);
        QStringList reversed = row.expected;
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(sortColumn(row.values, scan::SizeColumn, Comparison::Typed, Qt::DescendingOrder),
            reversed);
    }
    // Text order would put 10000 first: the typed comparison is what sorts it last.
    EXPECT_EQ(sortColumn({ u8("900"), u8("10000") }, scan::NameColumn, Comparison::Text),
        QStringList({ u8("10000"), u8("900") }));
}

// Mixed kinds order inconsistently; the sort must still end with every row once.
TEST(ListSort, MixedKindsKeepEveryRow)
{
    QStringList values;
    for (int i = 0; i < 500; ++i)
        values.append(i % 3 == 0 ? QString::number(i * 7 % 101)
                : i % 3 == 1     ? u8("2001-01-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                                 : u8("x%1").arg(i));
    QStringList sorted = sortColumn(values, scan::SizeColumn, Comparison::Typed);
    std::sort(sorted.begin(), sorted.end());
    std::sort(values.begin(), values.end());
    EXPECT_EQ(sorted, values);
}

// A comparison that is no strict weak ordering lets std::stable_sort misorder or crash: each
// mixed column must come out ordered under the comparison, pair by pair, and stay put.
TEST(ListSort, MixedColumnsTotalOrder)
{
    struct Row {
        const char *name;
        QStringList values;
    };
    const Row rows[] = {
        { "numbers by value, texts by text", // 9 < 10 < "5x" < 9 before
            { u8("9"), u8("10"), u8("5x"), u8("abc"), u8(""), u8(" "), u8("0"), u8("10") } },
        { "nan and inf", { u8("nan"), u8("1"), u8("inf"), u8("-inf"), u8("NaN"), u8("2"),
                             u8("x"), u8("nan") } },
        { "numbers, dates and times", { u8("2001-03-17"), u8("900"), u8("14:05"), u8("10000"),
                                          u8("2001-03-17  14:05"), u8("1999-12-31"), u8("abc"),
                                          u8("2000-02-30") } },
        { "one value in many spellings",
            { u8("1e3"), u8("1000"), u8("01000"), u8(" 7 "), u8("7.0"), u8("-3"), u8("+3") } },
    };
    for (const Row &row : rows) {
        for (const Qt::SortOrder order : { Qt::AscendingOrder, Qt::DescendingOrder }) {
            SCOPED_TRACE(std::string(row.name) + (order == Qt::AscendingOrder ? " up" : " down"));
            const int sign = order == Qt::AscendingOrder ? 1 : -1;
            const QStringList sorted
                = sortColumn(row.values, scan::SizeColumn, Comparison::Typed, order);
            for (qsizetype i = 0; i < sorted.size(); ++i)
                for (qsizetype j = i + 1; j < sorted.size(); ++j)
                    EXPECT_LE(sign
                            * filelists::compareValues(sorted[i], sorted[j], Comparison::Typed),
                        0)
                        << sorted[i].toStdString() << " before " << sorted[j].toStdString();
            EXPECT_EQ(sortColumn(sorted, scan::SizeColumn, Comparison::Typed, order), sorted);
        }
    }
}

TEST(ListSort, TextByTheLocaleCaseSensitive)
{
    const QStringList values = { u8("index"), u8("Index"), u8("about"), u8("Zebra") };
    QStringList expected = values;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(expected.begin(), expected.end(),
        [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    EXPECT_EQ(sortColumn(values, scan::NameColumn, Comparison::Text), expected);
    // "Index" and "index" never compare equal: the order between them is the locale's.
    const QStringList pair
        = sortColumn({ u8("index"), u8("Index") }, scan::NameColumn, Comparison::Text);
    EXPECT_EQ(pair, sortColumn({ u8("Index"), u8("index") }, scan::NameColumn, Comparison::Text));
}
