#include "engine/htmlview.h"

#include "engine/diskfollower.h"
#include "engine/enginepage.h"
#include "engine/fontfamilies.h"
#include "engine/localfiles.h"
#include "engine/localscheme.h"
#include "engine/pagescript.h"
#include "engine/renderermemory.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QList>
#include <QPointer>
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

// How long a loaded page may take to reach the screen before the load counts as done anyway,
// and how long a renderer gets to answer before it counts as hung.
constexpr int frameWaitMs = 1000;
constexpr int pingMs = 500;
// How often a wait that the user may stop looks at the stop check.
constexpr int stopPollMs = 100;
// How often a load that nobody waits for is looked at.
constexpr int loadWatchMs = 100;

// How long after the engine reports a frame the view may take to paint it.
int paintGraceMs(bool resized)
{
    return resized ? 250 : 100;
}

QString localFileOf(const QString &url)
{
    return localFileOfUrl(QUrl(url));
}

} // namespace

class HtmlViewPrivate : public QObject
{
public:
    explicit HtmlViewPrivate(HtmlView *view);
    ~HtmlViewPrivate() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    void attachPage();
    void replacePage();
    void applySettings(bool restyleNow);
    QString currentStyleSheet() const;

    bool runLoad(const QUrl &url, const std::function<void()> &start);
    void beginLoad(const QUrl &url, const std::function<void()> &start);
    bool finishLoad();
    void watchLoad();
    void endBackgroundLoad(bool finished, bool stop = true);
    void endLoad(bool finished);
    void followPageNavigation(const QUrl &url, QWebEnginePage::NavigationType type);
    bool isPendingDocument(const QUrl &reported) const;
    QStringList takeBlocked();
    void sendPing();
    bool rendererSilent() const;
    void noteRendererSign();
    void blankIfNotDrawn();
    void showBlank(const QString &text = QString());
    void hideBlank();
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    bool stopRequested() const;
    CaptureOutcome endOfLoad(bool finished, const QStringList &blockedFiles);
    void wake();
    bool startFrameProbe();
    bool waitForProbe(int timeoutMs);
    bool waitForFrame(int timeoutMs);
    bool rendererAnswers();
    bool loadSettled() const;
    void reportSettled();

    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onMessage(const QString &text);
    bool onClick(const QString &data);
    void setProcessing(bool processing);
    void checkHistory();
    void clearHistoryOfLoad();
    void followDiskChange();
    void reloadFromDisk();
    void endOfReloadFromDisk();
    void reloadIfWaiting();
    int historyFloor() const;

    HtmlView *q;
    QWebEngineView *web = nullptr;
    EnginePage *page = nullptr;
    QPointer<QWidget> inputWidget;

    DiskFollower *follower = nullptr;
    // A change on disk waits for the load in progress; a reload of ours is in progress.
    bool diskReloadWaiting = false;
    bool diskReloading = false;

    DisplaySettings settings;
    bool textSelectable = true;
    int historyLimit = 10;
    int loadTimeout = HtmlView::DefaultLoadTimeoutMs;

    bool processing = false;
    bool rendererHung = false;
    // The renderer of the page died since the last load began, and whether for lack of memory.
    bool rendererDied = false;
    bool rendererOutOfMemory = false;
    RendererWatch *rendererWatch = nullptr;
    // Loads return at once and are followed by events (setLoadsInBackground).
    bool background = false;
    QTimer *loadWatch = nullptr;
    // Asks a renderer whether it answers: the last question and the last answer, and when the
    // question was asked and the renderer last gave a sign of life (a report, an answer), on
    // the view's clock.
    QElapsedTimer clock;
    quint64 pingSerial = 0;
    quint64 pingAnswered = 0;
    qint64 pingSentAt = 0;
    qint64 lastSignAt = 0;
    // The main document: the one created last (by the page script's report), whether a frame of
    // it has been drawn, and whether one was created since the pending load began. Until the
    // first frame of a document the view still shows the last document's: a blank in the
    // background colour hides that when the load ends without one, or says why nothing is
    // shown when the renderer died.
    QString currentDocument;
    bool documentPainted = false;
    bool pendingDocumentSeen = false;
    QLabel *blank = nullptr;
    std::function<bool()> stopCheck;
    CaptureOutcome outcome = CaptureOutcome::Missing;
    bool clearHistoryOnLoad = false;
    QString activeFrameFile;
    bool covering = false;

