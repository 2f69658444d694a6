#pragma once

#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

namespace engine {

// Serves local files under localScheme() with the content type of contentTypeFor(), and the
// page that stands in for a file a page may not reach (blockedFileUrl()).
class LocalSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};

// The profile every view uses, with the scheme ready. The scheme is made known to the engine
// on the first call, which must come before anything else of the engine is created.
QWebEngineProfile *viewProfile();

// The local files refused to the frames and resources of the page whose top document has this
// URL since the last call, in the order asked for; the record is emptied.
QStringList takeBlockedFiles(const QUrl &topDocument);

// The program itself shows this file in a view: it may be of any kind, and it may be taken
// again from the history or reloaded. A page may not, even by rewriting its history entry.
void grantProgramLoad(const QString &file);

} // namespace engine
