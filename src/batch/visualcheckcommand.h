#pragma once

#include <QIODevice>
#include <QStringList>

namespace batch {

// "folioscope-batch visual-check [--update] [--widths W,...] [--mask SELECTOR,...]
// [--threshold T] [--report DIR] [--program-folder DIR] PATH...": args are the arguments after
// "visual-check". Renders the pages at full height and compares them with their baselines in
// LOOKS of the program folder (or stores them with --update); one line per page and width on
// out, problems and the totals on err. Needs a QApplication.
int runVisualCheckCommand(const QStringList &args, QIODevice &out, QIODevice &err);

} // namespace batch
