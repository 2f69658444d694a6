#include "kit/colorpicker.h"

#include <QPixmap>

#include <array>

namespace kit {

namespace {

struct NamedColor {
    const char *name;
    QRgb rgb;
};

constexpr std::array<NamedColor, 20> kNamedColors = { {
    { "Black", 0x000000 },
    { "Maroon", 0x800000 },
    { "Green", 0x008000 },
    { "Olive", 0x808000 },
    { "Navy", 0x000080 },
    { "Purple", 0x800080 },
    { "Teal", 0x008080 },
    { "Gray", 0x808080 },
    { "Silver", 0xC0C0C0 },
    { "Red", 0xFF0000 },
    { "Lime", 0x00FF00 },
    { "Yellow", 0xFFFF00 },
    { "Blue", 0x0000FF },
    { "Fuchsia", 0xFF00FF },
    { "Aqua", 0x00FFFF },
    { "White", 0xFFFFFF },
    { "Money Green", 0xC0DCC0 },
    { "Sky Blue", 0xA6CAF0 },
    { "Cream", 0xFFFBF0 },
    { "Medium Gray", 0xA0A0A4 },
} };

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

ColorPicker::ColorPicker(QWidget *parent)
    : QComboBox(parent)
{
    for (const NamedColor &named : kNamedColors) {
        const QColor color = QColor::fromRgb(named.rgb);
        addItem(swatch(color), QString::fromLatin1(named.name), color);
    }
}

void ColorPicker::setSelected(const QColor &color)
{
    const QColor opaque = QColor::fromRgb(color.rgb());
    int index = findData(opaque);
    if (index < 0) {
        const int custom = int(kNamedColors.size());
        if (count() > custom)
            removeItem(custom);
        addItem(swatch(opaque), QStringLiteral("Custom"), opaque);
        index = custom;
    }
    setCurrentIndex(index);
}

QColor ColorPicker::selected() const
{
    return currentData().value<QColor>();
}

} // namespace kit
