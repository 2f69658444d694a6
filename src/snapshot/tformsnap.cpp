#include "snapshot/tformsnap.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

namespace snapshot {

TFormSnap::TFormSnap(const QSize &baseSize, engine::HtmlView *browser, bool fromBrowser)
    : m_host(std::make_unique<engine::CaptureHost>(baseSize))
    , m_browser(browser)
{
    QPalette silver = m_host->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    m_host->setPalette(silver);
    m_host->setAutoFillBackground(true);
    if (fromBrowser && browser)
        m_host->adopt(browser);
}

TFormSnap::~TFormSnap()
{
    FormClose();
}

void TFormSnap::FormClose()
{
    if (m_host)
        m_host->release();
}

bool TFormSnap::LoadHTMLFile(const QString &file)
{
    startLoadHTMLFile(file);
    return waitForLoad();
}

void TFormSnap::startLoadHTMLFile(const QString &file)
{
    engine::HtmlView *view = m_host->view();
    view->clearHistory();
    if (m_browser && m_browser != view) {
        // Only the six settings the browser lets the user change; the fixed-pitch font stays.
        engine::DisplaySettings settings = view->displaySettings();
        const engine::DisplaySettings browser = m_browser->displaySettings();
        settings.fontName = browser.fontName;
        settings.fontColor = browser.fontColor;
        settings.fontSize = browser.fontSize;
        settings.linkColor = browser.linkColor;
        settings.backgroundColor = browser.backgroundColor;
        settings.showImages = browser.showImages;
        view->setDisplaySettings(settings);
    }
    view->show();
    view->startLoadHTMLFile(file);
}

bool TFormSnap::waitForLoad()
{
    return m_host->view()->waitForLoad();
}

QImage TFormSnap::capture()
{
    return m_host->capture();
}

engine::HtmlView *TFormSnap::view() const
{
    return m_host->view();
}

QSize TFormSnap::baseSize() const
{
    return m_host->clientSize();
}

TFormSnapKeeper::TFormSnapKeeper(engine::HtmlView *browser)
    : m_browser(browser)
{ }

TFormSnapKeeper::~TFormSnapKeeper() = default;

TFormSnap &TFormSnapKeeper::form(const QSize &baseSize)
{
    if (!m_form || m_form->baseSize() != baseSize) {
        m_form.reset(); // one hidden form at a time
        m_form = std::make_unique<TFormSnap>(baseSize, m_browser);
    }
    return *m_form;
}

} // namespace snapshot
