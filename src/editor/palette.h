#pragma once

#include <array>

namespace editor {

// The four colour classes of the coloured source; the value is the index in the generated
// document's colour table.
enum class ColourClass { Text = 0, Tag = 1, Quoted = 2, Comment = 3 };

// Colours are 0x00BBGGRR values, red in the low byte.
struct Palette {
    int textColor = 0x000000;
    int tagColor = 0xFF0000;
    int quotedColor = 0x0000FF;
    int commentColor = 0x808000;

    int colourOf(ColourClass cls) const;
    std::array<int, 4> table() const { return { textColor, tagColor, quotedColor, commentColor }; }
    bool operator==(const Palette &) const = default;
};

// The palettes of the four repaint buttons, 1 to 4; anything else gives the first.
Palette presetPalette(int preset);

// The button hints, 1 to 4.
const char *presetHint(int preset);

int redOf(int colour);
int greenOf(int colour);
int blueOf(int colour);
int colourFromRgb(int red, int green, int blue);

} // namespace editor
