#include "platform/textcodec.h"

#include <QStringDecoder>

namespace platform {

static constexpr auto kUtf8Flags = QStringConverter::Flag::Stateless
                                   | QStringConverter::Flag::ConvertInitialBom;

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, kUtf8Flags);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

DecodedText decodeText(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, kUtf8Flags);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return {text, TextEncoding::Utf8};
    return {QString::fromLatin1(bytes), TextEncoding::Latin1};
}

QByteArray encodeText(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Latin1)
        return text.toLatin1();
    QStringEncoder encoder(QStringConverter::Utf8, kUtf8Flags);
    return encoder.encode(text);
}

} // namespace platform
