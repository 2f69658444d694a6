#include "editor/typingcolour.h"

#include <gtest/gtest.h>

using namespace editor;

TEST(TypingColour, FirstRuleThatAppliesWins)
{
    const Palette p;
    const int text = p.textColor, tag = p.tagColor, quoted = p.quotedColor,
              comment = p.commentColor;
    struct Row {
        const char *name;
        char16_t typed;
        CaretRecord before;
        CaretRecord after;
        int expected;
    };
    const Row rows[] = {
        { "1 inside a comment", u'<', { comment, u'x' }, { comment, u'y' }, comment },
        { "2 hyphen", u'-', { text, u'a' }, { text, u'b' }, tag },
        { "2 greater-than after a value", u'>', { quoted, u'"' }, { text, u'\n' }, tag },
        { "3 double quote", u'"', { tag, u'=' }, { tag, u'>' }, quoted },
        { "4 before >", u'x', { text, u'a' }, { tag, u'>' }, tag },
        { "5 after <", u'x', { tag, u'<' }, { text, u'a' }, tag },
        { "6 after >", u'x', { tag, u'>' }, { tag, u'<' }, text },
        { "7 equal colours", u'x', { quoted, u'a' }, { quoted, u'b' }, quoted },
        { "8 quoted then tag", u'x', { quoted, u'"' }, { tag, u' ' }, tag },
        { "9 tag then text", u'x', { tag, u'a' }, { text, u'b' }, text },
        { "10 otherwise before", u'x', { comment, u'a' }, { text, u'b' }, comment },
    };
    for (const Row &row : rows) {
        const CaretContext context { row.before, row.after };
        EXPECT_EQ(typingColour(QChar(row.typed), context, p), row.expected) << row.name;
    }
}