    // The load loadHtmlFile waits for: 0 when none.
    quint64 loadSerial = 0;
    quint64 pendingLoad = 0;
    QUrl pendingUrl; // empty when any document will do
    // How to start the pending load again on a fresh page, and whether it was.
    std::function<void()> pendingStart;
    bool pendingRestarted = false;
    // The top documents of the pending load (the page, and those it went on to by itself).
    QList<QUrl> pendingDocuments;
    QString pendingFile;
    // The local files the last load was refused.
    QStringList blocked;
    bool pendingStarted = false;
    bool pendingDone = false;
    bool pendingOk = false;
    QElapsedTimer pendingTimer;
    QElapsedTimer pendingDoneTimer;

    quint64 frameSerial = 0;
    quint64 frameSeen = 0;
    // The paints when the last frame was reported, and the time since.
    quint64 framePaints = 0;
    QElapsedTimer frameReported;
    quint64 paintCount = 0;
    QSize framedSize;
    quint64 pageGeneration = 0;
    // The frame asked for last: its number (0 when none), and the paints and page then.
    struct FrameProbe {
        quint64 serial = 0;
        quint64 paints = 0;
        quint64 generation = 0;
        QSize size;
    } probe;
    // The probe the load waited for started when the engine reported the load done.
    quint64 loadProbe = 0;
    // The load whose settling was reported last.
    quint64 settledReported = 0;

    QList<QPointer<QEventLoop>> waitLoops;

    struct HistoryState {
        int count = -1;
        int index = -1;
        bool back = false;
        bool forward = false;
        bool operator==(const HistoryState &) const = default;
    } history;
};

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
    follower = new DiskFollower(this);
    connect(follower, &DiskFollower::reloadWanted, this, &HtmlViewPrivate::followDiskChange);
    connect(follower, &DiskFollower::pageGoneChanged, q, &HtmlView::pageGoneFromDiskChanged);
    connect(follower, &DiskFollower::pollingStarted, q, &HtmlView::diskPollingStarted);
    // Over the engine's view (made after it), never in the layout; it takes no input.
    blank = new QLabel(q);
    blank->setAutoFillBackground(true);
    blank->setAlignment(Qt::AlignCenter);
    blank->setWordWrap(true);
    blank->setAttribute(Qt::WA_TransparentForMouseEvents);
    blank->hide();
    clock.start();
    loadWatch = new QTimer(this);
    loadWatch->setInterval(loadWatchMs);
    connect(loadWatch, &QTimer::timeout, this, &HtmlViewPrivate::watchLoad);
    attachPage();
}

HtmlViewPrivate::~HtmlViewPrivate()
{
    wake();
}

void HtmlViewPrivate::attachPage()
{
    auto *old = page;
    page = new EnginePage(viewProfile(), q);
    ++pageGeneration;
    page->onMessage = [this](const QString &text) { onMessage(text); };
    page->onClick = [this](const QString &data) { return onClick(data); };
    page->onMainFrameNavigation = [this](const QUrl &url, QWebEnginePage::NavigationType type) {
        followPageNavigation(url, type);
    };
    rendererWatch = new RendererWatch(page);
    // Only a view that follows the disk looks at its requests: the look costs every load.
    if (follower->isEnabled())
        page->setUrlRequestInterceptor(follower->recorder());

    QWebEngineSettings *s = page->settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    // Each local file its own origin, as in a browser: a page's scripts read no other file.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);

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
        if (current != page)
            return; // a page being replaced
        rendererHung = true;
        rendererDied = true;
        rendererOutOfMemory = rendererWatch->endedOutOfMemory(status);
        setProcessing(false);
        // The window's browser says why the page is gone; a capture of it is not taken.
        if (background) {
            const QString file = q->currentFile();
            showBlank(captureProblem(rendererOutOfMemory ? CaptureOutcome::OutOfMemory
                                                         : CaptureOutcome::RendererDied,
                file.isEmpty() ? page->url().toString() : file, PartialPicture::Shown));
        }
        wake();
        if (background && pendingLoad != 0)
            endBackgroundLoad(false);
        else if (background && outcome == CaptureOutcome::Unfinished)
            outcome = endOfLoad(false, blocked); // given up on as stuck, then it died
    });

    // A view has no window of its own to close; the engine would stop the page's load instead.
    QWebEngineScript noClose;
    noClose.setName(QStringLiteral("folioscope-no-close"));
    noClose.setInjectionPoint(QWebEngineScript::DocumentCreation);
    noClose.setWorldId(QWebEngineScript::MainWorld);
    noClose.setRunsOnSubFrames(true);
    noClose.setSourceCode(QStringLiteral("window.close = function () {};"));
    page->scripts().insert(noClose);

    applySettings(false);
    web->setPage(page);
    if (old) {
        old->onMessage = nullptr;
        old->onClick = nullptr;
        old->onMainFrameNavigation = nullptr;
        delete old;
    }
    rendererHung = false;
    pingAnswered = pingSerial; // questions to the old page are not waited for
    currentDocument.clear();
    documentPainted = false;
    activeFrameFile.clear();
    checkHistory();
}

