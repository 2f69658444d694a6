#pragma once

#include "scan/listrecord.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace scan {

struct VerifyResult {
    int updated = 0;
    int removed = 0;
    int unchecked = 0; // kept as they were
    // "Updated:  " + path, "Not Found:  " + path and "Not Checked:  " + path + " (reason)",
    // in list order.
    QStringList reportLines;
};

// Checks every entry against the disk: an entry whose file exists gets the fields the disk
// gives (counted as updated when its record changes, letter case included); an entry whose
// file cannot be looked at (a folder the user cannot enter) is kept as it is and counted as
// unchecked; any other entry is removed. Only absolute paths count as existing, so that a line of
// garbage never finds a file relative to the working folder. `keptStep` runs after each kept entry
// with its count.
VerifyResult verifyEntries(
    QList<ListEntry> &entries, const std::function<void(int kept)> &keptStep = {});

// The one note for entries that verification could not check and kept.
QString uncheckedNote(int count);

} // namespace scan
