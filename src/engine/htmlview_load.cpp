// HtmlView's loads: those the program waits for, and those in the background that end by
// themselves.

#include "engine/diskfollower.h"
#include "engine/enginepage.h"
#include "engine/eventwaiter.h"
#include "engine/htmlview_p.h"
#include "engine/localfiles.h"
#include "engine/pagescript.h"
#include "engine/rendererping.h"

#include <QLayout>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <algorithm>
#include <memory>

namespace engine {

namespace {

// How long a loaded page may take to reach the screen before the load counts as done anyway.
constexpr int frameWaitMs = 1000;
constexpr int pingMs = RendererPing::AnswerMs;

} // namespace

bool HtmlViewPrivate::runLoad(const QUrl &url, const std::function<void()> &start)
{
    beginLoad(url, start);
    // In the background the load goes on by itself.
    return background ? load.isActive() : finishLoad();
}

void HtmlViewPrivate::beginLoad(const QUrl &url, const std::function<void()> &start)
{
    // A renderer that stopped answering takes every later navigation of its page down with it.
    if (renderer.hung || (background && renderer.ping->silent()))
        replacePage();
    renderer.died = false;
    renderer.outOfMemory = false;
    diskReload.waiting = false; // the load reads every file afresh
    follower->startPage(localFileOfUrl(url));
    load.begin(++loadSerial, url, start, processing);
    start();
    if (background) {
        // Whether the renderer still answers decides below whether the load needs a new one.
        renderer.ping->ask(page);
        loadWatch->start();
    }
}

// The bounded wait counts from the start of the load, so loads started together wait together.
bool HtmlViewPrivate::finishLoad()
{
    const quint64 serial = load.serial;
    if (serial == 0)
        return false;
    QPointer<HtmlViewPrivate> alive(this);
    if (background) {
        // The load ends by itself within its time; a renderer that died ends it at once.
        waitUntil([&] { return load.serial != serial; },
            loadTimeout + frameWaitMs + 2 * pingMs + 2 * LoadWatchMs);
        return alive && !load.isActive() && outcome == CaptureOutcome::Done;
    }
    waitUntil([&] { return load.done || load.serial != serial || renderer.hung; },
        int(std::max<qint64>(0, loadTimeout - load.timer.elapsed())));
    if (!alive || load.serial != serial)
        return false; // gone, or a newer load took over
    load.serial = 0;
    const bool finished = load.done;
    if (!finished) {
        // Leave what is laid out; stop waiting for the rest.
        page->triggerAction(QWebEnginePage::Stop);
        // Stopped by the user: no time for asking the renderer; the next load gets a new one.
        if (!renderer.hung && (waiter->stopRequested() || !rendererAnswers()))
            renderer.hung = true;
        if (!alive)
            return false;
    }
    endLoad(finished);
    if (finished) {
        const int left
            = std::min(frameWaitMs, int(std::max<qint64>(0, loadTimeout - load.timer.elapsed())));
        // The probe started with the end of the load is still the one to wait for unless
        // something asked for a frame since.
        if (load.probe != 0 && load.probe == frames.probe().serial)
            waitForProbe(left);
        else
            waitForFrame(left);
    }
    outcome = endOfLoad(finished, load.takeBlocked());
    reloadIfWaiting();
    return outcome == CaptureOutcome::Done;
}

// A load nobody waits for, looked at every tenth of a second: it ends once its frame is shown,
// when it runs out of time, or when its renderer stops answering. A load that never reached
// its document because the renderer was stuck in the last page starts again on a fresh page.
void HtmlViewPrivate::watchLoad()
{
    if (!load.isActive()) {
        loadWatch->stop();
        return;
    }
    if (load.done) {
        if (loadSettled() || load.probe == 0 || load.doneTimer.elapsed() >= frameWaitMs)
            endBackgroundLoad(true);
        return;
    }
    if (renderer.ping->silent()) {
        if (!load.documentSeen && !load.restarted && load.start) {
            replacePage();
            load.restarted = true;
            load.started = false;
            load.start();
            renderer.ping->ask(page);
            return;
        }
        // Left as far as it got; a renderer that is only busy may still draw the rest.
        renderer.hung = true;
        endBackgroundLoad(false, false);
        return;
    }
    if (load.timer.elapsed() >= loadTimeout) {
        endBackgroundLoad(false);
        return;
    }
    renderer.ping->ask(page);
}

void HtmlViewPrivate::endBackgroundLoad(bool finished, bool stop)
{
    if (!load.isActive())
        return;
    load.serial = 0;
    loadWatch->stop();
    // Leave what is laid out; stop waiting for the rest.
    if (!finished && stop && !renderer.died)
        page->triggerAction(QWebEnginePage::Stop);
    endLoad(finished);
    outcome = endOfLoad(finished, load.takeBlocked());
    wake();
    reloadIfWaiting();
}

// A page that replaces itself while it loads (a refresh, a script, a link it follows) is
// followed: the load ends with the document it went on to.
void HtmlViewPrivate::followPageNavigation(const QUrl &url, QWebEnginePage::NavigationType type)
{
    if (!load.isActive() || type == QWebEnginePage::NavigationTypeTyped)
        return;
    load.followNavigation(url, processing);
}

// The engine reported the end of a load (its own or the program's).
void HtmlViewPrivate::noteLoadEnded(const QUrl &url, bool ok)
{
    if (!load.isActive() || !load.started || load.done || !load.isDocument(url))
        return;
    load.done = true;
    load.doneTimer.start();
    load.ok = ok;
    if (background)
        QTimer::singleShot(0, this, [this] { clearHistoryOfLoad(); });
    // The frame of the finished page is asked for at once, not when someone waits for the
    // load: views loading side by side then wait for their frames side by side.
    if (startFrameProbe())
        load.probe = frames.probe().serial;
    else if (background)
        QTimer::singleShot(0, this, [this] { watchLoad(); });
}

// What every load leaves: nothing loading any more, the view showing only what it drew of the
// page, and the history as the load asked.
void HtmlViewPrivate::endLoad(bool finished)
{
    if (!finished) {
        setProcessing(false);
        cover->coverIfNotDrawn(settings.backgroundColor);
    }
    if (history.clearsOnLoad())
        page->history()->clear();
    history.setClearOnLoad(false);
    checkHistory();
}

CaptureOutcome HtmlViewPrivate::endOfLoad(bool finished, const QStringList &blockedFiles)
{
    blocked = blockedFiles;
    if (renderer.died)
        return renderer.outOfMemory ? CaptureOutcome::OutOfMemory : CaptureOutcome::RendererDied;
    if (waiter->stopRequested())
        return CaptureOutcome::Stopped;
    if (!blocked.isEmpty())
        return CaptureOutcome::Blocked;
    return finished && load.ok ? CaptureOutcome::Done : CaptureOutcome::Unfinished;
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
    if (!q->isVisible() || web->width() <= 0 || web->height() <= 0 || renderer.hung)
        return false;
    const FrameProber::Probe &probe = frames.ask(web->size());
    page->runJavaScript(frameProbeScript(probe.serial, web->width(), web->height()),
        QWebEngineScript::ApplicationWorld);
    return true;
}

bool HtmlViewPrivate::waitForProbe(int timeoutMs)
{
    return frames.waitForProbe(*waiter, timeoutMs, [this] { return renderer.hung; });
}

bool HtmlViewPrivate::waitForFrame(int timeoutMs)
{
    return startFrameProbe() && waitForProbe(timeoutMs);
}

// What finishLoad() would find without waiting: the load is done, the frame asked for at its
// end has been reported and painted, or the view had its while to paint it.
bool HtmlViewPrivate::loadSettled() const
{
    if (!load.isActive() || !load.done || renderer.hung || load.probe == 0)
        return false;
    return frames.isShown(load.probe);
}

void HtmlViewPrivate::reportSettled()
{
    if (!load.isActive() || load.settledReported == load.serial || !loadSettled())
        return;
    load.settledReported = load.serial;
    // Ended outside the paint this may come from.
    if (background)
        QTimer::singleShot(0, this, [this] { watchLoad(); });
    Q_EMIT q->loadSettled();
}

} // namespace engine
