// The formatter in its three modes, on a whole page or a selection: no crash, and the result
// can be written in the encoding the page was read in.
#include "fuzzing.h"

#include "formatter/formatselection.h"
#include "platform/textcodec.h"

using formatter::FormatMode;

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

const formatter::Style &shippedStyle()
{
    static const formatter::Style style = [] {
        formatter::Style loaded;
        formatter::LoadProgramStyle(loaded, QStringLiteral(FOLIOSCOPE_DATA_DIR), QString());
        return loaded;
    }();
    return style;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the mode and whether the text is a selection.
    static const FormatMode kModes[]
        = { FormatMode::Compress, FormatMode::Format, FormatMode::Trim };
    const FormatMode mode = kModes[data[0] % 3];
    const bool selection = data[0] & 4;
    const platform::DecodedText page = platform::decodeText(fuzzing::bytes(data + 1, size - 1));
    // Every run starts from fresh tag counters, so that a crash replays.
    formatter::Style style = shippedStyle();
    const QString result = selection
        ? formatter::FormatSelection(style, page.text,
            formatter::SelectionIndent(QStringView(page.text).left(page.text.indexOf(u'\n'))), mode)
        : formatter::FormatDocument(style, page.text, mode);
    FUZZ_CHECK(writableIn(result, page.encoding));
    return 0;
}
