#pragma once

#include "scan/listrecord.h"

#include <QList>

#include <vector>

namespace filelists {

enum class Comparison {
    Text, // the locale's case-sensitive order
    Typed, // two dates or times as dates, two numbers as numbers, anything else as text
};

// The comparison of a column chosen by its header: typed for "Size", text for the others.
Comparison comparisonForHeader(const QString &header);

// Row indices of `entries` in the order of one column. Entries that compare equal keep
// their order; descending is the reverse comparison, so a second click reverses the list.
std::vector<qsizetype> sortedRows(
    const QList<ListEntry> &entries, int column, Comparison comparison, Qt::SortOrder order);

} // namespace filelists
