#pragma once

#include "batchargs.h"

namespace batch {

// "folioscope-batch replace --find TEXT --with TEXT [...] PATH...": a unified diff of the
// changes on out, or with --apply the files written and the undo id on out; "--undo ID" and
// "--list-undo". The totals as the last line on err.
int runReplaceCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder);

QString replaceUsage();
// The pages of a folder that a replace reads unless --mask says otherwise.
QString replaceMask();

} // namespace batch
