#include "editor/typingcolour.h"

namespace editor {

int typingColour(QChar typed, const CaretContext &context, const Palette &palette)
{
    const int before = context.before.colour;
    const int after = context.after.colour;
    if (before == palette.CommentCol && after == palette.CommentCol)
        return palette.CommentCol;
    if (typed == u'-' || typed == u'<' || typed == u'>')
        return palette.TagCol;
    if (typed == u'"')
        return palette.QuotedCol;
    if (context.after.character == u'>')
        return palette.TagCol;
    if (context.before.character == u'<')
        return palette.TagCol;
    if (context.before.character == u'>')
        return palette.TextCol;
    if (before == after)
        return before;
    if (before == palette.QuotedCol && after == palette.TagCol)
        return palette.TagCol;
    if (before == palette.TagCol && after == palette.TextCol)
        return palette.TextCol;
    return before;
}

bool changesTagColours(QChar c)
{
    return c == u'!' || c == u'"' || c == u'-' || c == u'<' || c == u'>';
}

} // namespace editor
