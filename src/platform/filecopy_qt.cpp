#include "platform/filecopyvariant.h"

namespace platform {

// Names are UTF-16 there: QSaveFile writes every target.
bool copyUnderNativeName(QFile &, const QString &, const QString &, const QDateTime &, bool *handled)
{
    *handled = false;
    return false;
}

bool sameFileOnDisk(const QString &, const QString &)
{
    return false;
}

} // namespace platform
