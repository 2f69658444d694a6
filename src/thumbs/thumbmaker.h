#pragma once

#include "engine/captureoutcome.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QObject;

namespace engine {
class CaptureForm;
class HtmlView;
} // namespace engine

namespace thumbs {

class ImageCache;

// The base browser sizes a thumbnail is rendered at, in the order of their list.
inline constexpr int kSnapBaseCount = 7;
QString snapBaseText(int index);
// The size of an index; an index outside the list keeps `previous`.
QSize snapBaseSize(int index, const QSize &previous);

// A page capture shrunk to the thumbnail size with "Lanczos3"; null when it cannot be.
QImage ShrinkCapture(const QImage &capture);
// The line naming a page whose thumbnail went wrong ("no such file: ", "cannot store the
// thumbnail of ", or the capture's problem); empty when it was made whole or stopped. A
// failed store is followed by `storeError` (the file and the reason), when given.
QString thumbProblem(const QString &page, bool stored, engine::CaptureOutcome outcome,
    const QString &storeError = QString());

// Writes the picture as the page's thumbnail (JPEG quality 70), creating the thumbnail
// sub-folder; the old thumbnail stays whole when the write fails. False with
// "FILE: REASON" in `error` (when given).
bool StoreThumb(const QString &thumbFolder, const QString &page, const QImage &picture,
    QString *error = nullptr);

// Renders pages in hidden capture forms of the base size and stores their thumbnails. Every
// load gives the form's view the browser's display settings and an empty history; within a
// batch a form that has captured its page takes the next one (a new form costs several times
// a page). A batch names its pages in advance; up to hostCount() of them then load at once,
// and a planned page is captured as soon as its frame is shown, so that its form takes the
// next one without waiting for the pages before it. The thumbnails are still made, written
// and reported one after the other in order.
class ThumbMaker
{
public:
    // `browser` lends its display settings (none: the engine's defaults); the cache, when
    // given, gets every new picture of a thumbnail it holds.
    ThumbMaker(const QString &thumbFolder, engine::HtmlView *browser, ImageCache *cache = nullptr);
    ~ThumbMaker();
    ThumbMaker(const ThumbMaker &) = delete;
    ThumbMaker &operator=(const ThumbMaker &) = delete;

    // How many pages a batch loads at once (at least 1).
    void setHostCount(int hosts);
    int hostCount() const { return m_hosts; }
    // What is fastest on the machines measured.
    static int defaultHostCount();

    // The pages the next makeThumb calls will ask for, in this order, at this base size.
    void plan(const QStringList &pages, const QSize &base);
    // Renders and stores one thumbnail; false when the page is missing or any step failed. A
    // page that did not finish loading is stored as far as it got; one whose renderer died,
    // that is not a regular file or whose load the user stopped is not.
    bool makeThumb(const QString &page, const QSize &base);
    // How the capture of the last makeThumb went.
    engine::CaptureOutcome lastOutcome() const { return m_outcome; }
    // Why the last makeThumb could not store its thumbnail ("FILE: REASON"); empty otherwise.
    QString lastStoreError() const { return m_storeError; }
    // Lets the user stop the loads of the forms made from now on (HtmlView::setStopCheck);
    // an empty check ends that.
    void setStopCheck(std::function<bool()> stopped);
    // Whether the busy cursor shows while a page loads (not for remakes in the background).
    void setBusyCursor(bool shown) { m_busyCursor = shown; }
    // Drops the plan, the loads under way and the forms kept for the next pages.
    void cancel();

private:
    struct Pending;
    void dropPlan();
    Pending startPage(const QString &page, const QSize &base);
    void takePicture(Pending &pending);
    int formsLoading() const;
    void topUp();
    std::unique_ptr<engine::CaptureForm> startForm(const QString &page, const QSize &base);
    void recycle(std::unique_ptr<engine::CaptureForm> form, const QSize &base);
    void captureSettled();

    QString m_thumbFolder;
    engine::HtmlView *m_browser;
    ImageCache *m_cache;
    int m_hosts = 1;
    QStringList m_plan;
    QSize m_planBase;
    qsizetype m_nextPlanned = 0;
    // The planned pages under way after the one being made: loading, or captured already.
    std::deque<Pending> m_loading;
    // Whether the page being made holds a form while it loads.
    bool m_holding = false;
    // Receives the forms' reports that their pages are settled; gone with the maker.
    std::unique_ptr<QObject> m_receiver;
    std::vector<std::unique_ptr<engine::CaptureForm>> m_idle;
    QSize m_idleBase;
    std::function<bool()> m_stopCheck;
    bool m_busyCursor = true;
    engine::CaptureOutcome m_outcome = engine::CaptureOutcome::Missing;
    QString m_storeError;
};

} // namespace thumbs
