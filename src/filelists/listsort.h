#pragma once

#include "scan/listrecord.h"

#include <QList>

#include <vector>

namespace filelists {

enum class Comparison {
    Text, // the locale's case-sensitive order
    // Two dates or times as dates, two numbers as numbers, two texts as text; values of
    // different kinds go blanks first, then numbers, dates and other texts. "nan" and "inf"
    // are texts.
    Typed,
};

// The comparison of a column chosen by its header: typed for "Size", text for the others.
Comparison comparisonForHeader(const QString &header);

// The order sortedRows() sorts by, for two values of a column: negative, zero or positive.
// A total order for every mix of values.
int compareValues(const QString &a, const QString &b, Comparison comparison);

// Row indices of `entries` in the order of one column. Entries that compare equal keep
// their order; descending is the reverse comparison, so a second click reverses the list.
std::vector<qsizetype> sortedRows(
    const QList<scan::ListEntry> &entries, int column, Comparison comparison, Qt::SortOrder order);

} // namespace filelists
