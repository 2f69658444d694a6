#include "editor/palette.h"

namespace editor {

namespace {

constexpr int kSilver = 0xC0C0C0;

} // namespace

int Palette::colourOf(ColourClass cls) const
{
    return table()[static_cast<std::size_t>(cls)];
}

Palette presetPalette(int preset)
{
    switch (preset) {
    case 2:
        return { kSilver, 0xFF0000, kSilver, kSilver };
    case 3:
        return { kSilver, kSilver, 0x0000FF, kSilver };
    case 4:
        return { 0x000000, kSilver, kSilver, kSilver };
    default:
        return {};
    }
}

const char *presetHint(int preset)
{
    switch (preset) {
    case 2:
        return "[CTRL-2] Emphasize Tags";
    case 3:
        return "[CTRL-3] = Emphasize quoted strings";
    case 4:
        return "[CTRL-4] = Emphasize floating text";
    default:
        return "[CTRL-1] = Repaint Syntax Highlight";
    }
}

int redOf(int colour)
{
    return colour & 0xFF;
}

int greenOf(int colour)
{
    return (colour >> 8) & 0xFF;
}

int blueOf(int colour)
{
    return (colour >> 16) & 0xFF;
}

int colourFromRgb(int red, int green, int blue)
{
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

} // namespace editor
