#pragma once

#include "batchargs.h"

namespace batch {

// "folioscope-batch clean-thumbs [--all] [--program-folder DIR]": args are the arguments after
// "clean-thumbs". Runs the clean-up of the thumbnail folder DIR/THUMBS and prints the message
// that the menu item shows; a thumbnail that could not be deleted is one line on err.
int runCleanThumbsCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder);

QString cleanThumbsUsage();

} // namespace batch
