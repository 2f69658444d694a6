#include "engine/enginepage.h"

#include "engine/pagescript.h"

namespace engine {

EnginePage::EnginePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{ }

void EnginePage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel, const QString &message, int, const QString &)
{
    // The page's own console output is dropped: nothing is logged.
    if (onMessage && message.startsWith(messageTag()))
        onMessage(message);
}

bool EnginePage::javaScriptPrompt(
    const QUrl &, const QString &msg, const QString &defaultValue, QString *result)
{
    if (msg == messageTag() + QStringLiteral("click")) {
        const bool handled = onClick && onClick(defaultValue);
        *result = handled ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    }
    // A page's own prompt is cancelled: a viewer must never stop in a dialog.
    return false;
}

void EnginePage::javaScriptAlert(const QUrl &, const QString &) { }

bool EnginePage::javaScriptConfirm(const QUrl &, const QString &)
{
    return false;
}

QStringList EnginePage::chooseFiles(FileSelectionMode, const QStringList &, const QStringList &)
{
    return {};
}

} // namespace engine
