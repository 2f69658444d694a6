#include "kit/updown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kit {

namespace {

QToolButton *arrowButton(Qt::ArrowType arrow, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(16, 11);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDown::UpDown(QLineEdit *associate, int minimum, int maximum, int increment, QWidget *parent)
    : QWidget(parent)
    , m_associate(associate)
    , m_up(arrowButton(Qt::UpArrow, this))
    , m_down(arrowButton(Qt::DownArrow, this))
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_increment(increment)
    , m_position(minimum)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_up);
    column->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setPosition(int value)
{
    m_position = std::clamp(value, m_minimum, m_maximum);
    if (m_associate)
        m_associate->setText(QString::number(m_position));
}

void UpDown::stepBy(int steps)
{
    bool ok = false;
    const int typed = m_associate ? m_associate->text().toInt(&ok) : 0;
    const int from = ok ? std::clamp(typed, m_minimum, m_maximum) : m_position;
    setPosition(from + steps * m_increment);
}

} // namespace kit
