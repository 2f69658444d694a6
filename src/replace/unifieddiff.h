#pragma once

#include "replace/replacer.h"

#include <QByteArray>

#include <vector>

namespace replace {

// The unified diff of a page and the page with the edits made, with three lines of context,
// as patch and git apply read it: "--- a/NAME", "+++ b/NAME", hunks of whole lines. Lines keep
// their own line ends and bytes; a last line without a line end is marked so.
QByteArray unifiedDiff(const QByteArray &name, const QByteArray &page, const std::vector<Edit> &edits);

} // namespace replace
