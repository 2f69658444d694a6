#include "platform/dialogs.h"

#include "platform/qtdialogs.h"

#include <QDialog>

namespace platform {

Dialogs::~Dialogs() = default;

QString Dialogs::saveFileNameWithFilter(
    const QString &caption, const QString &startPath, const QString &filters, QString *)
{
    return saveFileName(caption, startPath, filters);
}

int Dialogs::execDialog(QDialog &dialog) { return dialog.exec(); }

namespace {
Dialogs *g_replacement = nullptr;
QString g_applicationTitle;
} // namespace

Dialogs &dialogs()
{
    if (g_replacement)
        return *g_replacement;
    static QtDialogs qtDialogs;
    return qtDialogs;
}

void setDialogs(Dialogs *replacement)
{
    g_replacement = replacement;
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
