#pragma once

#include "editor/palette.h"

#include <QList>
#include <QStringView>

namespace editor {

// Walks a text through the colour classes of the coloured source and tells the sink each
// change of class and each stretch of characters, in order:
//   sink.colour(ColourClass)                  the class of what follows
//   sink.chars(from, to)                      characters [from, to) in that class
//   sink.openComment(from, to)                a comment that runs to the end without "-->"
// Text outside tags, comments from "<!--" through "-->", tags from "<" through ">" (or up to
// the next "<"), and double-quoted strings inside tags (ended early by "<" or ">").
template<typename Sink> void scanColours(QStringView text, Sink &sink)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        if (text[i] != u'<') {
            qsizetype next = text.indexOf(u'<', i);
            if (next < 0)
                next = size;
            sink.colour(ColourClass::Text);
            sink.chars(i, next);
            i = next;
        } else if (text.sliced(i).startsWith(u"<!--")) {
            sink.colour(ColourClass::Comment);
            const qsizetype close = text.indexOf(u"-->", i + 1);
            if (close < 0) {
                sink.openComment(i, size);
                i = size;
            } else {
                sink.chars(i, close + 3);
                i = close + 3;
            }
            sink.colour(ColourClass::Text);
        } else {
            sink.colour(ColourClass::Tag);
            qsizetype start = i++;
            while (i < size) {
                const QChar c = text[i];
                if (c == u'>') {
                    ++i;
                    break;
                }
                if (c == u'<')
                    break;
                if (c != u'"') {
                    ++i;
                    continue;
                }
                sink.chars(start, i);
                sink.colour(ColourClass::Quoted);
                const qsizetype quote = i++;
                while (i < size && text[i] != u'"' && text[i] != u'<' && text[i] != u'>')
                    ++i;
                if (i < size && text[i] == u'"')
                    ++i;
                sink.chars(quote, i);
                sink.colour(ColourClass::Tag);
                start = i;
            }
            sink.chars(start, i);
        }
    }
}

struct ColourRun {
    qsizetype start = 0;
    qsizetype length = 0;
    ColourClass cls = ColourClass::Text;
    bool operator==(const ColourRun &) const = default;
};

// The runs of the text's classes, neighbours of one class joined, empty runs left out. A
// comment without its end is left out too: re-colouring a stretch must not paint the rest
// of a comment that merely ends beyond it.
QList<ColourRun> colourRuns(QStringView text);

} // namespace editor
