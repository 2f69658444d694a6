#include "engine/htmlview.h"

#include "engine/diskfollower.h"
#include "engine/enginepage.h"
#include "engine/eventwaiter.h"
#include "engine/fontfamilies.h"
#include "engine/htmlview_p.h"
#include "engine/localfiles.h"
#include "engine/localscheme.h"
#include "engine/pagescript.h"
#include "engine/rendererping.h"
#include "engine/renderermemory.h"

#include <QAction>
#include <QEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineHistoryModel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace engine {

namespace {

const QString scriptName = QStringLiteral("folioscope-page");

QString localFileOf(const QString &url)
{
    return localFileOfUrl(QUrl(url));
}

} // namespace

HtmlViewPrivate::HtmlViewPrivate(HtmlView *view)
    : q(view)
{
    web = new QWebEngineView(q);
    web->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(web, &QWidget::customContextMenuRequested, q,
        [this](const QPoint &pos) { Q_EMIT q->contextMenuRequested(web->mapToGlobal(pos)); });
    web->installEventFilter(this);
    // Files dropped on the view belong to the main window's drop handling, not to navigation.
    web->setAcceptDrops(false);
    auto *layout = new QVBoxLayout(q);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(web);
    waiter = new EventWaiter(this);
    follower = new DiskFollower(this);
    connect(follower, &DiskFollower::reloadWanted, this, &HtmlViewPrivate::followDiskChange);
    connect(follower, &DiskFollower::pageGoneChanged, q, &HtmlView::pageGoneFromDiskChanged);
    connect(follower, &DiskFollower::pollingStarted, q, &HtmlView::diskPollingStarted);
    cover = std::make_unique<DocumentCover>(web, q);
    renderer.ping = new RendererPing(this);
    loadWatch = new QTimer(this);
    loadWatch->setInterval(LoadWatchMs);
    connect(loadWatch, &QTimer::timeout, this, &HtmlViewPrivate::watchLoad);
    attachPage();
}

HtmlViewPrivate::~HtmlViewPrivate()
{
    wake();
}

namespace {

void configureEngine(QWebEngineSettings *s)
{
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    // Each local file its own origin, as in a browser: a page's scripts read no other file.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
}

// A view has no window of its own to close; the engine would stop the page's load instead.
void keepWindowOpen(QWebEnginePage *page)
{
    QWebEngineScript noClose;
    noClose.setName(QStringLiteral("folioscope-no-close"));
    noClose.setInjectionPoint(QWebEngineScript::DocumentCreation);
    noClose.setWorldId(QWebEngineScript::MainWorld);
    noClose.setRunsOnSubFrames(true);
    noClose.setSourceCode(QStringLiteral("window.close = function () {};"));
    page->scripts().insert(noClose);
}

void detach(EnginePage *page)
{
    page->onMessage = nullptr;
    page->onClick = nullptr;
    page->onMainFrameNavigation = nullptr;
}

} // namespace

void HtmlViewPrivate::attachPage()
{
    auto *old = page;
    page = new EnginePage(viewProfile(), q);
    frames.notePageReplaced();
    page->onMessage = [this](const QString &text) { onMessage(text); };
    page->onClick = [this](const QString &data) { return onClick(data); };
    page->onMainFrameNavigation = [this](const QUrl &url, QWebEnginePage::NavigationType type) {
        followPageNavigation(url, type);
    };
    renderer.watch = new RendererWatch(page);
    // Only a view that follows the disk looks at its requests: the look costs every load.
    if (follower->isEnabled())
        page->setUrlRequestInterceptor(follower->recorder());
    configureEngine(page->settings());
    connectPage();
    keepWindowOpen(page);

    applySettings(false);
    web->setPage(page);
    if (old) {
        detach(old);
        delete old;
    }
    renderer.hung = false;
    renderer.ping->forgetQuestions(); // questions to the old page are not waited for
    cover->forgetDocument();
    activeFrameFile.clear();
    checkHistory();
}

