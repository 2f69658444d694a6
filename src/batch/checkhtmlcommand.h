#pragma once

#include "batchargs.h"

namespace batch {

// "folioscope-batch check-html [--root DIR] [--ignore RULE,...] [--errors-only]
// [--format gnu|json|sarif] PATH...": the HTML errors of the pages and folders given, one
// line each on out (or JSON, or SARIF), and the totals as the last line on err.
int runCheckHtmlCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder);

QString checkHtmlUsage();

} // namespace batch
