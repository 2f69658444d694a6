#pragma once

class QLineEdit;
class QWidget;

namespace kit {

// The windows' pixel sizes were chosen for a font 13 pixels high (8 points at 96 dpi). In a
// larger font they grow with it, so that the texts they hold keep their room; never smaller.
int scaledByFont(int designPixels, const QWidget *widget);

// The width of a panel laid out designPixels wide: scaled by the font, and never narrower
// than its controls need to show their texts whole.
int panelWidth(int designPixels, const QWidget *panel);

// A field whose text the program fills shows the start of it (a path's drive, a hint's tag),
// not its end. Typing in the field is left alone.
void showTextStart(QLineEdit *field);

// At least as wide as its current text, so that a default text shows whole; a longer text
// than designMaximum pixels (scaled by the font) widens it no further.
void fitFieldToText(QLineEdit *field, int designMaximum);

} // namespace kit
