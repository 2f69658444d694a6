#include "engine/enginepage.h"

#include "engine/pagescript.h"

namespace engine {

namespace {

// A page may replace itself (a refresh, a script's reload or redirect) this many times in a
// row, each within the gap of the one before; one more ends the chain, so that a page that
// refreshes itself at once does not keep the program busy loading it for ever.
constexpr int kPageNavigationsInARow = 5;
constexpr qint64 kPageNavigationGapMs = 2000;

// Refreshes, reloads and script redirects; loads asked for through the view, the user's clicks
// and forms and history steps are never held back.
bool startedByPage(QWebEnginePage::NavigationType type)
{
    return type == QWebEnginePage::NavigationTypeRedirect
        || type == QWebEnginePage::NavigationTypeReload;
}

} // namespace

EnginePage::EnginePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    m_clock.start();
}

bool EnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!acceptsNavigation(url, type, isMainFrame))
        return false;
    if (isMainFrame && onMainFrameNavigation)
        onMainFrameNavigation(url, type);
    return true;
}

bool EnginePage::acceptsNavigation(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame && type == NavigationTypeReload && m_reloadAllowed) {
        m_reloadAllowed = false;
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
    if (isMainFrame) {
        const qint64 now = m_clock.elapsed();
        if (!startedByPage(type) || now - m_lastPageNavigation >= kPageNavigationGapMs)
            m_pageNavigationsInARow = 0;
        if (startedByPage(type)) {
            if (m_pageNavigationsInARow >= kPageNavigationsInARow)
                return false;
            ++m_pageNavigationsInARow;
            m_lastPageNavigation = now;
        }
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

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
