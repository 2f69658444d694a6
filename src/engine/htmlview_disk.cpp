// HtmlView following the disk: the page loaded again when a file of it changes.

#include "engine/diskfollower.h"
#include "engine/enginepage.h"
#include "engine/htmlview_p.h"

#include <QTimer>
#include <QWebEngineScript>

namespace engine {

void HtmlViewPrivate::followDiskChange()
{
    if (renderer.hung)
        return;
    // Reloading again before a reload has finished would never show anything.
    if (processing || load.isActive()) {
        diskReload.waiting = true;
        return;
    }
    reloadFromDisk();
}

void HtmlViewPrivate::reloadFromDisk()
{
    diskReload.waiting = false;
    // Gone while the reload waited: the last view stays.
    if (follower->isPageGone())
        return;
    diskReload.running = true;
    follower->keepFrameScrolls();
    page->allowReload();
    page->triggerAction(QWebEnginePage::Reload);
}

void HtmlViewPrivate::endOfReloadFromDisk()
{
    if (diskReload.running) {
        diskReload.running = false;
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
    if (!diskReload.waiting)
        return;
    QTimer::singleShot(0, this, [this] {
        if (diskReload.waiting && !processing && !load.isActive() && !renderer.hung)
            reloadFromDisk();
    });
}

} // namespace engine