void HtmlViewPrivate::connectPage()
{
    connect(page, &QWebEnginePage::loadingChanged, this, &HtmlViewPrivate::onLoadingChanged);
    connect(page, &QWebEnginePage::urlChanged, this, &HtmlViewPrivate::checkHistory);
    // A document taken from the history may not be asked for again.
    connect(page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        const QString file = localFileOfUrl(url);
        if (file != follower->pageFile())
            follower->startPage(file);
    });
    connect(page->action(QWebEnginePage::Back), &QAction::changed, this,
        &HtmlViewPrivate::checkHistory);
    connect(page->action(QWebEnginePage::Forward), &QAction::changed, this,
        &HtmlViewPrivate::checkHistory);
    QAbstractItemModel *items = page->history()->itemsModel();
    connect(items, &QAbstractItemModel::modelReset, this, &HtmlViewPrivate::checkHistory);
    connect(items, &QAbstractItemModel::rowsInserted, this, &HtmlViewPrivate::checkHistory);
    connect(items, &QAbstractItemModel::rowsRemoved, this, &HtmlViewPrivate::checkHistory);
    // There are no other windows: a link into a new window or a frame that does not exist
    // opens in the view itself. Windows that scripts open on their own are refused.
    connect(page, &QWebEnginePage::newWindowRequested, this,
        [this](QWebEngineNewWindowRequest &request) {
            if (!request.isUserInitiated())
                return;
            const QUrl url = request.requestedUrl();
            QPointer<EnginePage> target(page);
            QTimer::singleShot(0, this, [target, url] {
                if (target)
                    target->load(url);
            });
        });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
        [this, current = page](QWebEnginePage::RenderProcessTerminationStatus status) {
            if (current == page) // else a page being replaced
                onRendererTerminated(status);
        });
}

void HtmlViewPrivate::onRendererTerminated(QWebEnginePage::RenderProcessTerminationStatus status)
{
    renderer.hung = true;
    renderer.died = true;
    renderer.outOfMemory = renderer.watch->endedOutOfMemory(status);
    setProcessing(false);
    // The window's browser says why the page is gone; a capture of it is not taken.
    if (background) {
        const QString file = q->currentFile();
        cover->show(settings.backgroundColor,
            captureProblem(
                renderer.outOfMemory ? CaptureOutcome::OutOfMemory : CaptureOutcome::RendererDied,
                file.isEmpty() ? page->url().toString() : file, PartialPicture::Shown));
    }
    wake();
    if (background && load.isActive())
        endBackgroundLoad(false);
    else if (background && outcome == CaptureOutcome::Unfinished)
        outcome = endOfLoad(false, blocked); // given up on as stuck, then it died
}

void HtmlViewPrivate::replacePage()
{
    // A hung renderer takes every later navigation of its page down with it; a fresh page
    // gets a fresh renderer. The history is lost with the old page.
    setProcessing(false);
    attachPage();
    wake();
}

void HtmlViewPrivate::applySettings(bool restyleNow)
{
    QWebEngineSettings *s = page->settings();
    s->setFontFamily(QWebEngineSettings::StandardFont, engineFamily(settings.fontName));
    s->setFontFamily(QWebEngineSettings::FixedFont, engineFamily(settings.fixedFontName));
    const int pixels = pointsToPixels(std::clamp(settings.fontSize, 1, 200));
    s->setFontSize(QWebEngineSettings::DefaultFontSize, pixels);
    // The engine's fixed-pitch text is 13/16 of its normal text.
    s->setFontSize(QWebEngineSettings::DefaultFixedFontSize, std::max(1, pixels * 13 / 16));
    s->setAttribute(QWebEngineSettings::AutoLoadImages, settings.showImages);
    page->setBackgroundColor(
        settings.backgroundColor.isValid() ? settings.backgroundColor : QColor(Qt::white));

    const QString css = defaultStyleSheet(settings, textSelectable);
    const QString linkRule = linkColorRule(settings.linkColor);
    QWebEngineScriptCollection &scripts = page->scripts();
    const QList<QWebEngineScript> old = scripts.find(scriptName);
    for (const QWebEngineScript &script : old)
        scripts.remove(script);
    QWebEngineScript script;
    script.setName(scriptName);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(pageScript(css, linkRule));
    scripts.insert(script);
    if (restyleNow)
        page->runJavaScript(restyleScript(css, linkRule), QWebEngineScript::ApplicationWorld);
}

