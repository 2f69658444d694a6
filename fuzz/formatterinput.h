#pragma once

#include "formatter/formatselection.h"
#include "platform/textcodec.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// An input of the formatter fuzz target: the first byte picks the mode (byte % 3: compress,
// format, trim) and, with bit 2 set, a selection run; the rest is the page's bytes.
namespace fuzzing {

struct FormatterInput {
    formatter::FormatMode mode = formatter::FormatMode::Format;
    bool selection = false;
    platform::DecodedText page;
};

// False for an empty input.
bool readFormatterInput(const uint8_t *data, size_t size, FormatterInput *input);

// The run the input asks for, with the shipped style and fresh tag counters.
QString formatAs(const FormatterInput &input, const QString &text);

} // namespace fuzzing
