// The formatter in its three modes, on a whole page or a selection: no crash, and the result
// can be written in the encoding the page was read in. Format and trim: formatting the result
// again changes nothing (compress keeps a space where its own line breaks were, so only its
// second result is final).
#include "formatterinput.h"
#include "fuzzing.h"

namespace {

bool writableIn(const QString &text, platform::TextEncoding encoding)
{
    if (encoding == platform::TextEncoding::Utf8)
        return text.isValidUtf16();
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzing::FormatterInput input;
    if (!fuzzing::readFormatterInput(data, size, &input))
        return 0;
    const QString result = fuzzing::formatAs(input, input.page.text);
    FUZZ_CHECK(writableIn(result, input.page.encoding));
    if (input.mode != formatter::FormatMode::Compress)
        FUZZ_CHECK(fuzzing::formatAs(input, result) == result);
    return 0;
}