void HtmlViewPrivate::replacePage()
{
    // A hung renderer takes every later navigation of its page down with it; a fresh page
    // gets a fresh renderer. The history is lost with the old page.
    setProcessing(false);
    attachPage();
    wake();
}

QString HtmlViewPrivate::currentStyleSheet() const
{
    return defaultStyleSheet(settings, textSelectable);
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

    const QString css = currentStyleSheet();
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
            blank->setGeometry(web->geometry());
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
            ++paintCount;
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
    for (const QPointer<QEventLoop> &loop : std::as_const(waitLoops)) {
        if (loop)
            loop->quit();
    }
}

bool HtmlViewPrivate::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QPointer<HtmlViewPrivate> alive(this);
    while (!done()) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || stopRequested())
            return false;
        QEventLoop loop;
        waitLoops.append(&loop);
        const bool stoppable = bool(stopCheck);
        QTimer::singleShot(
            int(stoppable ? std::min<qint64>(left, stopPollMs) : left), &loop, &QEventLoop::quit);
        // User input waits: a click must not start another load inside this one. A batch that
        // can be stopped has disabled everything but its stop button.
        loop.exec(stoppable ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (!alive)
            return false;
        waitLoops.removeAll(&loop);
        waitLoops.removeAll(nullptr);
    }
    return true;
}

bool HtmlViewPrivate::stopRequested() const
{
    return stopCheck && stopCheck();
}

bool HtmlViewPrivate::runLoad(const QUrl &url, const std::function<void()> &start)
{
    beginLoad(url, start);
    // In the background the load goes on by itself.
    return background ? pendingLoad != 0 : finishLoad();
}

void HtmlViewPrivate::beginLoad(const QUrl &url, const std::function<void()> &start)
{
    // A renderer that stopped answering takes every later navigation of its page down with it.
    if (rendererHung || (background && rendererSilent()))
        replacePage();
    rendererDied = false;
    rendererOutOfMemory = false;
    diskReloadWaiting = false; // the load reads every file afresh
    follower->startPage(localFileOfUrl(url));
    pendingLoad = ++loadSerial;
    pendingUrl = url;
    pendingFile = localFileOfUrl(url);
    pendingDocuments = { url };
    takeBlockedFiles(url); // what an earlier load of the page was refused is not this one's
    pendingStart = start;
    pendingRestarted = false;
    pendingDocumentSeen = false;
    // A load that replaces one in progress gets no start report of its own.
    pendingStarted = processing;
    pendingDone = false;
    pendingOk = false;
    loadProbe = 0;
    pendingTimer.start();
    start();
    if (background) {
        // Whether the renderer still answers decides below whether the load needs a new one.
        sendPing();
        loadWatch->start();
    }
}

