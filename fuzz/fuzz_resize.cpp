// The picture readers of `resize`: any file gives a picture or a reason.
#include "fuzzing.h"

#include "resizeinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString in = fuzzing::writeScratchFile(QStringLiteral("in"), fuzzing::bytes(data, size));
    QString error;
    const QImage image = batch::readResizeInput(in, &error);
    FUZZ_CHECK(image.isNull() != error.isEmpty());
    if (!image.isNull())
        FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    return 0;
}
