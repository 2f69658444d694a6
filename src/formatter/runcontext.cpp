#include "formatter/runcontext.h"

namespace formatter {

QDateTime RunContext::now() const
{
    return hooks.currentTime ? hooks.currentTime() : QDateTime::currentDateTime();
}

} // namespace formatter
