#pragma once

#include "scan/listrecord.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace filelists {

struct VerifyResult {
    int updated = 0;
    int removed = 0;
    // "Updated:  " + path and "Not Found:  " + path, in list order.
    QStringList reportLines;
};

// Checks every entry against the disk: an entry whose file exists gets the fields the disk
// gives (counted as updated when its record changes, letter case included); any other entry
// is removed. Only absolute paths count as existing, so that a line of garbage never finds a
// file relative to the working folder. `keptStep` runs after each kept entry with its count.
VerifyResult verifyEntries(
    QList<ListEntry> &entries, const std::function<void(int kept)> &keptStep = {});

} // namespace filelists
