#include "engine/localscheme.h"

#include "engine/localfiles.h"
#include "platform/safefile.h"

#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace engine {

namespace {

void registerLocalScheme()
{
    QWebEngineUrlScheme scheme(localScheme().toLatin1());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    // As with file:, pages show other local files in frames, pictures, style sheets and
    // scripts, and web pages may not load these. As a browser does with local files, the views
    // make each file an origin of its own, and the profile refuses scripts' requests for them:
    // a page's script reads no other file.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed
        | QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled
        | QWebEngineUrlScheme::ViewSourceAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// Scripts do not read local files: an XMLHttpRequest or fetch of one is refused, whichever
// page asks. Frames, pictures, style sheets and scripts of a page are other kinds of request.
class LocalReadGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeXhr
            && !localFileOfUrl(info.requestUrl()).isEmpty())
            info.block(true);
    }
};

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
        p->setUrlRequestInterceptor(new LocalReadGuard(p));
        return p;
    }();
    return profile;
}

} // namespace engine
