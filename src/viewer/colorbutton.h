#pragma once

#include <QColor>
#include <QPushButton>

namespace viewer {

// A push button with a colour swatch; clicking it opens the colour chooser.
class ColorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ColorButton(const QString &caption, QWidget *parent = nullptr);

    QColor color() const;
    // Sets the swatch; emits colorChanged when the colour differs.
    void setColor(const QColor &color);

Q_SIGNALS:
    void colorChanged(const QColor &color);

private:
    void choose();
    void paintSwatch();

    QColor m_color = QColor(0, 0, 0);
};

} // namespace viewer
