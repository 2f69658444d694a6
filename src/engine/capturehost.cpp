#include "engine/capturehost.h"

#include "engine/htmlview.h"

#include <QLayout>
#include <QVBoxLayout>

namespace engine {

CaptureHost::CaptureHost(const QSize &size)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DontShowOnScreen);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_ownView = new HtmlView(this);
    layout->addWidget(m_ownView);
    setClientSize(size);
    // "Shown" to the engine, which paints only visible views; never mapped on a screen.
    show();
}

CaptureHost::~CaptureHost()
{
    release();
}

void CaptureHost::setClientSize(const QSize &size)
{
    m_size = size.expandedTo(QSize(1, 1));
    setFixedSize(m_size);
}

QSize CaptureHost::clientSize() const
{
    return m_size;
}

HtmlView *CaptureHost::view() const
{
    return m_adopted ? m_adopted.data() : m_ownView;
}

void CaptureHost::adopt(HtmlView *view)
{
    if (!view || view == m_adopted)
        return;
    release();
    if (view == m_ownView)
        return; // back home: release() put it into its place
    m_adopted = view;
    m_adoptedParent = view->parentWidget();
    m_ownView->hide();
    layout()->removeWidget(m_ownView);
    view->setParent(this);
    layout()->addWidget(view);
    view->show();
}

void CaptureHost::release()
{
    if (m_adopted) {
        layout()->removeWidget(m_adopted);
        m_adopted->setParent(m_adoptedParent);
        if (m_adoptedParent)
            m_adopted->show();
    }
    m_adopted = nullptr;
    m_adoptedParent = nullptr;
    if (m_ownView->parentWidget() != this)
        m_ownView->setParent(this);
    if (layout()->indexOf(m_ownView) < 0)
        layout()->addWidget(m_ownView);
    m_ownView->show();
}

QImage CaptureHost::capture()
{
    layout()->activate();
    QImage image = grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.size() != m_size)
        image = image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace engine
