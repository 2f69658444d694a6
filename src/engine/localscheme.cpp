#include "engine/localscheme.h"

#include "engine/localfiles.h"
#include "engine/renderermemory.h"
#include "platform/safefile.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace engine {

namespace {

// Enough to name what a page tried; of a page that asks for thousands the first are kept.
constexpr qsizetype kBlockedKept = 16;

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

// The files refused to each page, by the URL of its top document, and the files the program
// itself showed that a page could not.
struct BlockedRecord {
    QMutex mutex;
    QHash<QUrl, QStringList> files;
    QSet<QString> granted;
};

BlockedRecord &blockedRecord()
{
    static BlockedRecord record;
    return record;
}

void noteBlocked(const QUrl &topDocument, const QString &file)
{
    BlockedRecord &record = blockedRecord();
    const QMutexLocker lock(&record.mutex);
    QStringList &files = record.files[topDocument.adjusted(QUrl::RemoveFragment)];
    if (files.size() < kBlockedKept && !files.contains(file))
        files.append(file);
}

// What the program itself loads into a view, also when taken again from the history or
// reloaded, may be any file the user chose; whatever a page asks for on its own must be of a
// kind a site is made of. A page can put any URL of its origin into its history entry, so the
// history and reloads count only for files the program showed.
bool programsOwnLoad(const QWebEngineUrlRequestInfo &info, const QString &file)
{
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return false;
    switch (info.navigationType()) {
    case QWebEngineUrlRequestInfo::NavigationTypeTyped:
    case QWebEngineUrlRequestInfo::NavigationTypeBackForward:
    case QWebEngineUrlRequestInfo::NavigationTypeReload:
        break;
    default:
        return false;
    }
    BlockedRecord &record = blockedRecord();
    const QMutexLocker lock(&record.mutex);
    return record.granted.contains(file);
}

// Keeps pages to the files of their site. Scripts read no local file at all: an XMLHttpRequest
// or fetch of one is refused, whichever page asks. The documents a page opens, in its frames or
// in place of itself, and its pictures, style sheets, scripts, fonts and media reach only local
// files of the kinds a site is made of: a document of another kind is replaced by the page that
// names it as blocked, any other request fails. Local files asked for by file: URLs are served
// by the program's scheme, so that every local file passes the same checks.
class LocalAccessGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        const QString file = localFileOfUrl(url);
        if (file.isEmpty())
            return;
        const auto type = info.resourceType();
        if (type == QWebEngineUrlRequestInfo::ResourceTypeXhr) {
            info.block(true);
            return;
        }
        if (!isSiteFile(file) && !programsOwnLoad(info, file)) {
            // For a document in place of the page, the top document is still the page's.
            noteBlocked(info.firstPartyUrl(), file);
            if (type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
                || type == QWebEngineUrlRequestInfo::ResourceTypeSubFrame)
                info.redirect(blockedFileUrl(file));
            else
                info.block(true);
            return;
        }
        if (url.scheme() != localScheme())
            info.redirect(localFileUrl(file));
    }
};

QByteArray blockedPage(const QString &file)
{
    return QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=utf-8><title>Blocked: %1</title></head>"
        "<body style='margin:16px;background:#ffffff;color:#000000;font:16px sans-serif'>"
        "<h1 style='font-size:20px;color:#c00000'>Blocked</h1><p style='word-break:break-all'>"
        "%1</p><p>A page shows only local files of the kinds a site is made of: pages, style "
        "sheets, scripts, pictures, fonts, audio, video and data.</p></body></html>")
        .arg(file.toHtmlEscaped())
        .toUtf8();
}

} // namespace

void LocalSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != QByteArrayLiteral("GET")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (const QString blocked = blockedFileOfUrl(job->requestUrl()); !blocked.isEmpty()) {
        auto *page = new QBuffer(job);
        page->setData(blockedPage(blocked));
        job->reply(QByteArrayLiteral("text/html;charset=utf-8"), page);
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
        // Read by the engine when it starts, which the profile makes it do; programs the user
        // starts from this one get the environment as it was.
        const char *const flagsName = "QTWEBENGINE_CHROMIUM_FLAGS";
        const bool flagsSet = qEnvironmentVariableIsSet(flagsName);
        const QByteArray flags = qgetenv(flagsName);
        qputenv(flagsName, withRendererCaps(flags));
        QWebEngineProfile *p = QWebEngineProfile::defaultProfile();
        if (flagsSet)
            qputenv(flagsName, flags);
        else
            qunsetenv(flagsName);
        p->installUrlSchemeHandler(localScheme().toLatin1(), new LocalSchemeHandler(p));
        p->setUrlRequestInterceptor(new LocalAccessGuard(p));
        return p;
    }();
    return profile;
}

QStringList takeBlockedFiles(const QUrl &topDocument)
{
    BlockedRecord &record = blockedRecord();
    const QMutexLocker lock(&record.mutex);
    return record.files.take(topDocument.adjusted(QUrl::RemoveFragment));
}

void grantProgramLoad(const QString &file)
{
    // Files of the site's kinds need no grant: the record stays small.
    if (file.isEmpty() || isSiteFile(file))
        return;
    BlockedRecord &record = blockedRecord();
    const QMutexLocker lock(&record.mutex);
    record.granted.insert(file);
}

} // namespace engine