// The bounded wait counts from the start of the load, so loads started together wait together.
bool HtmlViewPrivate::finishLoad()
{
    const quint64 serial = pendingLoad;
    if (serial == 0)
        return false;
    QPointer<HtmlViewPrivate> alive(this);
    if (background) {
        // The load ends by itself within its time; a renderer that died ends it at once.
        waitUntil([&] { return pendingLoad != serial; },
            loadTimeout + frameWaitMs + 2 * pingMs + 2 * loadWatchMs);
        return alive && pendingLoad == 0 && outcome == CaptureOutcome::Done;
    }
    waitUntil([&] { return pendingDone || pendingLoad != serial || rendererHung; },
        int(std::max<qint64>(0, loadTimeout - pendingTimer.elapsed())));
    if (!alive || pendingLoad != serial)
        return false; // gone, or a newer load took over
    pendingLoad = 0;
    const bool finished = pendingDone;
    if (!finished) {
        // Leave what is laid out; stop waiting for the rest.
        page->triggerAction(QWebEnginePage::Stop);
        // Stopped by the user: no time for asking the renderer; the next load gets a new one.
        if (!rendererHung && (stopRequested() || !rendererAnswers()))
            rendererHung = true;
        if (!alive)
            return false;
    }
    endLoad(finished);
    if (finished) {
        const int left
            = std::min(frameWaitMs, int(std::max<qint64>(0, loadTimeout - pendingTimer.elapsed())));
        // The probe started with the end of the load is still the one to wait for unless
        // something asked for a frame since.
        if (loadProbe != 0 && loadProbe == probe.serial)
            waitForProbe(left);
        else
            waitForFrame(left);
    }
    outcome = endOfLoad(finished, takeBlocked());
    reloadIfWaiting();
    return outcome == CaptureOutcome::Done;
}

// A load nobody waits for, looked at every tenth of a second: it ends once its frame is shown,
// when it runs out of time, or when its renderer stops answering. A load that never reached
// its document because the renderer was stuck in the last page starts again on a fresh page.
void HtmlViewPrivate::watchLoad()
{
    if (pendingLoad == 0) {
        loadWatch->stop();
        return;
    }
    if (pendingDone) {
        if (loadSettled() || loadProbe == 0 || pendingDoneTimer.elapsed() >= frameWaitMs)
            endBackgroundLoad(true);
        return;
    }
    if (rendererSilent()) {
        if (!pendingDocumentSeen && !pendingRestarted && pendingStart) {
            replacePage();
            pendingRestarted = true;
            pendingStarted = false;
            pendingStart();
            sendPing();
            return;
        }
        // Left as far as it got; a renderer that is only busy may still draw the rest.
        rendererHung = true;
        endBackgroundLoad(false, false);
        return;
    }
    if (pendingTimer.elapsed() >= loadTimeout) {
        endBackgroundLoad(false);
        return;
    }
    sendPing();
}

void HtmlViewPrivate::endBackgroundLoad(bool finished, bool stop)
{
    if (pendingLoad == 0)
        return;
    pendingLoad = 0;
    loadWatch->stop();
    // Leave what is laid out; stop waiting for the rest.
    if (!finished && stop && !rendererDied)
        page->triggerAction(QWebEnginePage::Stop);
    endLoad(finished);
    outcome = endOfLoad(finished, takeBlocked());
    wake();
    reloadIfWaiting();
}

// A page that replaces itself while it loads (a refresh, a script, a link it follows) is
// followed: the load ends with the document it went on to.
void HtmlViewPrivate::followPageNavigation(const QUrl &url, QWebEnginePage::NavigationType type)
{
    if (pendingLoad == 0 || type == QWebEnginePage::NavigationTypeTyped)
        return;
    pendingUrl = url.adjusted(QUrl::RemoveFragment);
    pendingDocuments.append(pendingUrl);
    pendingStarted = processing;
    pendingDone = false;
    pendingOk = false;
    loadProbe = 0;
    settledReported = 0;
}

// The engine reports a local file asked for as a file: URL, or one refused to the page, as
// the document that the program's scheme shows in its place.
bool HtmlViewPrivate::isPendingDocument(const QUrl &reported) const
{
    const QUrl url = reported.adjusted(QUrl::RemoveFragment);
    if (pendingUrl.isEmpty() || url == pendingUrl)
        return true;
    const QString file = localFileOfUrl(pendingUrl);
    return !file.isEmpty() && (localFileOfUrl(url) == file || blockedFileOfUrl(url) == file);
}

