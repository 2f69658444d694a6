#include "viewer/colorbutton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace viewer {

ColorButton::ColorButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setIconSize(QSize(24, 14));
    paintSwatch();
    connect(this, &QPushButton::clicked, this, &ColorButton::choose);
}

QColor ColorButton::color() const
{
    return m_color;
}

void ColorButton::setColor(const QColor &color)
{
    if (!color.isValid() || color == m_color)
        return;
    m_color = color;
    paintSwatch();
    Q_EMIT colorChanged(m_color);
}

void ColorButton::choose()
{
    const QColor chosen = QColorDialog::getColor(m_color, this, text().remove(QLatin1Char('&')));
    if (chosen.isValid())
        setColor(chosen);
}

void ColorButton::paintSwatch()
{
    QPixmap swatch(iconSize());
    swatch.fill(m_color);
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
}

} // namespace viewer
