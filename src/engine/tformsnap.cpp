#include "engine/tformsnap.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <algorithm>
#include <utility>

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
    m_notRegular = engine::checkCaptureFile(file) == engine::CaptureOutcome::NotRegularFile;
    view->startLoadHTMLFile(m_notRegular ? QString() : file);
}

bool TFormSnap::waitForLoad()
{
    return m_host->view()->waitForLoad();
}

engine::CaptureOutcome TFormSnap::loadOutcome() const
{
    return m_notRegular ? engine::CaptureOutcome::NotRegularFile : m_host->view()->loadOutcome();
}

void TFormSnap::setStopCheck(std::function<bool()> stopped)
{
    m_host->view()->setStopCheck(std::move(stopped));
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

struct TFormSnapKeeper::Pending {
    QString page;
    std::unique_ptr<TFormSnap> form;
};

TFormSnapKeeper::TFormSnapKeeper(engine::HtmlView *browser, int hostCount)
    : m_browser(browser)
    , m_hosts(std::max(1, hostCount))
{ }

TFormSnapKeeper::~TFormSnapKeeper() = default;

void TFormSnapKeeper::plan(const QStringList &pages, const QSize &baseSize)
{
    m_loading.clear();
    m_plan = pages;
    m_planBase = baseSize;
    m_nextPlanned = 0;
}

std::unique_ptr<TFormSnap> TFormSnapKeeper::idleForm(const QSize &baseSize)
{
    while (!m_idle.empty()) {
        std::unique_ptr<TFormSnap> form = std::move(m_idle.back());
        m_idle.pop_back();
        if (form->baseSize() == baseSize)
            return form;
    }
    auto form = std::make_unique<TFormSnap>(baseSize, m_browser);
    form->setStopCheck(m_stopCheck);
    return form;
}

void TFormSnapKeeper::setStopCheck(std::function<bool()> stopped)
{
    m_stopCheck = std::move(stopped);
}

void TFormSnapKeeper::release(std::unique_ptr<TFormSnap> form)
{
    if (form && m_idle.size() < size_t(m_hosts))
        m_idle.push_back(std::move(form));
}

// Keeps the next planned pages loading, `count` of them at most.
void TFormSnapKeeper::topUp(qsizetype count)
{
    while (qsizetype(m_loading.size()) < count && m_nextPlanned < m_plan.size()) {
        const QString &page = m_plan.at(m_nextPlanned++);
        std::unique_ptr<TFormSnap> form = idleForm(m_planBase);
        form->startLoadHTMLFile(page);
        m_loading.push_back({ page, std::move(form) });
    }
}

TFormSnap &TFormSnapKeeper::load(const QString &file, const QSize &baseSize, bool *complete)
{
    release(std::move(m_current));
    const qsizetype first = m_nextPlanned - qsizetype(m_loading.size());
    const qsizetype at = baseSize == m_planBase ? m_plan.indexOf(file, first) : -1;
    if (at < 0) {
        m_current = idleForm(baseSize);
        *complete = m_current->LoadHTMLFile(file);
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

void TFormSnapKeeper::captured()
{
    release(std::move(m_current));
    topUp(m_hosts);
}

} // namespace snapshot
