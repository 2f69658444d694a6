// Starting a program where names on disk are what Qt encodes them to.
#include "platform/shell.h"

#include <QProcess>

namespace platform {

bool launchDetached(const LaunchCommand &command)
{
    return !command.program.isEmpty()
        && QProcess::startDetached(command.program, command.arguments);
}

QString replaceProcessWith(const QString &, char **)
{
    return {};
}

} // namespace platform
