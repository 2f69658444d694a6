#include "kit/hintfilter.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace kit {

namespace {
constexpr int kHintMilliseconds = 5000;
}

HintFilter::HintFilter(QObject *parent, std::function<bool(const QWidget *window)> owns)
    : QObject(parent)
    , m_owns(std::move(owns))
{ }

bool HintFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_owns(widget->window()))
        return false;
    if (!m_shown)
        return true;
    // A widget without a hint of its own, such as a list's viewport, lets the event go on: its
    // items may have hints, and otherwise Qt hands it to the parent, whose hint is shown here.
    if (widget->toolTip().isEmpty())
        return false;
    auto *help = static_cast<QHelpEvent *>(event);
    QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, kHintMilliseconds);
    return true;
}

} // namespace kit
