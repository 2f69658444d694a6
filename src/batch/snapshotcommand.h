#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace batch {

// "folioscope-batch snapshot [options] FILE...": args are the arguments after "snapshot".
// Writes "snap_..." files as "Batch Export" does, one progress line per file on out, one line
// per problem on err. Needs a QApplication.
int runSnapshotCommand(const QStringList &args, QIODevice &out, QIODevice &err);

QString snapshotUsage();

} // namespace batch
