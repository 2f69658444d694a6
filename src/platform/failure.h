#pragma once

#include <QString>

namespace platform {

// How window-free code reports a failure: false, with the reason in `*error` when the caller
// asks for it (`error` may be null). Windows show the reason; the batch tool prints it.
inline bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace platform
