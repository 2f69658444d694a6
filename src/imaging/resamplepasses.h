#pragma once

#include "imaging/resample.h"

#include <string>

namespace imaging {

// The two passes of ResampleBitmap on `source` (Format_RGB32 or Format_RGB888) into
// `destination` (Format_RGB888, of the wanted size): first along the rows by `columns`, then
// down the columns by `rows`. They run with the widest vectors that the processor offers.
// Throws std::bad_alloc when the work bitmap does not fit in memory.
void RunResamplePasses(const QImage &source, const std::vector<ContributorList> &columns,
    const std::vector<ContributorList> &rows, QImage &destination);

} // namespace imaging
