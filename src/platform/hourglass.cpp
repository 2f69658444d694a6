#include "platform/hourglass.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

HourglassGuard::HourglassGuard()
    : m_shown(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
{
    if (m_shown)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

HourglassGuard::~HourglassGuard()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
