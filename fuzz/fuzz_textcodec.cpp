// The text codec: bytes -> text -> bytes is the identity.
#include "fuzzing.h"

#include "platform/textcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzing::bytes(data, size);
    const platform::DecodedText decoded = platform::decodeText(input);
    FUZZ_CHECK(platform::encodeText(decoded.text, decoded.encoding) == input);
    return 0;
}
