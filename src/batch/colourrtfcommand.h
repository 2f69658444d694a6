#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace batch {

// "folioscope-batch colour-rtf [--preset N] [FILE]": args are the arguments after the
// command. Writes the Rich Text document that the editor builds for FILE (standard input
// when absent or "-") with palette preset N to out. Exit 0, 1 when FILE cannot be read,
// 2 on bad usage, each failure one line on err.
int runColourRtfCommand(const QStringList &args, QIODevice &in, QIODevice &out, QIODevice &err);

QString colourRtfUsage();

} // namespace batch
