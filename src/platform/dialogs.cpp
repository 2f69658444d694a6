#include "platform/dialogs.h"


namespace platform {

Dialogs::~Dialogs() = default;

QString Dialogs::saveFileNameWithFilter(
    const QString &caption, const QString &startPath, const QString &filters, QString *)
{
    return saveFileName(caption, startPath, filters);
}

int Dialogs::execDialog(QDialog &) { return 0; }

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