QStringList HtmlViewPrivate::takeBlocked()
{
    QStringList files;
    for (const QUrl &document : std::as_const(pendingDocuments)) {
        for (const QString &file : takeBlockedFiles(document))
            if (!files.contains(file))
                files.append(file);
    }
    pendingDocuments.clear();
    noteBlockedFileOf(pendingFile, files.value(0));
    return files;
}

// A question that the renderer has given signs of life since is taken as lost (a question to a
// document going away may never be answered) and asked again.
void HtmlViewPrivate::sendPing()
{
    if (pingAnswered < pingSerial && lastSignAt < pingSentAt)
        return; // the last question is still open
    const quint64 serial = ++pingSerial;
    pingSentAt = clock.elapsed();
    QPointer<HtmlViewPrivate> self(this);
    page->runJavaScript(QStringLiteral("1"), QWebEngineScript::ApplicationWorld,
        [self, serial](const QVariant &) {
            if (!self)
                return;
            self->pingAnswered = std::max(self->pingAnswered, serial);
            self->noteRendererSign();
        });
}

// Asked a while ago, and nothing heard of the renderer since: no answer, no report.
bool HtmlViewPrivate::rendererSilent() const
{
    return pingAnswered < pingSerial && lastSignAt < pingSentAt
        && clock.elapsed() - pingSentAt >= pingMs;
}

void HtmlViewPrivate::noteRendererSign()
{
    lastSignAt = clock.elapsed();
}

// Whatever the view shows that is not a frame of its own document is hidden.
void HtmlViewPrivate::blankIfNotDrawn()
{
    if (!documentPainted)
        showBlank();
}

void HtmlViewPrivate::showBlank(const QString &text)
{
    QPalette palette = blank->palette();
    const QColor background
        = settings.backgroundColor.isValid() ? settings.backgroundColor : QColor(Qt::white);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, background.lightness() < 128 ? Qt::white : Qt::black);
    blank->setPalette(palette);
    blank->setText(text);
    blank->setGeometry(web->geometry());
    blank->show();
}

void HtmlViewPrivate::hideBlank()
{
    blank->hide();
}

// What every load leaves: nothing loading any more, the view showing only what it drew of the
// page, and the history as the load asked.
void HtmlViewPrivate::endLoad(bool finished)
{
    if (!finished) {
        setProcessing(false);
        blankIfNotDrawn();
    }
    if (clearHistoryOnLoad)
        page->history()->clear();
    clearHistoryOnLoad = false;
    checkHistory();
}

CaptureOutcome HtmlViewPrivate::endOfLoad(bool finished, const QStringList &blockedFiles)
{
    blocked = blockedFiles;
    if (rendererDied)
        return rendererOutOfMemory ? CaptureOutcome::OutOfMemory : CaptureOutcome::RendererDied;
    if (stopRequested())
        return CaptureOutcome::Stopped;
    if (!blocked.isEmpty())
        return CaptureOutcome::Blocked;
    return finished && pendingOk ? CaptureOutcome::Done : CaptureOutcome::Unfinished;
}

bool HtmlViewPrivate::rendererAnswers()
{
    auto answered = std::make_shared<bool>(false);
    QPointer<HtmlViewPrivate> self(this);
    page->runJavaScript(QStringLiteral("1"), QWebEngineScript::ApplicationWorld,
        [answered, self](const QVariant &) {
            *answered = true;
            if (self)
                self->wake();
        });
    waitUntil([&] { return *answered; }, pingMs);
    return *answered || !self;
}

// Asks the page for a frame begun after now; false when the view cannot show one.
bool HtmlViewPrivate::startFrameProbe()
{
    // Sizes pending in layouts are set now, so that the frame waited for has the final size.
    if (QLayout *layout = q->window()->layout())
        layout->activate();
    // A hidden or empty view paints nothing: the engine holds its frames back.
    if (!q->isVisible() || web->width() <= 0 || web->height() <= 0 || rendererHung)
        return false;
    probe = { ++frameSerial, paintCount, pageGeneration, web->size() };
    page->runJavaScript(frameProbeScript(probe.serial, web->width(), web->height()),
        QWebEngineScript::ApplicationWorld);
    return true;
}

