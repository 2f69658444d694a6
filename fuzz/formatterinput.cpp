#include "formatterinput.h"

namespace fuzzing {

namespace {

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

bool readFormatterInput(const uint8_t *data, size_t size, FormatterInput *input)
{
    if (size == 0)
        return false;
    static const formatter::FormatMode kModes[] = { formatter::FormatMode::Compress,
        formatter::FormatMode::Format, formatter::FormatMode::Trim };
    input->mode = kModes[data[0] % 3];
    input->selection = data[0] & 4;
    input->page = platform::decodeText(
        QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    return true;
}

QString formatAs(const FormatterInput &input, const QString &text)
{
    // Every run starts from fresh tag counters, so that a crash replays.
    formatter::Style style = shippedStyle();
    if (!input.selection)
        return formatter::FormatDocument(style, text, input.mode);
    return formatter::FormatSelection(style, text, formatter::SelectionIndent(text), input.mode);
}

} // namespace fuzzing
