#include "engine/localscheme.h"

#include "engine/localfiles.h"
#include "platform/safefile.h"

#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace engine {

namespace {

void registerLocalScheme()
{
    QWebEngineUrlScheme scheme(localScheme().toLatin1());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    // As with file:, pages may read other local files and web pages may not read these.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed
        | QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled
        | QWebEngineUrlScheme::ViewSourceAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

} // namespace

void LocalSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != QByteArrayLiteral("GET")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = localFileOfUrl(job->requestUrl());
    if (path.isEmpty() || platform::fileState(path).kind != platform::FileState::Regular) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The job owns the file and closes it when it is done or aborted.
    auto *file = new QFile(job);
    if (!platform::openRegularFile(*file, path, nullptr)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    job->reply(contentTypeFor(path, file->peek(contentTypeHeadSize)), file);
}

QWebEngineProfile *viewProfile()
{
    static QWebEngineProfile *profile = [] {
        registerLocalScheme();
        QWebEngineProfile *p = QWebEngineProfile::defaultProfile();
        p->installUrlSchemeHandler(localScheme().toLatin1(), new LocalSchemeHandler(p));
        return p;
    }();
    return profile;
}

} // namespace engine
