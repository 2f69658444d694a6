#pragma once

// The inside of HtmlView, shared by its source files: htmlview.cpp (the page, its settings
// and its reports), htmlview_load.cpp (the loads the program waits for) and htmlview_disk.cpp
// (reloads for changes on disk). The jobs with state of their own are in their own classes.

#include "engine/documentcover.h"
#include "engine/frameprober.h"
#include "engine/htmlview.h"
#include "engine/pendingload.h"
#include "engine/viewhistory.h"

#include <QObject>
#include <QPointer>
#include <QWebEnginePage>

class QTimer;
class QWebEngineLoadingInfo;
class QWebEngineView;

namespace engine {

class DiskFollower;
class EnginePage;
class EventWaiter;
class RendererPing;
class RendererWatch;

class HtmlViewPrivate : public QObject
{
public:
    // How often a load that nobody waits for is looked at.
    static constexpr int LoadWatchMs = 100;

    explicit HtmlViewPrivate(HtmlView *view);
    ~HtmlViewPrivate() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // htmlview.cpp
    void attachPage();
    void connectPage();
    void replacePage();
    void applySettings(bool restyleNow);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onMessage(const QString &text);
    bool onClick(const QString &data);
    void onRendererTerminated(QWebEnginePage::RenderProcessTerminationStatus status);
    void setProcessing(bool processing);
    void checkHistory();
    void clearHistoryOfLoad();
    void wake();
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);

    // htmlview_load.cpp
    bool runLoad(const QUrl &url, const std::function<void()> &start);
    void beginLoad(const QUrl &url, const std::function<void()> &start);
    bool finishLoad();
    void watchLoad();
    void endBackgroundLoad(bool finished, bool stop = true);
    void endLoad(bool finished);
    void followPageNavigation(const QUrl &url, QWebEnginePage::NavigationType type);
    void noteLoadEnded(const QUrl &url, bool ok);
    CaptureOutcome endOfLoad(bool finished, const QStringList &blockedFiles);
    bool startFrameProbe();
    bool waitForProbe(int timeoutMs);
    bool waitForFrame(int timeoutMs);
    bool rendererAnswers();
    bool loadSettled() const;
    void reportSettled();

    // htmlview_disk.cpp
    void followDiskChange();
    void reloadFromDisk();
    void endOfReloadFromDisk();
    void reloadIfWaiting();

    HtmlView *q;
    QWebEngineView *web = nullptr;
    EnginePage *page = nullptr;
    QPointer<QWidget> inputWidget;
    EventWaiter *waiter = nullptr;

    DisplaySettings settings;
    bool textSelectable = true;
    ViewHistory history;
    bool processing = false;
    // The frame last clicked, focused or holding the last link followed; the mouse is on a link.
    QString activeFrameFile;
    bool covering = false;

    struct Renderer {
        // Stopped answering: the next load gets a fresh one.
        bool hung = false;
        // Died since the last load began, and whether for lack of memory.
        bool died = false;
        bool outOfMemory = false;
        RendererWatch *watch = nullptr;
        RendererPing *ping = nullptr;
    } renderer;

    // Loads: those the program waits for, how the last ended and what it was refused.
    int loadTimeout = HtmlView::DefaultLoadTimeoutMs;
    // Loads return at once and are followed by events (setLoadsInBackground).
    bool background = false;
    QTimer *loadWatch = nullptr;
    quint64 loadSerial = 0;
    PendingLoad load;
    CaptureOutcome outcome = CaptureOutcome::Missing;
    QStringList blocked;
    FrameProber frames;
    std::unique_ptr<DocumentCover> cover;

    DiskFollower *follower = nullptr;
    struct DiskReload {
        // A change on disk waits for the load in progress; a reload of ours is in progress.
        bool waiting = false;
        bool running = false;
    } diskReload;
};

} // namespace engine
