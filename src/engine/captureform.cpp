#include "engine/captureform.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <algorithm>
#include <utility>

namespace engine {

CaptureForm::CaptureForm(const QSize &baseSize, HtmlView *browser, bool fromBrowser)
    : m_host(std::make_unique<CaptureHost>(baseSize))
    , m_browser(browser)
{
    QPalette silver = m_host->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    m_host->setPalette(silver);
    m_host->setAutoFillBackground(true);
    if (fromBrowser && browser)
        m_host->adopt(browser);
}

CaptureForm::~CaptureForm()
{
    handleClose();
}

void CaptureForm::handleClose()
{
    if (m_host)
        m_host->release();
}

bool CaptureForm::loadHtmlFile(const QString &file)
{
    startLoadHtmlFile(file);
    return waitForLoad();
}

void CaptureForm::startLoadHtmlFile(const QString &file)
{
    HtmlView *view = m_host->view();
    view->clearHistory();
    if (m_browser && m_browser != view) {
        // Only the six settings the browser lets the user change; the fixed-pitch font stays.
        DisplaySettings settings = view->displaySettings();
        const DisplaySettings browser = m_browser->displaySettings();
        settings.fontName = browser.fontName;
        settings.fontColor = browser.fontColor;
        settings.fontSize = browser.fontSize;
        settings.linkColor = browser.linkColor;
        settings.backgroundColor = browser.backgroundColor;
        settings.showImages = browser.showImages;
        view->setDisplaySettings(settings);
    }
    view->show();
    m_notRegular = checkCaptureFile(file) == CaptureOutcome::NotRegularFile;
    view->startLoadHtmlFile(m_notRegular ? QString() : file);
}

bool CaptureForm::waitForLoad()
{
    return m_host->view()->waitForLoad();
}

CaptureOutcome CaptureForm::loadOutcome() const
{
    return m_notRegular ? CaptureOutcome::NotRegularFile : m_host->view()->loadOutcome();
}

void CaptureForm::setStopCheck(std::function<bool()> stopped)
{
    m_host->view()->setStopCheck(std::move(stopped));
}

QImage CaptureForm::capture()
{
    return m_host->capture();
}

HtmlView *CaptureForm::view() const
{
    return m_host->view();
}

QSize CaptureForm::baseSize() const
{
    return m_host->clientSize();
}

void CaptureForm::setLayoutSize(const QSize &size)
{
    m_host->setClientSize(size);
}

struct CaptureFormKeeper::Pending {
    QString page;
    std::unique_ptr<CaptureForm> form;
};

CaptureFormKeeper::CaptureFormKeeper(HtmlView *browser, int hostCount)
    : m_browser(browser)
    , m_hosts(std::max(1, hostCount))
{ }

CaptureFormKeeper::~CaptureFormKeeper() = default;

void CaptureFormKeeper::plan(const QStringList &pages, const QSize &baseSize)
{
    m_loading.clear();
    m_plan = pages;
    m_planBase = baseSize;
    m_nextPlanned = 0;
}

std::unique_ptr<CaptureForm> CaptureFormKeeper::idleForm(const QSize &baseSize)
{
    while (!m_idle.empty()) {
        std::unique_ptr<CaptureForm> form = std::move(m_idle.back());
        m_idle.pop_back();
        if (form->baseSize() == baseSize)
            return form;
    }
    auto form = std::make_unique<CaptureForm>(baseSize, m_browser);
    form->setStopCheck(m_stopCheck);
    return form;
}

void CaptureFormKeeper::setStopCheck(std::function<bool()> stopped)
{
    m_stopCheck = std::move(stopped);
}

void CaptureFormKeeper::release(std::unique_ptr<CaptureForm> form)
{
    if (form && m_idle.size() < size_t(m_hosts))
        m_idle.push_back(std::move(form));
}

// Keeps the next planned pages loading, `count` of them at most.
void CaptureFormKeeper::topUp(qsizetype count)
{
    while (qsizetype(m_loading.size()) < count && m_nextPlanned < m_plan.size()) {
        const QString &page = m_plan.at(m_nextPlanned++);
        std::unique_ptr<CaptureForm> form = idleForm(m_planBase);
        form->startLoadHtmlFile(page);
        m_loading.push_back({ page, std::move(form) });
    }
}

CaptureForm &CaptureFormKeeper::load(const QString &file, const QSize &baseSize, bool *complete)
{
    release(std::move(m_current));
    const qsizetype first = m_nextPlanned - qsizetype(m_loading.size());
    const qsizetype at = baseSize == m_planBase ? m_plan.indexOf(file, first) : -1;
    if (at < 0) {
        m_current = idleForm(baseSize);
        *complete = m_current->loadHtmlFile(file);
        return *m_current;
    }
    // Forms of pages passed over go with their loads: a load replaced in a form may still
    // report its end as the end of the next one.
    for (qsizetype i = first; i < at && !m_loading.empty(); ++i)
        m_loading.pop_front();
    m_nextPlanned = std::max(m_nextPlanned, at);
    topUp(1);
    m_current = std::move(m_loading.front().form);
    m_loading.pop_front();
    // The page under way counts as one of the hosts.
    topUp(m_hosts - 1);
    *complete = m_current->waitForLoad();
    return *m_current;
}

void CaptureFormKeeper::captured()
{
    release(std::move(m_current));
    topUp(m_hosts);
}

} // namespace engine
