#include "platform/hourglass.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

HourglassGuard::HourglassGuard() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

HourglassGuard::~HourglassGuard() { QGuiApplication::restoreOverrideCursor(); }

} // namespace platform
