#include "platform/startup.h"

#include <QCoreApplication>

namespace platform {

void prepareHeadlessApplicationStart()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareApplicationStart();
}

} // namespace platform
