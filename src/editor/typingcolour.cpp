#include "editor/typingcolour.h"

namespace editor {

int typingColour(QChar typed, const CaretContext &context, const Palette &palette)
{
    const int before = context.before.colour;
    const int after = context.after.colour;
    if (before == palette.commentColor && after == palette.commentColor)
        return palette.commentColor;
    if (typed == u'-' || typed == u'<' || typed == u'>')
        return palette.tagColor;
    if (typed == u'"')
        return palette.quotedColor;
    if (context.after.character == u'>')
        return palette.tagColor;
    if (context.before.character == u'<')
        return palette.tagColor;
    if (context.before.character == u'>')
        return palette.textColor;
    if (before == after)
        return before;
    if (before == palette.quotedColor && after == palette.tagColor)
        return palette.tagColor;
    if (before == palette.tagColor && after == palette.textColor)
        return palette.textColor;
    return before;
}

bool changesTagColours(QChar c)
{
    return c == u'!' || c == u'"' || c == u'-' || c == u'<' || c == u'>';
}

} // namespace editor
