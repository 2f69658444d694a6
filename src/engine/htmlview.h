#pragma once

#include "engine/captureoutcome.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class QKeyEvent;

namespace engine {

// The display settings of a view. The colours and fonts are defaults: a page's own styles win.
struct DisplaySettings {
    QString fontName = QStringLiteral("Times New Roman");
    int fontSize = 12; // points
    QString fixedFontName = QStringLiteral("Courier New");
    QColor fontColor = QColor(0, 0, 0);
    QColor linkColor = QColor(0, 0, 255);
    QColor backgroundColor = QColor(255, 255, 255);
    bool showImages = true;

    bool operator==(const DisplaySettings &) const = default;
};

class HtmlViewPrivate;

// A frame-capable HTML view: everything the program needs of the rendering engine, and
// nothing more. It may be moved between parent windows at any time; document and history
// stay with it.
class HtmlView : public QFrame
{
    Q_OBJECT

public:
    // Scroll bars of every document are exactly this wide (and high), so that a capture
    // cropped by this many pixels on the right and bottom has none.
    static constexpr int ScrollBarExtent = 16;
    // loadHtmlFile gives up waiting after this long unless told otherwise.
    static constexpr int DefaultLoadTimeoutMs = 10000;

    explicit HtmlView(QWidget *parent = nullptr);
    ~HtmlView() override;

    // Display settings. Fonts and image loading take effect for the documents shown at once
    // or on reloadDocuments(); colours apply to the main document at once and to every
    // document on reloadDocuments().
    DisplaySettings displaySettings() const;
    void setDisplaySettings(const DisplaySettings &settings);
    QString defaultFontName() const;
    void setDefaultFontName(const QString &name);
    int defaultFontSize() const;
    void setDefaultFontSize(int points);
    QColor defaultFontColor() const;
    void setDefaultFontColor(const QColor &color);
    QColor linkColor() const;
    void setLinkColor(const QColor &color);
    QColor defaultBackground() const;
    void setDefaultBackground(const QColor &color);
    bool showImages() const;
    void setShowImages(bool show);
    // Lays every document out again with the current settings; history is kept. A page gone
    // from disk (see isPageGoneFromDisk()) keeps its last view.
    void reloadDocuments();

    // While on, the page is loaded again when it or a local file it loaded (a frame's page, a
    // style sheet, a picture, a script) changes on disk. Such a reload keeps the scroll
    // positions of the page and its frames and adds nothing to the history; a burst of changes
    // gives one, and reloads come at most ten a second. Off by default.
    void setFollowDisk(bool follow);
    bool followsDisk() const;
    // While following: the page shown is gone from disk or is no file now. Its last view
    // stays; it is shown again when it comes back.
    bool isPageGoneFromDisk() const;
    // The local files of the page that are followed (the page first).
    QStringList followedFiles() const;

    // Off makes the documents' text unselectable (the sample view of the settings dialog).
    void setTextSelectable(bool selectable);
    // A single border, or none (the default).
    void setBorder(bool single);

    // History: at most historyLimit() entries, the current one included.
    void setHistoryLimit(int entries);
    int historyLimit() const;
    void clearHistory();
    bool canGoBack() const;
    bool canGoForward() const;
    void goBack();
    void goForward();

    // Loads a local file (a page or a picture) and returns when the page is laid out, its
    // pictures are loaded and a frame of it has been painted, so that capture() shows it.
    // A page that does not finish within loadTimeout() is stopped and left as far as it got;
    // the result is then false (also for a missing or unreadable file). User input waits
    // until it returns. In the background (setLoadsInBackground) it returns at once, true
    // when a load started, and the load goes on by itself.
    bool loadHtmlFile(const QString &path);
    // On: loads and setHtmlText() return at once, so that the window answers whatever a page
    // does. The load ends by itself when its frame is shown, when it runs out of time or when
    // its renderer stops answering for half a second (the view then shows the page as far as
    // it got, and the next load gets a fresh renderer); a load that was stuck in the last
    // page's renderer starts again on a fresh one. waitForLoad() still waits for it. Off by
    // default.
    void setLoadsInBackground(bool background);
    bool loadsInBackground() const;
    // The same in two halves, so that several views load at once: the first returns at once,
    // the second waits as loadHtmlFile does, within loadTimeout() of the start.
    void startLoadHtmlFile(const QString &path);
    bool waitForLoad();
    // How the last load ended: Done, Unfinished (also a load that failed), Blocked,
    // RendererDied, OutOfMemory or Stopped. A view shows only what it drew of the page: a
    // load that ends before the page's first frame leaves the view blank, never showing the
    // page before it.
    CaptureOutcome loadOutcome() const;
    // The local files the last load was refused (Blocked): a page reaches only the files a
    // site is made of (isSiteFile()). Its frames show such a file as blocked.
    QStringList blockedFiles() const;
    // While set, waits for loads let user input through (the windows that could start
    // anything are disabled then) and give up within a tenth of a second once it answers
    // true: the load counts as Stopped and the page is left as far as it got.
    void setStopCheck(std::function<bool()> stopped);
    // True when waitForLoad() would return at once with a frame of the finished page.
    bool isLoadSettled() const;
    void setLoadTimeout(int ms);
    int loadTimeout() const;
    // Shows an HTML text held in memory (relative links resolve against baseFile's folder
    // when given). Returns like loadHtmlFile.
    bool setHtmlText(const QString &html, const QString &baseFile = QString());
    // Makes the engine paint a fresh frame and waits until the view shows it (or timeoutMs).
    bool waitForFrame(int timeoutMs = 1000);

    // The file of the main document, of the active frame (the frame last clicked, focused or
    // holding the last link followed; the main document until then). Empty when the document
    // is not a local file.
    QString currentFile() const;
    QString activeFrameFile() const;
    bool isProcessing() const;

    // Select-all and copy act on the active frame.
    void selectAll();
    void copySelection();
    QString selectedText() const;

    // The view as the user sees it, scroll bars included, at its current size.
    QImage capture();

    // Runs a script in the main document and waits for its value (diagnostics and tests).
    QVariant evaluateJavaScript(const QString &script, int timeoutMs = 2000);

    // The widget that takes the keyboard focus and the mouse input.
    QWidget *inputWidget() const;

Q_SIGNALS:
    // A link was clicked: the target frame name and the URL as written in the link, and the
    // file shown in the frame that holds it. Setting *handled stops the engine from following
    // it; otherwise it opens the link in its target frame (anchors included) and records it
    // in the history. Connect directly.
    void hotSpotTargetClick(
        const QString &target, const QString &url, const QString &frameFile, bool *handled);
    // The mouse moved onto a link (target and URL as written) or off it (both empty).
    void hotSpotTargetCovered(const QString &target, const QString &url);
    void historyChanged();
    void processingChanged(bool processing);
    // The load started last became settled (see isLoadSettled()). It may come from inside a
    // paint of the view: connect queued to capture.
    void loadSettled();
    // A reload for a change on disk has finished loading (its frame follows).
    void reloadedFromDisk();
    void pageGoneFromDiskChanged(bool gone);
    // Once: the system's folder watches ran out, changes on disk are looked for once a second.
    void diskPollingStarted();
    // A key pressed in the view; setting *handled keeps it from the engine. Connect directly.
    void keyDown(QKeyEvent *event, bool *handled);
    // The user asked for a context menu at this global position.
    void contextMenuRequested(const QPoint &globalPos);

private:
    friend class HtmlViewPrivate;
    std::unique_ptr<HtmlViewPrivate> d;
};

} // namespace engine
