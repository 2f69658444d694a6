#include "platform/dialogs.h"


#include <QDir>
#include <QFileInfo>

namespace platform {

Dialogs::~Dialogs() = default;

QString Dialogs::saveFileNameWithFilter(
    const QString &caption, const QString &startPath, const QString &filters, QString *)
{
    return saveFileName(caption, startPath, filters);
}

int Dialogs::execDialog(QDialog &) { return 0; }

QString Dialogs::outputFolder(const QString &caption, const QString &startFolder)
{
    const QString chosen = folderName(caption, startFolder);
    if (chosen.isEmpty() || QFileInfo(chosen).isDir())
        return chosen;
    const QString shown = QDir::toNativeSeparators(chosen);
    if (!AskYesNo(QStringLiteral("The folder \"%1\" does not exist.\nCreate it?").arg(shown)))
        return {};
    if (QDir().mkpath(chosen))
        return chosen;
    errorBox(QStringLiteral("Cannot create folder \"%1\".").arg(shown));
    return {};
}

namespace {
Dialogs *g_replacement = nullptr;
Dialogs *g_default = nullptr;
QString g_applicationTitle;
} // namespace

Dialogs &dialogs()
{
    if (g_replacement)
        return *g_replacement;
    if (g_default)
        return *g_default;
    static SilentDialogs silent;
    return silent;
}

void setDialogs(Dialogs *replacement)
{
    g_replacement = replacement;
}

void setDefaultDialogs(Dialogs *dialogs)
{
    g_default = dialogs;
}

void setApplicationTitle(const QString &title)
{
    g_applicationTitle = title;
}

QString applicationTitle()
{
    return g_applicationTitle;
}

} // namespace platform