bool HtmlViewPrivate::waitForProbe(int timeoutMs)
{
    const FrameProbe asked = probe;
    QElapsedTimer timer;
    timer.start();
    QPointer<HtmlViewPrivate> alive(this);
    const bool framed = waitUntil(
        [&] {
            return frameSeen >= asked.serial || asked.generation != pageGeneration || rendererHung;
        },
        timeoutMs);
    if (!alive || !framed || asked.generation != pageGeneration)
        return false;
    // The frame is on its way to the widget, which shows it with its next paint; the engine
    // may report it a little before it delivers it, or, after a resize, much before. Paints
    // already seen may be of older frames: give one after the report a short while.
    const bool resized = asked.size != framedSize;
    framedSize = asked.size;
    const quint64 paintsReported = framePaints;
    if (resized || paintCount == asked.paints) {
        const qint64 left = std::min<qint64>(
            timeoutMs - timer.elapsed(), paintGraceMs(resized) - frameReported.elapsed());
        waitUntil([&] { return paintCount != paintsReported; }, int(std::max<qint64>(0, left)));
    }
    return true;
}

bool HtmlViewPrivate::waitForFrame(int timeoutMs)
{
    return startFrameProbe() && waitForProbe(timeoutMs);
}

// What finishLoad() would find without waiting: the load is done, the frame asked for at its
// end has been reported and painted, or the view had its while to paint it.
bool HtmlViewPrivate::loadSettled() const
{
    if (pendingLoad == 0 || !pendingDone || rendererHung || loadProbe == 0
        || loadProbe != probe.serial || probe.generation != pageGeneration
        || frameSeen < probe.serial)
        return false;
    const bool resized = probe.size != framedSize;
    return paintCount != (resized ? framePaints : probe.paints)
        || frameReported.elapsed() >= paintGraceMs(resized);
}

void HtmlViewPrivate::reportSettled()
{
    if (pendingLoad == 0 || settledReported == pendingLoad || !loadSettled())
        return;
    settledReported = pendingLoad;
    // Ended outside the paint this may come from.
    if (background)
        QTimer::singleShot(0, this, [this] { watchLoad(); });
    Q_EMIT q->loadSettled();
}

void HtmlViewPrivate::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        if (pendingLoad)
            pendingStarted = true;
        // What the view shows from now on is the last document's until the next one draws.
        currentDocument.clear();
        documentPainted = false;
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
        if (pendingLoad && pendingStarted && !pendingDone && isPendingDocument(info.url())) {
            pendingDone = true;
            pendingDoneTimer.start();
            pendingOk = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
            if (background)
                QTimer::singleShot(0, this, [this] { clearHistoryOfLoad(); });
            // The frame of the finished page is asked for at once, not when someone waits for
            // the load: views loading side by side then wait for their frames side by side.
            if (startFrameProbe())
                loadProbe = probe.serial;
            else if (background)
                QTimer::singleShot(0, this, [this] { watchLoad(); });
        }
        setProcessing(false);
        checkHistory();
        endOfReloadFromDisk();
        wake();
        break;
    }
}

void HtmlViewPrivate::followDiskChange()
{
    if (rendererHung)
        return;
    // Reloading again before a reload has finished would never show anything.
    if (processing || pendingLoad != 0) {
        diskReloadWaiting = true;
        return;
    }
    reloadFromDisk();
}

void HtmlViewPrivate::reloadFromDisk()
{
    diskReloadWaiting = false;
    // Gone while the reload waited: the last view stays.
    if (follower->isPageGone())
        return;
    diskReloading = true;
    follower->keepFrameScrolls();
    page->allowReload();
    page->triggerAction(QWebEnginePage::Reload);
}

void HtmlViewPrivate::endOfReloadFromDisk()
{
    if (diskReloading) {
        diskReloading = false;
        const QString restore = follower->frameScrollRestoreScript();
        if (!restore.isEmpty())
            page->runJavaScript(restore, QWebEngineScript::ApplicationWorld);
        Q_EMIT q->reloadedFromDisk();
    }
    reloadIfWaiting();
}

