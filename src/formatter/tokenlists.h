#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace formatter {

// A token line: a text run (possibly beginning with an inline tag), one own-line tag, or
// the marker of a verbatim block.
struct TokenLine {
    QString text;
    // For a marker line, the position of its block in TokenLists::blocks; -1 otherwise.
    // Markers are told apart by this, never by their text, so document text that begins
    // with "###" stays text.
    qsizetype block = -1;

    bool isMarker() const { return block >= 0; }
};

// One verbatim block: its marker ("###" + opening key + ":" + number) and its lines as
// they stood in the source.
struct VerbatimBlock {
    QString marker;
    QString openingKey;
    QStringList lines;
};

// What the tokenizer hands to the format and compress modes.
struct TokenLists {
    QList<TokenLine> tokenLines;
    // The verbatim store: for each block its marker line followed by its lines.
    QList<VerbatimBlock> blocks;

    QStringList tokenTexts() const;
    QStringList verbatimStore() const;
};

} // namespace formatter
