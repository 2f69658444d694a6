#pragma once

#include "batchargs.h"

namespace batch {

// "folioscope-batch resize [--filter N] --size WxH IN OUT": args are the arguments after
// "resize". Scales a PPM (P6), PNG or BMP picture with the program's resampler and writes it
// losslessly in the format that OUT's extension names.
int runResizeCommand(const QStringList &args, QIODevice &out, QIODevice &err);

QString resizeUsage();

} // namespace batch