// A change that came during a load is shown once the load is over.
void HtmlViewPrivate::reloadIfWaiting()
{
    if (!diskReloadWaiting)
        return;
    QTimer::singleShot(0, this, [this] {
        if (diskReloadWaiting && !processing && pendingLoad == 0 && !rendererHung)
            reloadFromDisk();
    });
}

void HtmlViewPrivate::onMessage(const QString &text)
{
    PageMessage message;
    if (!parsePageMessage(text, &message))
        return;
    noteRendererSign();
    if (message.kind == QLatin1String("document")) {
        currentDocument = message.fields.value(0);
        documentPainted = false;
        // Of the pending load, not a late word of the page before it.
        if (pendingLoad != 0 && isPendingDocument(QUrl(message.fields.value(1))))
            pendingDocumentSeen = true;
        if (background)
            QTimer::singleShot(0, this, [this] { clearHistoryOfLoad(); });
    } else if (message.kind == QLatin1String("drawn")) {
        if (!currentDocument.isEmpty() && message.fields.value(0) == currentDocument) {
            documentPainted = true;
            hideBlank();
        }
    } else if (message.kind == QLatin1String("frame")) {
        // Asked of the document shown now, which has drawn its frames by then.
        hideBlank();
        frameSeen = std::max(frameSeen, message.fields.value(0).toULongLong());
        framePaints = paintCount;
        frameReported.start();
        wake();
        reportSettled();
        // Settled without a paint when the grace runs out.
        QTimer::singleShot(
            paintGraceMs(probe.size != framedSize) + 1, this, [this] { reportSettled(); });
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
        clearHistoryOnLoad = false;
    return handled;
}

void HtmlViewPrivate::setProcessing(bool value)
{
    if (processing == value)
        return;
    processing = value;
    Q_EMIT q->processingChanged(value);
}

int HtmlViewPrivate::historyFloor() const
{
    return std::max(0, page->history()->count() - historyLimit);
}

// The history a load from the program clears goes as soon as its document is in it, so that
// "back" never leads out of a load in the background.
void HtmlViewPrivate::clearHistoryOfLoad()
{
    if (!clearHistoryOnLoad || pendingLoad == 0)
        return;
    QWebEngineHistory *h = page->history();
    if (h->count() > 1 && isPendingDocument(h->currentItem().url())) {
        h->clear();
        checkHistory();
    }
}

void HtmlViewPrivate::checkHistory()
{
    QWebEngineHistory *h = page->history();
    HistoryState now;
    now.count = h->count();
    now.index = h->currentItemIndex();
    now.back = now.index > historyFloor();
    now.forward = h->canGoForward();
    if (now == history)
        return;
    history = now;
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
    if (d->rendererHung || d->follower->isPageGone())
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
    d->historyLimit = std::max(1, entries);
    d->checkHistory();
}

int HtmlView::historyLimit() const
{
    return d->historyLimit;
}

void HtmlView::clearHistory()
{
    // The engine keeps the current entry; the next load replaces it rather than adding to it.
    d->page->history()->clear();
    d->clearHistoryOnLoad = true;
    d->checkHistory();
}

bool HtmlView::canGoBack() const
{
    return d->history.back;
}

bool HtmlView::canGoForward() const
{
    return d->history.forward;
}

void HtmlView::goBack()
{
    if (!canGoBack())
        return;
    d->clearHistoryOnLoad = false;
    d->page->history()->back();
}

void HtmlView::goForward()
{
    if (!canGoForward())
        return;
    d->clearHistoryOnLoad = false;
    d->page->history()->forward();
}

bool HtmlView::loadHtmlFile(const QString &path)
{
    startLoadHtmlFile(path);
    if (d->background)
        return d->pendingLoad != 0;
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
        d->pendingLoad = 0;
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
    d->stopCheck = std::move(stopped);
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
    if (d->background && d->pendingLoad != 0)
        d->finishLoad();
    return d->waitForFrame(timeoutMs);
}

QString HtmlView::currentFile() const
{
    // A load in the background is the view's document from its start.
    if (d->background && d->pendingLoad != 0)
        return localFileOfUrl(d->pendingUrl);
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
