#pragma once

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QWidget>

namespace engine {

class HtmlView;

// A borderless top-level window of an exact pixel size that is never shown on screen. The
// HTML view it holds fills it and lays its document out for that size; capture() paints the
// window, the view's scroll bars included, into an image of that size.
class CaptureHost : public QWidget
{
    Q_OBJECT

public:
    // The host starts with a view of its own.
    explicit CaptureHost(const QSize &size);
    ~CaptureHost() override;

    void setClientSize(const QSize &size);
    QSize clientSize() const;

    // The view the host shows: its own, or the one adopted.
    HtmlView *view() const;
    // Shows another view in place of the own one (the view keeps document and history), until
    // release() hands it back to its previous parent; the owner of that parent puts it back
    // into its layout.
    void adopt(HtmlView *view);
    void release();

    QImage capture();

private:
    HtmlView *m_ownView = nullptr;
    QPointer<HtmlView> m_adopted;
    QPointer<QWidget> m_adoptedParent;
    QSize m_size;
};

} // namespace engine
