#include "formatter/tokenlists.h"

namespace formatter {

void TokenLists::tokenLine(QStringView line)
{
    tokenLines.append({ line.toString(), -1 });
}

void TokenLists::verbatimBlock(const BlockText &block)
{
    VerbatimBlock kept;
    kept.openingKey = block.openingKey.toString();
    kept.marker = QStringLiteral("###") + kept.openingKey + QLatin1Char(':')
        + QString::number(block.number);
    forEachBlockLine(block.text, [&kept](QStringView line) { kept.lines.append(line.toString()); });
    tokenLines.append({ kept.marker, blocks.size() });
    blocks.append(std::move(kept));
}

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
