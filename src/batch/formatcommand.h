#pragma once

#include "batchargs.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace batch {

// "folioscope-batch format [options] [FILE]" or "... --in-place FILE...": args are the
// arguments after "format". Reads FILE (standard input when absent or "-") and writes the
// formatted text to out in the input's encoding, or replaces each FILE by its result;
// reports each failure as one line on err.
int runFormatCommand(const QStringList &args, QIODevice &in, QIODevice &out, QIODevice &err,
    const QString &defaultProgramFolder);

QString formatUsage();

} // namespace batch
