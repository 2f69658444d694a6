#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace kit {

// Installed on the application: the tool tips of the widgets whose window `owns` accepts show
// for a few seconds, or not at all while hints are switched off. Other windows keep theirs.
class HintFilter : public QObject
{
public:
    HintFilter(QObject *parent, std::function<bool(const QWidget *window)> owns);

    void setHintsShown(bool shown) { m_shown = shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(const QWidget *window)> m_owns;
    bool m_shown = true;
};

} // namespace kit
