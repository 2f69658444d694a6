#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kit {

// Two arrow buttons beside an edit field that step the number in it within a range. The field
// stays free text: what is typed is tested where it is used.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    UpDown(QLineEdit *associate, int minimum, int maximum, int increment, QWidget *parent);

    // Clamps to the range and writes the number into the field.
    void setPosition(int value);
    int position() const { return m_position; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // One step up (positive) or down, from the number in the field when it holds one.
    void stepBy(int steps);

private:
    QLineEdit *m_associate;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum;
    int m_maximum;
    int m_increment;
    int m_position;
};

} // namespace kit
