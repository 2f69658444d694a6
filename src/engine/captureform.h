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

namespace engine {

class CaptureHost;
class HtmlView;

// Pages loaded side by side by default in batches: enough that one page's load hides behind
// another's capture, scaling and writing.
inline constexpr int kDefaultCaptureHosts = 3;


// The hidden capture form of thumbnails and snapshots: a borderless, silver window of the base
// size that is never shown on screen, filled by an HTML view. It lives for one capture, or
// for the pages of one batch.
class CaptureForm
{
public:
    // `browser` is the internal browser's view, whose display settings the form copies. With
    // fromBrowser the form lays that live view out at the base size instead of its own one
    // and gives it back when it closes.
    CaptureForm(const QSize &baseSize, HtmlView *browser, bool fromBrowser = false);
    ~CaptureForm();
    CaptureForm(const CaptureForm &) = delete;
    CaptureForm &operator=(const CaptureForm &) = delete;

    // Clears the form's own view, gives it the browser's six display settings and loads the
    // file; returns when the page is laid out (false when it failed or did not finish in
    // time: the capture then shows as far as it got).
    bool loadHtmlFile(const QString &file);
    // The same in two halves, so that several forms load at once.
    void startLoadHtmlFile(const QString &file);
    bool waitForLoad();
    // How the last load ended; a pipe, socket or device is never loaded (NotRegularFile).
    CaptureOutcome loadOutcome() const;
    // Lets the user stop the form's loads (HtmlView::setStopCheck).
    void setStopCheck(std::function<bool()> stopped);
    // The client area, the view's scroll bars included, base width x base height.
    QImage capture();
    HtmlView *view() const;
    // Gives back a borrowed browser view before the form goes.
    void handleClose();

    QSize baseSize() const;
    // Lays the page out at another size (a full-page capture); the next load wants the base
    // size back.
    void setLayoutSize(const QSize &size);

private:
    std::unique_ptr<CaptureHost> m_host;
    HtmlView *m_browser;
    bool m_notRegular = false;
};

// The capture forms of a batch. A form that captured its page takes the next one: a new form
// costs several times a page, and the load clears it and gives it the browser's settings as a
// new one would get. With a plan, the next pages load side by side, up to hostCount at once,
// while one page is captured, scaled and written.
class CaptureFormKeeper
{
public:
    CaptureFormKeeper(HtmlView *browser, int hostCount = 1);
    ~CaptureFormKeeper();
    CaptureFormKeeper(const CaptureFormKeeper &) = delete;
    CaptureFormKeeper &operator=(const CaptureFormKeeper &) = delete;

    // The pages the next load() calls will ask for, in this order, at this base size.
    void plan(const QStringList &pages, const QSize &baseSize);
    // A form of this base size with the page loaded (*complete as loadHtmlFile gives it): the
    // one that loaded it ahead when it is planned (planned pages passed over are dropped),
    // otherwise a kept or a new one. It stays this page's until captured() or the next load.
    CaptureForm &load(const QString &file, const QSize &baseSize, bool *complete);
    // The page of the last load() is captured: its form is free, the next pages start.
    void captured();
    // Given to every form the keeper makes from now on (CaptureForm::setStopCheck).
    void setStopCheck(std::function<bool()> stopped);

private:
    struct Pending;
    std::unique_ptr<CaptureForm> idleForm(const QSize &baseSize);
    void release(std::unique_ptr<CaptureForm> form);
    void topUp(qsizetype count);

    HtmlView *m_browser;
    qsizetype m_hosts;
    QStringList m_plan;
    QSize m_planBase;
    qsizetype m_nextPlanned = 0;
    std::deque<Pending> m_loading;
    std::vector<std::unique_ptr<CaptureForm>> m_idle;
    std::unique_ptr<CaptureForm> m_current;
    std::function<bool()> m_stopCheck;
};

} // namespace engine
