#pragma once

#include <QWebEnginePage>

#include <QElapsedTimer>

#include <functional>

namespace engine {

// The engine's page with the hooks the view needs: the page script's reports, and no
// dialogs or file choosers that a page could open on its own.
class EnginePage : public QWebEnginePage
{
public:
    explicit EnginePage(QWebEngineProfile *profile, QObject *parent = nullptr);

    // Called with each report of the page script (console text after the tag included).
    std::function<void(const QString &)> onMessage;
    // Called for a link click; returns true when the click is handled (not to be followed).
    std::function<bool(const QString &data)> onClick;
    // Called for each navigation of the main document that goes ahead.
    std::function<void(const QUrl &url, NavigationType type)> onMainFrameNavigation;
    // The next reload is the view's own and is never held back as a page's own would be.
    void allowReload() { m_reloadAllowed = true; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
        int lineNumber, const QString &sourceID) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
        const QString &defaultValue, QString *result) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
        const QStringList &acceptedMimeTypes) override;

private:
    bool acceptsNavigation(const QUrl &url, NavigationType type, bool isMainFrame);

    // The main document replaced on the page's own account: how often in a row, and when last.
    int m_pageNavigationsInARow = 0;
    bool m_reloadAllowed = false;
    qint64 m_lastPageNavigation = 0;
    QElapsedTimer m_clock;
};

} // namespace engine
