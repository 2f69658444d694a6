#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace editor {

// How far the search for the tag around the caret looks, each way.
constexpr qsizetype kTagSearchLimit = 1'000'000;

// Gives `length` characters of the document from `from` (both within the document).
using TextFetch = std::function<QString(qsizetype from, qsizetype length)>;

struct TextRange {
    qsizetype start = -1;
    qsizetype length = 0;
    bool isValid() const { return start >= 0; }
};

// From the last "<" before the caret (looking back 128 characters first, then in growing
// blocks) to the first ">" at or after it, each at most kTagSearchLimit characters away;
// invalid when either is missing. With the caret in text between two tags the range takes
// in the end of the first tag, the text and the whole second tag.
TextRange locateTagAroundCaret(const TextFetch &fetch, qsizetype caret, qsizetype size);
TextRange locateTagAroundCaret(QStringView text, qsizetype caret);

// The table key of a located tag: cut after its first ">", a "/" after the "<" dropped, the
// name up to the first blank or ">", then ">": "</table border=1>" gives "<table>".
QString tagHintName(QStringView located);

// tagHintName of a located range, reading no more of it than the name needs.
QString locatedTagName(const TextFetch &fetch, TextRange range);

// The hint of the first table line that begins with the name (letter case ignored): the
// text after its first colon, at most 1000 characters, trimmed. Empty when no line matches.
QString lookupTagHint(const QStringList &table, const QString &name);

// The lines of a tag hint table file (tagsyntax.txt); empty when it cannot be read.
QStringList readTagHintTable(const QString &path);

} // namespace editor
