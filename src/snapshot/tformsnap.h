#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace engine {
class CaptureHost;
class HtmlView;
} // namespace engine

namespace snapshot {

// The hidden capture form of thumbnails and snapshots: a borderless, silver window of the base
// size that is never shown on screen, filled by an HTML view. It lives for one capture, or
// for the pages of one batch.
class TFormSnap
{
public:
    // `browser` is the internal browser's view, whose display settings the form copies. With
    // fromBrowser the form lays that live view out at the base size instead of its own one
    // and gives it back when it closes.
    TFormSnap(const QSize &baseSize, engine::HtmlView *browser, bool fromBrowser = false);
    ~TFormSnap();
    TFormSnap(const TFormSnap &) = delete;
    TFormSnap &operator=(const TFormSnap &) = delete;

    // Clears the form's own view, gives it the browser's six display settings and loads the
    // file; returns when the page is laid out (false when it failed or did not finish in
    // time: the capture then shows as far as it got).
    bool LoadHTMLFile(const QString &file);
    // The same in two halves, so that several forms load at once.
    void startLoadHTMLFile(const QString &file);
    bool waitForLoad();
    // The client area, the view's scroll bars included, base width x base height.
    QImage capture();
    engine::HtmlView *view() const;
    // Gives back a borrowed browser view before the form goes.
    void FormClose();

    QSize baseSize() const;

private:
    std::unique_ptr<engine::CaptureHost> m_host;
    engine::HtmlView *m_browser;
};

// The capture form of a batch, kept for its next page: a new form costs several times a page,
// and the load clears the kept one and gives it the browser's settings as a new one would get.
class TFormSnapKeeper
{
public:
    explicit TFormSnapKeeper(engine::HtmlView *browser);
    ~TFormSnapKeeper();
    TFormSnapKeeper(const TFormSnapKeeper &) = delete;
    TFormSnapKeeper &operator=(const TFormSnapKeeper &) = delete;

    // The kept form when it has this base size; otherwise a new one, kept from now on.
    TFormSnap &form(const QSize &baseSize);

private:
    engine::HtmlView *m_browser;
    std::unique_ptr<TFormSnap> m_form;
};

} // namespace snapshot
