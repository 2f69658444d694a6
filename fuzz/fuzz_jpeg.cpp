// The JPEG decoder: any bytes give a picture or "no picture", in bounded memory.
#include "fuzzing.h"

#include "imaging/jpegcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QImage image = imaging::decodeJpeg(fuzzing::bytes(data, size));
    if (!image.isNull())
        FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    return 0;
}
