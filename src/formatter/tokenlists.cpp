#include "formatter/tokenlists.h"

namespace formatter {

QStringList TokenLists::tokenTexts() const
{
    QStringList texts;
    texts.reserve(tokenLines.size());
    for (const TokenLine &line : tokenLines)
        texts.append(line.text);
    return texts;
}

QStringList TokenLists::verbatimStore() const
{
    QStringList store;
    for (const VerbatimBlock &block : blocks) {
        store.append(block.marker);
        store.append(block.lines);
    }
    return store;
}

} // namespace formatter
