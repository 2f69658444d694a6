#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Files are read as UTF-8 when they are valid UTF-8, otherwise one character per byte,
// and written back in the same encoding so that no byte is ever changed.
enum class TextEncoding { Utf8, Latin1 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

bool isValidUtf8(const QByteArray &bytes);
DecodedText decodeText(const QByteArray &bytes);
QByteArray encodeText(const QString &text, TextEncoding encoding);

} // namespace platform
