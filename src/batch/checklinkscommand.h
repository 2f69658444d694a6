#pragma once

#include "batchargs.h"

namespace batch {

// "folioscope-batch check-links [--root DIR] [--no-fragments] [--format gnu|json] PATH...":
// the broken local links of the pages and folders given, one line each on out (or a JSON
// array), and the totals as the last line on err.
int runCheckLinksCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder);

QString checkLinksUsage();

} // namespace batch
