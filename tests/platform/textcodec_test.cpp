#include "platform/textcodec.h"

#include <gtest/gtest.h>

using platform::TextEncoding;

TEST(TextCodec, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const auto decoded = platform::decodeText(all);
    EXPECT_EQ(decoded.encoding, TextEncoding::Latin1);
    EXPECT_EQ(platform::encodeText(decoded.text, decoded.encoding), all);
}

TEST(TextCodec, Utf8WithByteOrderMarkRoundTrips)
{
    const QByteArray bytes("\xEF\xBB\xBF<p>gr\xC3\xBC\xC3\x9F</p>");
    const auto decoded = platform::decodeText(bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
    EXPECT_TRUE(decoded.text.endsWith(QStringLiteral("gr\u00FC\u00DF</p>")));
    EXPECT_EQ(platform::encodeText(decoded.text, decoded.encoding), bytes);
}