bool HtmlViewPrivate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == web) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            cover->fitToView();
        if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished) {
            QWidget *proxy = web->focusProxy();
            if (proxy && proxy != inputWidget) {
                inputWidget = proxy;
                proxy->installEventFilter(this);
            }
        }
        return false;
    }
    if (watched == inputWidget) {
        if (event->type() == QEvent::Paint) {
            frames.notePaint();
            wake();
            reportSettled();
        } else if (event->type() == QEvent::KeyPress) {
            bool handled = false;
            Q_EMIT q->keyDown(static_cast<QKeyEvent *>(event), &handled);
            return handled;
        }
    }
    return false;
}

void HtmlViewPrivate::wake()
{
    waiter->wake();
}

bool HtmlViewPrivate::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    return waiter->waitUntil(done, timeoutMs);
}

void HtmlViewPrivate::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        if (load.isActive())
            load.started = true;
        // What the view shows from now on is the last document's until the next one draws.
        cover->forgetDocument();
        activeFrameFile.clear();
        if (covering) {
            covering = false;
            Q_EMIT q->hotSpotTargetCovered(QString(), QString());
        }
        setProcessing(true);
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
        noteLoadEnded(info.url(), info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
        setProcessing(false);
        checkHistory();
        endOfReloadFromDisk();
        wake();
        break;
    }
}

void HtmlViewPrivate::onMessage(const QString &text)
{
    PageMessage message;
    if (!parsePageMessage(text, &message))
        return;
    renderer.ping->noteSign();
    if (message.kind == QLatin1String("document")) {
        cover->newDocument(message.fields.value(0));
        // Of the pending load, not a late word of the page before it.
        if (load.isActive() && load.isDocument(QUrl(message.fields.value(1))))
            load.documentSeen = true;
        if (background)
            QTimer::singleShot(0, this, [this] { clearHistoryOfLoad(); });
    } else if (message.kind == QLatin1String("drawn")) {
        cover->noteDrawn(message.fields.value(0));
    } else if (message.kind == QLatin1String("frame")) {
        // Asked of the document shown now, which has drawn its frames by then.
        cover->hide();
        frames.noteFrame(message.fields.value(0).toULongLong());
        wake();
        reportSettled();
        // Settled without a paint when the grace runs out.
        QTimer::singleShot(frames.paintGraceMs() + 1, this, [this] { reportSettled(); });
    } else if (message.kind == QLatin1String("cover")) {
        const QString target = message.fields.value(0);
        const QString url = message.fields.value(1);
        covering = !target.isEmpty() || !url.isEmpty();
        Q_EMIT q->hotSpotTargetCovered(target, url);
    } else if (message.kind == QLatin1String("scroll")) {
        follower->noteFrameScroll(message.fields);
    } else if (message.kind == QLatin1String("active")) {
        activeFrameFile = localFileOf(message.fields.value(0));
    }
}

bool HtmlViewPrivate::onClick(const QString &data)
{
    const QJsonArray fields = QJsonDocument::fromJson(data.toUtf8()).array();
    const QString target = fields.at(0).toString();
    const QString url = fields.at(1).toString();
    const QString frameFile = localFileOf(fields.at(2).toString());
    activeFrameFile = frameFile;
    QPointer<HtmlViewPrivate> alive(this);
    bool handled = false;
    Q_EMIT q->hotSpotTargetClick(target, url, frameFile, &handled);
    if (alive && !handled)
        history.setClearOnLoad(false);
    return handled;
}

void HtmlViewPrivate::setProcessing(bool value)
{
    if (processing == value)
        return;
    processing = value;
    Q_EMIT q->processingChanged(value);
}

