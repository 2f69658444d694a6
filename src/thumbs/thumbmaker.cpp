#include "thumbs/thumbmaker.h"

#include "engine/captureform.h"
#include "imaging/jpegcodec.h"
#include "imaging/resample.h"
#include "imaging/thumbstore.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "platform/safefile.h"
#include "thumbs/imagecache.h"

#include "engine/htmlview.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>

#include <array>
#include <memory>
#include <optional>
#include <utility>

namespace thumbs {

namespace {

constexpr int kThumbQuality = 70;
// Measured with bench/thumbs/run_thumbs_bench.sh on two cores: a view spends most of a page
// waiting for the engine's frames, so three views loading at once keep both cores busy; a
// fourth only adds a renderer process.

constexpr std::array<QSize, kSnapBaseCount> kSnapBases = { QSize(160, 120), QSize(320, 240),
    QSize(480, 360), QSize(640, 480), QSize(800, 600), QSize(1024, 768), QSize(1600, 1200) };

struct StoredThumb {
    QImage picture;
    bool stored = false;
    QString error;
};

// Shrinks and writes a capture on a thread of its own: the write waits until the disk has
// the file before it replaces the old one, and the views loading the next pages go on
// meanwhile. User input waits, as it does during a load.
StoredThumb shrinkAndStore(const QString &thumbFolder, const QString &page, const QImage &capture)
{
    StoredThumb result;
    QEventLoop loop;
    const std::unique_ptr<QThread> writer(QThread::create([&] {
        result.picture = ShrinkCapture(capture);
        if (result.picture.isNull())
            result.error = QStringLiteral("the picture cannot be shrunk");
        else
            result.stored = StoreThumb(thumbFolder, page, result.picture, &result.error);
    }));
    QObject::connect(writer.get(), &QThread::finished, &loop, &QEventLoop::quit);
    writer->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    writer->wait();
    return result;
}

// The thumbnail is dated as the page it shows, so that a page saved again while it was
// captured stays newer than its thumbnail and gets it made again.
void dateAsPage(const QString &thumb, const QDateTime &pageTime)
{
    QFile file(thumb);
    if (pageTime.isValid() && file.open(QIODevice::Append))
        file.setFileTime(pageTime, QFileDevice::FileModificationTime);
}

} // namespace

QString snapBaseText(int index)
{
    const QSize size = snapBaseSize(index, QSize());
    return QStringLiteral("Thumbs Base: %1x%2").arg(size.width()).arg(size.height());
}

QSize snapBaseSize(int index, const QSize &previous)
{
    if (index < 0 || index >= kSnapBaseCount)
        return previous;
    return kSnapBases.at(size_t(index));
}

QImage ShrinkCapture(const QImage &capture)
{
    QImage thumb(kThumbWidth, kThumbHeight, QImage::Format_RGB888);
    const imaging::FilterEntry &lanczos = imaging::FilterCatalog.at(imaging::kLanczos3);
    if (capture.isNull()
        || !imaging::ResampleBitmap(capture, thumb, lanczos.filter, lanczos.support))
        return {};
    return thumb;
}

QString thumbProblem(const QString &page, bool stored, engine::CaptureOutcome outcome,
    const QString &storeError)
{
    switch (outcome) {
    case engine::CaptureOutcome::Missing:
        return QStringLiteral("no such file: ") + page;
    case engine::CaptureOutcome::Done:
    case engine::CaptureOutcome::Unfinished:
    case engine::CaptureOutcome::Blocked:
        if (!stored)
            return QStringLiteral("cannot store the thumbnail of ") + page
                + (storeError.isEmpty() ? QString() : QStringLiteral(" as ") + storeError);
        break;
    default:
        break;
    }
    return engine::captureProblem(outcome, page, engine::PartialPicture::Saved);
}

bool StoreThumb(
    const QString &thumbFolder, const QString &page, const QImage &picture, QString *error)
{
    const QString folder = platform::folderPart(page);
    const QString thumb = imaging::ThumbFileFor(thumbFolder, folder, page);
    QString reason;
    const bool stored = platform::makeFolders(platform::WithTrailingBackslash(thumbFolder)
                                + imaging::EncodeThumbFolder(folder),
                            &reason)
        && imaging::writeJpeg(picture, thumb, kThumbQuality, &reason);
    if (!stored && error)
        *error = thumb + QStringLiteral(": ") + reason;
    return stored;
}

struct ThumbMaker::Pending {
    QString page;
    QSize base;
    std::unique_ptr<engine::CaptureForm> form; // none for a page that is missing or captured
    QImage capture; // the page's picture once taken ahead of its turn
    QDateTime pageTime; // the page's modification time when its load started
    engine::CaptureOutcome outcome = engine::CaptureOutcome::Missing;
};

ThumbMaker::ThumbMaker(const QString &thumbFolder, engine::HtmlView *browser, ImageCache *cache)
    : m_thumbFolder(thumbFolder)
    , m_browser(browser)
    , m_cache(cache)
    , m_receiver(std::make_unique<QObject>())
{ }

ThumbMaker::~ThumbMaker() = default;

void ThumbMaker::setHostCount(int hosts)
{
    m_hosts = std::max(1, hosts);
}

int ThumbMaker::defaultHostCount()
{
    return engine::kDefaultCaptureHosts;
}

void ThumbMaker::plan(const QStringList &pages, const QSize &base)
{
    dropPlan();
    m_plan = pages;
    m_planBase = base;
}

void ThumbMaker::dropPlan()
{
    m_loading.clear();
    m_plan.clear();
    m_nextPlanned = 0;
}

void ThumbMaker::setStopCheck(std::function<bool()> stopped)
{
    m_stopCheck = std::move(stopped);
    for (const auto &form : m_idle)
        form->setStopCheck(m_stopCheck);
}

void ThumbMaker::cancel()
{
    dropPlan();
    m_idle.clear();
}

ThumbMaker::Pending ThumbMaker::startPage(const QString &page, const QSize &base)
{
    Pending pending { page, base, nullptr, {}, QFileInfo(page).lastModified(),
        engine::checkCaptureFile(page) };
    if (pending.outcome == engine::CaptureOutcome::Done)
        pending.form = startForm(page, base);
    return pending;
}

std::unique_ptr<engine::CaptureForm> ThumbMaker::startForm(const QString &page, const QSize &base)
{
    std::unique_ptr<engine::CaptureForm> form;
    if (!m_idle.empty() && m_idleBase == base) {
        form = std::move(m_idle.back());
        m_idle.pop_back();
    } else {
        form = std::make_unique<engine::CaptureForm>(base, m_browser);
        form->setStopCheck(m_stopCheck);
        // Queued: the report may come from inside a paint of the view.
        QObject::connect(
            form->view(), &engine::HtmlView::loadSettled, m_receiver.get(),
            [this] { captureSettled(); }, Qt::QueuedConnection);
    }
    form->startLoadHtmlFile(page);
    return form;
}

// A form that captured its page takes the next one: its view is cleared and given the
// browser's settings again by the load, as a fresh one would be.
void ThumbMaker::recycle(std::unique_ptr<engine::CaptureForm> form, const QSize &base)
{
    if (m_idleBase != base)
        m_idle.clear();
    m_idleBase = base;
    if (m_idle.size() < size_t(m_hosts))
        m_idle.push_back(std::move(form));
}

int ThumbMaker::formsLoading() const
{
    int count = m_holding ? 1 : 0;
    for (const Pending &pending : m_loading)
        count += pending.form ? 1 : 0;
    return count;
}

// Keeps hostCount() forms loading the next planned pages; pictures taken ahead wait in memory,
// a few per form at most.
void ThumbMaker::topUp()
{
    while (formsLoading() < m_hosts && m_loading.size() < size_t(2 * m_hosts)
        && m_nextPlanned < m_plan.size()) {
        const QString &page = m_plan.at(m_nextPlanned++);
        m_loading.push_back(startPage(page, m_planBase));
    }
}

// A page whose renderer died or ran out of memory, or whose load was stopped, leaves no
// picture.
void ThumbMaker::takePicture(Pending &pending)
{
    pending.form->waitForLoad();
    pending.outcome = pending.form->loadOutcome();
    if (engine::capturesPicture(pending.outcome))
        pending.capture = pending.form->capture();
    recycle(std::move(pending.form), pending.base);
}

void ThumbMaker::captureSettled()
{
    // By index: starting the next pages adds to the queue.
    bool freed = false;
    for (size_t i = 0; i < m_loading.size(); ++i) {
        Pending &pending = m_loading[i];
        if (pending.form && pending.form->view()->isLoadSettled()) {
            takePicture(pending); // waitForLoad() returns at once
            freed = true;
        }
    }
    if (freed)
        topUp();
}

bool ThumbMaker::makeThumb(const QString &page, const QSize &base)
{
    m_storeError.clear();
    topUp();
    // A page asked for out of plan order starts alone; the plan is dropped.
    if (m_loading.empty() || m_loading.front().page != page || m_loading.front().base != base) {
        dropPlan();
        m_loading.push_back(startPage(page, base));
    }
    Pending pending = std::move(m_loading.front());
    m_loading.pop_front();
    if (pending.form) {
        // The page under way counts as one of the hosts.
        m_holding = true;
        topUp();
        std::optional<platform::HourglassGuard> hourglass;
        if (m_busyCursor)
            hourglass.emplace();
        takePicture(pending);
        m_holding = false;
    }
    m_outcome = pending.outcome;
    if (pending.capture.isNull())
        return false;
    // Gone or replaced while it loaded.
    if (const auto now = engine::checkCaptureFile(page); now != engine::CaptureOutcome::Done) {
        m_outcome = now;
        return false;
    }
    const QImage capture = std::move(pending.capture);
    // The next planned page loads while this one is shrunk and written.
    topUp();
    const StoredThumb thumb = shrinkAndStore(m_thumbFolder, page, capture);
    m_storeError = thumb.error;
    if (!thumb.stored)
        return false;
    const QString thumbFile
        = imaging::ThumbFileFor(m_thumbFolder, platform::folderPart(page), page);
    dateAsPage(thumbFile, pending.pageTime);
    if (m_cache)
        m_cache->refresh(thumbFile, thumb.picture);
    return true;
}

} // namespace thumbs
