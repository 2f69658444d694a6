#include "visualcheck/lookcheck.h"

#include "engine/captureform.h"
#include "engine/captureoutcome.h"
#include "engine/fullpage.h"
#include "imaging/looksstore.h"

namespace visualcheck {

namespace {

// Long lists of regions are cut: the report names where to look, the picture shows the rest.
constexpr int kRegionsNamed = 10;

QString regionList(const QList<QRect> &regions)
{
    QStringList named;
    for (const QRect &region : regions.first(std::min<qsizetype>(regions.size(), kRegionsNamed)))
        named << QStringLiteral("%1,%2 %3x%4").arg(region.x()).arg(region.y()).arg(region.width()).arg(region.height());
    if (regions.size() > kRegionsNamed)
        named << QStringLiteral("... %1 more").arg(regions.size() - kRegionsNamed);
    return named.join(QStringLiteral("; "));
}

QString changeText(const imaging::ImageDiff &diff)
{
    QString text;
    if (diff.sizeChanged())
        text = QStringLiteral("height %1 -> %2, ").arg(diff.before.height()).arg(diff.after.height());
    const qsizetype count = diff.regions.size();
    return text
        + QStringLiteral("changed %1% of pixels in %2 %3 (%4)")
              .arg(diff.changedPercent(), 0, 'f', 2)
              .arg(count)
              .arg(count == 1 ? QStringLiteral("region") : QStringLiteral("regions"), regionList(diff.regions));
}

QString outcomeText(const LookResult &result)
{
    switch (result.kind) {
    case LookKind::Same:
        return QStringLiteral("same");
    case LookKind::Changed:
        return changeText(result.diff);
    case LookKind::New:
        return QStringLiteral("new page (no baseline)");
    case LookKind::Stored:
        return QStringLiteral("baseline stored");
    case LookKind::Failed:
        break;
    }
    return result.problem;
}

} // namespace

QString lookLine(const LookResult &result)
{
    if (result.kind == LookKind::Failed)
        return result.problem;
    QString line = QStringLiteral("%1 [%2px]: %3").arg(result.page).arg(result.width).arg(outcomeText(result));
    if (result.pageHeight > result.renderHeight)
        line += QStringLiteral(" (cut at %1 of %2 pixels)").arg(result.renderHeight).arg(result.pageHeight);
    return line;
}

LookCheck::LookCheck(const QString &looksFolder, const LookSettings &settings)
    : m_looksFolder(looksFolder)
    , m_settings(settings)
{
}

LookCheck::~LookCheck() = default;

void LookCheck::setStopCheck(std::function<bool()> stopped)
{
    m_stopped = std::move(stopped);
}

void LookCheck::setKeepPictures(bool keep)
{
    m_keepPictures = keep;
}

void LookCheck::run(const QStringList &pages, bool update, const std::function<void(const LookResult &)> &done)
{
    engine::CaptureFormKeeper forms(nullptr, m_settings.hosts);
    if (m_stopped)
        forms.setStopCheck(m_stopped);
    const engine::FullPageSettings full { m_settings.maxHeight, m_settings.masks };
    for (int width : m_settings.widths) {
        const QSize base(width, kViewportHeight);
        forms.plan(pages, base);
        for (const QString &page : pages) {
            if (m_stopped && m_stopped())
                return;
            LookResult result;
            const engine::CaptureOutcome state = engine::checkCaptureFile(page);
            if (state == engine::CaptureOutcome::Missing) {
                result = { page, width };
                result.problem = QStringLiteral("no such file: ") + page;
                done(result);
                continue;
            }
            bool complete = false;
            engine::CaptureForm &form = forms.load(page, base, &complete);
            const engine::CaptureOutcome outcome = form.loadOutcome();
            const QString problem = engine::captureProblem(outcome, page, engine::PartialPicture::Saved);
            if (!engine::capturesPicture(outcome)) {
                forms.captured();
                if (outcome == engine::CaptureOutcome::Stopped)
                    return;
                result = { page, width };
                result.problem = problem;
                done(result);
                continue;
            }
            const engine::FullPageShot shot = engine::captureFullPage(form, full);
            forms.captured();
            result = update ? LookResult { page, width, LookKind::Stored } : judge(page, width, shot.picture);
            result.pageHeight = shot.pageHeight;
            result.renderHeight = shot.picture.height();
            if (update && !store(page, width, shot.picture, &result.problem))
                result.kind = LookKind::Failed;
            if (result.problem.isEmpty())
                result.problem = problem;
            if (m_keepPictures)
                result.after = shot.picture;
            done(result);
        }
    }
}

LookResult LookCheck::judge(const QString &page, int width, const QImage &render) const
{
    LookResult result { page, width };
    const QString file = imaging::looksFileFor(m_looksFolder, page, width);
    QImage baseline;
    switch (imaging::loadLooks(file, &baseline)) {
    case imaging::LooksState::Missing:
        result.kind = LookKind::New;
        return result;
    case imaging::LooksState::Damaged:
        result.problem = QStringLiteral("%1 [%2px]: damaged baseline %3; --update replaces it").arg(page).arg(width).arg(file);
        return result;
    case imaging::LooksState::Read:
        break;
    }
    if (baseline.width() != width) {
        result.problem = QStringLiteral("%1 [%2px]: the baseline %3 is %4 pixels wide; --update replaces it")
                             .arg(page).arg(width).arg(file).arg(baseline.width());
        return result;
    }
    imaging::DiffOptions options;
    options.threshold = m_settings.threshold;
    result.diff = imaging::compareImages(baseline, render, options);
    result.kind = result.diff.changed() ? LookKind::Changed : LookKind::Same;
    if (m_keepPictures)
        result.before = baseline;
    return result;
}

bool LookCheck::accept(const LookResult &result, QString *error) const
{
    return store(result.page, result.width, result.after, error);
}

bool LookCheck::store(const QString &page, int width, const QImage &render, QString *error) const
{
    const QString file = imaging::looksFileFor(m_looksFolder, page, width);
    QString reason;
    if (imaging::storeLooks(file, render, &reason))
        return true;
    *error = QStringLiteral("cannot store the baseline %1: %2").arg(file, reason);
    return false;
}

} // namespace visualcheck
