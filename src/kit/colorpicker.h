#pragma once

#include <QColor>
#include <QComboBox>

namespace kit {

// A drop-down list of named colours, each with a swatch; no system colours. A colour that is
// not among them shows as "Custom" at the end of the list.
class ColorPicker : public QComboBox
{
    Q_OBJECT

public:
    explicit ColorPicker(QWidget *parent = nullptr);

    void setSelected(const QColor &color);
    QColor selected() const;
};

} // namespace kit
