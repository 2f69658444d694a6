#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace batch {

// "folioscope-batch thumbs [--base-index N] [--program-folder DIR] [--only-changed] FILE...":
// args are the arguments after "thumbs". Makes the thumbnails of the pages (with
// --only-changed, of those whose thumbnails are out of date) into the program folder's
// thumbnail store as "Make Thumbs" does, one progress line per page on out, one line per
// problem on err. Needs a QApplication.
int runThumbsCommand(const QStringList &args, QIODevice &out, QIODevice &err);

} // namespace batch
