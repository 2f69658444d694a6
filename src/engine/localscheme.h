#pragma once

#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

namespace engine {

// Serves local files under localScheme() with the content type of contentTypeFor().
class LocalSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};

// The profile every view uses, with the scheme ready. The scheme is made known to the engine
// on the first call, which must come before anything else of the engine is created.
QWebEngineProfile *viewProfile();

} // namespace engine
