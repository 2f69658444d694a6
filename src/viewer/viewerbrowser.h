#pragma once

#include "engine/htmlview.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QKeyEvent;
class QLabel;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace frame {
class PageFrame;
}

namespace viewer {

// The browser page of the viewer window: the program's one browser view under a tool bar
// (back, forward, reload, snap and the URL of the link covered). Links into files that do
// not exist beep; the hint line follows links and the page's state on disk.
class ViewerBrowser : public QObject
{
    Q_OBJECT

public:
    // Builds the page in `tab`; the host may be null (then no hint line).
    ViewerBrowser(frame::PageFrame *host, QWidget *tab);

    // Guarded: while borrowed it lives in another window, which might go first.
    engine::HtmlView *view() const { return m_view; }
    // Puts the view back into the page.
    void returnView();
    // A load in the background goes on in the viewer as well: it never keeps it from opening.
    bool isProcessing() const;
    // The URL label says when the page shown is gone from disk.
    void showDiskState();
    void setHint(const QString &text);

    QToolButton *backButton() const { return m_back; }
    QToolButton *forwardButton() const { return m_forward; }
    QToolButton *reloadButton() const { return m_reload; }
    QToolButton *snapButton() const { return m_snap; }
    QLabel *urlLabel() const { return m_labelUrl; }

Q_SIGNALS:
    // "Reload": the viewer file is to be shown again from disk.
    void reloadWanted();

private:
    QWidget *buildToolBar();
    void connectView();
    void linkClicked(
        const QString &target, const QString &url, const QString &frameFile, bool *handled);
    void linkHovered(const QString &target, const QString &url);
    void historyChanged();
    void keyPressed(QKeyEvent *event, bool *handled);

    frame::PageFrame *m_host;
    QWidget *m_tab;
    QVBoxLayout *m_layout = nullptr;
    QPointer<engine::HtmlView> m_view;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QToolButton *m_reload = nullptr;
    QToolButton *m_snap = nullptr;
    QLabel *m_labelUrl = nullptr;
    bool m_processing = false;
    // The hint line names the page shown as deleted on disk.
    bool m_goneHintShown = false;
};

} // namespace viewer