// The history a load from the program clears goes as soon as its document is in it, so that
// "back" never leads out of a load in the background.
void HtmlViewPrivate::clearHistoryOfLoad()
{
    if (!history.clearsOnLoad() || !load.isActive())
        return;
    QWebEngineHistory *h = page->history();
    if (h->count() > 1 && load.isDocument(h->currentItem().url())) {
        h->clear();
        checkHistory();
    }
}

void HtmlViewPrivate::checkHistory()
{
    if (history.update(*page->history()))
        Q_EMIT q->historyChanged();
}

// ---------------------------------------------------------------------------------------------

HtmlView::HtmlView(QWidget *parent)
    : QFrame(parent)
    , d(std::make_unique<HtmlViewPrivate>(this))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(d->web);
}

HtmlView::~HtmlView()
{
    d->wake();
    // The page goes before the view that shows it.
    d->page->onMessage = nullptr;
    d->page->onClick = nullptr;
    delete d->web;
    delete d->page;
}

DisplaySettings HtmlView::displaySettings() const
{
    return d->settings;
}

void HtmlView::setDisplaySettings(const DisplaySettings &settings)
{
    // Capture forms are given the same settings before every page: nothing to restyle then.
    if (settings == d->settings)
        return;
    d->settings = settings;
    d->applySettings(true);
}

QString HtmlView::defaultFontName() const
{
    return d->settings.fontName;
}

void HtmlView::setDefaultFontName(const QString &name)
{
    d->settings.fontName = name;
    d->applySettings(true);
}

int HtmlView::defaultFontSize() const
{
    return d->settings.fontSize;
}

void HtmlView::setDefaultFontSize(int points)
{
    d->settings.fontSize = points;
    d->applySettings(true);
}

QColor HtmlView::defaultFontColor() const
{
    return d->settings.fontColor;
}

void HtmlView::setDefaultFontColor(const QColor &color)
{
    d->settings.fontColor = color;
    d->applySettings(true);
}

QColor HtmlView::linkColor() const
{
    return d->settings.linkColor;
}

void HtmlView::setLinkColor(const QColor &color)
{
    d->settings.linkColor = color;
    d->applySettings(true);
}

QColor HtmlView::defaultBackground() const
{
    return d->settings.backgroundColor;
}

void HtmlView::setDefaultBackground(const QColor &color)
{
    d->settings.backgroundColor = color;
    d->applySettings(true);
}

bool HtmlView::showImages() const
{
    return d->settings.showImages;
}

void HtmlView::setShowImages(bool show)
{
    d->settings.showImages = show;
    d->applySettings(false);
}

void HtmlView::reloadDocuments()
{
    // A page gone from disk keeps its last view.
    if (d->renderer.hung || d->follower->isPageGone())
        return;
    d->page->allowReload();
    d->page->triggerAction(QWebEnginePage::Reload);
}

void HtmlView::setFollowDisk(bool follow)
{
    d->follower->setEnabled(follow);
    d->page->setUrlRequestInterceptor(follow ? d->follower->recorder() : nullptr);
}

bool HtmlView::followsDisk() const
{
    return d->follower->isEnabled();
}

bool HtmlView::isPageGoneFromDisk() const
{
    return d->follower->isPageGone();
}

QStringList HtmlView::followedFiles() const
{
    return d->follower->files();
}

void HtmlView::setTextSelectable(bool selectable)
{
    d->textSelectable = selectable;
    d->applySettings(true);
}

void HtmlView::setBorder(bool single)
{
    setFrameShape(single ? QFrame::Box : QFrame::NoFrame);
    setLineWidth(1);
}

void HtmlView::setHistoryLimit(int entries)
{
    d->history.setLimit(entries);
    d->checkHistory();
}

int HtmlView::historyLimit() const
{
    return d->history.limit();
}

void HtmlView::clearHistory()
{
    // The engine keeps the current entry; the next load replaces it rather than adding to it.
    d->page->history()->clear();
    d->history.setClearOnLoad(true);
    d->checkHistory();
}

