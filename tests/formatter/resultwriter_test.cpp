#include "formatter/resultwriter.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace formatter;

TEST(ResultWriter, PiecesJoinToTheWholeAndKeepSurrogatePairsTogether)
{
    // U+1F600 as a surrogate pair, at every offset against pieces of 4 characters.
    const QString text = QString::fromUtf16(u"a\U0001F600bc\U0001F600\U0001F600d");
    for (qsizetype chunk = 1; chunk <= 6; ++chunk) {
        QStringList pieces;
        ResultWriter out([&pieces](QStringView piece) { pieces.append(piece.toString()); }, chunk);
        for (const QChar c : text)
            out.append(c);
        out.append(text); // longer than a piece
        out.line(u"x");
        out.endLine();
        out.finish();
        for (const QString &piece : std::as_const(pieces)) {
            ASSERT_FALSE(piece.isEmpty());
            EXPECT_LE(piece.size(), chunk + 2); // a CR LF may go over by one
            EXPECT_FALSE(piece.back().isHighSurrogate()) << "chunk " << chunk;
        }
        EXPECT_EQ(pieces.join(QString()), text + text + QStringLiteral("x\r\n\r\n"))
            << "chunk " << chunk;
    }
    ResultWriter whole;
    whole.line(text);
    whole.finish(); // without a sink the text stays for takeText
    EXPECT_EQ(whole.takeText(), text + QStringLiteral("\r\n"));
}
