#pragma once

#include "editor/palette.h"

#include <QChar>

namespace editor {

// What the control reports for an insertion point: the colour and the character before it.
struct CaretRecord {
    int colour = 0;
    QChar character;
};

// Taken before each typed character and before Backspace, Delete, paste and cut.
struct CaretContext {
    CaretRecord before; // at the caret
    CaretRecord after; // one position further: the character just after the caret
};

// The colour of a character typed at the caret, by the first of ten rules that applies.
int typingColour(QChar typed, const CaretContext &context, const Palette &palette);

// "!", double quote, "-", "<" and ">": typing one of them, or deleting one, may change the
// tag around the caret, which is then coloured again.
bool changesTagColours(QChar c);

} // namespace editor
