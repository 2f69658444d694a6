#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace formatter {

// A verbatim block as the tokenizer hands it over: lines end at LF, and an empty rest after
// the last LF is no line. The views are valid only during the call that receives them.
struct BlockText {
    QStringView openingKey; // such as "<PRE>"; "<TD>" for a simple table cell
    int number = 0; // 1, 2, 3 ... across all kinds within one run
    QStringView text;
};

// Calls f with each line of a block's text.
template<typename F> void forEachBlockLine(QStringView text, F f)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
        if (lf < 0)
            lf = text.size();
        f(text.sliced(start, lf - start));
        start = lf + 1;
    }
}

// Receives the token lines in order while the tokenizer makes them, so that no mode needs
// the whole list at once.
class TokenSink
{
public:
    virtual ~TokenSink() = default;
    // A text run (possibly beginning with an inline tag) or one own-line tag; a line that
    // was exactly one space arrives empty.
    virtual void tokenLine(QStringView line) = 0;
    virtual void verbatimBlock(const BlockText &block) = 0;
};

// A token line kept: a text run, an own-line tag, or the marker of a verbatim block.
struct TokenLine {
    QString text;
    // For a marker line, the position of its block in TokenLists::blocks; -1 otherwise.
    // Markers are told apart by this, never by their text, so document text that begins
    // with "###" stays text.
    qsizetype block = -1;
};

// One verbatim block kept: its marker ("###" + opening key + ":" + number) and its lines as
// they stood in the source.
struct VerbatimBlock {
    QString marker;
    QString openingKey;
    QStringList lines;
};

// All token lines of a run, for tests and tools that look at them as a whole.
struct TokenLists : TokenSink {
    QList<TokenLine> tokenLines;
    // The verbatim store: for each block its marker line followed by its lines.
    QList<VerbatimBlock> blocks;

    void tokenLine(QStringView line) override;
    void verbatimBlock(const BlockText &block) override;

    QStringList tokenTexts() const;
    QStringList verbatimStore() const;
};

} // namespace formatter