bool HtmlView::canGoBack() const
{
    return d->history.canGoBack();
}

bool HtmlView::canGoForward() const
{
    return d->history.canGoForward();
}

void HtmlView::goBack()
{
    if (!canGoBack())
        return;
    d->history.setClearOnLoad(false);
    d->page->history()->back();
}

void HtmlView::goForward()
{
    if (!canGoForward())
        return;
    d->history.setClearOnLoad(false);
    d->page->history()->forward();
}

bool HtmlView::loadHtmlFile(const QString &path)
{
    startLoadHtmlFile(path);
    if (d->background)
        return d->load.isActive();
    return waitForLoad();
}

void HtmlView::setLoadsInBackground(bool background)
{
    d->background = background;
}

bool HtmlView::loadsInBackground() const
{
    return d->background;
}

QStringList HtmlView::blockedFiles() const
{
    return d->blocked;
}

void HtmlView::startLoadHtmlFile(const QString &path)
{
    if (path.isEmpty()) {
        d->load.serial = 0;
        d->outcome = CaptureOutcome::Missing;
        return;
    }
    const QUrl url = localFileUrl(path);
    grantProgramLoad(localFileOfUrl(url));
    d->beginLoad(url, [this, url] { d->page->load(url); });
}

bool HtmlView::waitForLoad()
{
    return d->finishLoad();
}

CaptureOutcome HtmlView::loadOutcome() const
{
    return d->outcome;
}

void HtmlView::setStopCheck(std::function<bool()> stopped)
{
    d->waiter->setStopCheck(std::move(stopped));
}

bool HtmlView::isLoadSettled() const
{
    return d->loadSettled();
}

void HtmlView::setLoadTimeout(int ms)
{
    d->loadTimeout = std::max(0, ms);
}

int HtmlView::loadTimeout() const
{
    return d->loadTimeout;
}

bool HtmlView::setHtmlText(const QString &html, const QString &baseFile)
{
    const QUrl base
        = baseFile.isEmpty() ? QUrl(QStringLiteral("about:blank")) : localFileUrl(baseFile);
    return d->runLoad(QUrl(), [this, html, base] { d->page->setHtml(html, base); });
}

bool HtmlView::waitForFrame(int timeoutMs)
{
    // A frame of the document a load in the background brings, not of the last one.
    if (d->background && d->load.isActive())
        d->finishLoad();
    return d->waitForFrame(timeoutMs);
}

QString HtmlView::currentFile() const
{
    // A load in the background is the view's document from its start.
    if (d->background && d->load.isActive())
        return localFileOfUrl(d->load.url);
    return localFileOfUrl(d->page->url());
}

QString HtmlView::activeFrameFile() const
{
    return d->activeFrameFile.isEmpty() ? currentFile() : d->activeFrameFile;
}

bool HtmlView::isProcessing() const
{
    return d->processing;
}

void HtmlView::selectAll()
{
    d->page->triggerAction(QWebEnginePage::SelectAll);
}

void HtmlView::copySelection()
{
    d->page->triggerAction(QWebEnginePage::Copy);
}

QString HtmlView::selectedText() const
{
    return d->page->selectedText();
}

QImage HtmlView::capture()
{
    return grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QVariant HtmlView::evaluateJavaScript(const QString &script, int timeoutMs)
{
    struct Answer {
        bool done = false;
        QVariant value;
    };
    auto answer = std::make_shared<Answer>();
    QPointer<HtmlViewPrivate> self(d.get());
    d->page->runJavaScript(
        script, QWebEngineScript::MainWorld, [answer, self](const QVariant &value) {
            answer->done = true;
            answer->value = value;
            if (self)
                self->wake();
        });
    d->waitUntil([&] { return answer->done; }, timeoutMs);
    return answer->value;
}

QWidget *HtmlView::inputWidget() const
{
    QWidget *proxy = d->web->focusProxy();
    return proxy ? proxy : d->web;
}

} // namespace engine
