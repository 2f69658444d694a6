#include "platform/startfile.h"

#include "platform/dialogs.h"
#include "platform/filerules.h"
#include "platform/safefile.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString startFileFromArguments(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    // The native form of expanding short names: the absolute, cleaned path.
    const QString expanded
        = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(arguments.last()).absoluteFilePath()));
    if (!MaskMatches(expanded, AcceptedFileMask))
        return {};
    // Found by the name's bytes: a Latin-1 name is no file to QFileInfo.
    return fileState(expanded).kind == FileState::Regular ? expanded : QString();
}

QString AcceptDroppedFiles(const QStringList &names)
{
    if (names.isEmpty())
        return {};
    const QString &first = names.constFirst();
    if (MaskMatches(first, AcceptedFileMask))
        return first;
    dialogs().beep();
    dialogs().plainMessage(QStringLiteral("Folioscope:\nFile not accepted.\n") + first);
    return {};
}

} // namespace platform
