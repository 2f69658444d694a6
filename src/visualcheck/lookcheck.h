#pragma once

#include "imaging/imagediff.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace visualcheck {

// Pages are laid out in a window of this height before they are measured at full height, so
// that units of the window's height give the same lengths on every run.
inline constexpr int kViewportHeight = 800;

struct LookSettings {
    QList<int> widths { 1280, 390 };
    QStringList masks; // CSS selectors hidden before each capture
    double threshold = 0.1;
    int maxHeight = 10000;
    int hosts = 2;
};

enum class LookKind { Same, Changed, New, Stored, Failed };

// One page at one width.
struct LookResult {
    QString page;
    int width = 0;
    LookKind kind = LookKind::Failed;
    imaging::ImageDiff diff;
    int pageHeight = 0; // the page's own height; the render is cut at the cap
    int renderHeight = 0;
    QString problem; // how the load went wrong, a damaged baseline, a failed store
    QImage before; // the baseline and the render, kept only when asked
    QImage after;
};

// "PAGE [1280px]: same", "... changed 2.31% of pixels in 3 regions (x,y WxH; ...)",
// "... new page (no baseline)", "... baseline stored", or the problem.
QString lookLine(const LookResult &result);

// Renders pages at full height at each width and compares each render with its baseline in
// the LOOKS folder, or stores it as the new baseline.
class LookCheck
{
public:
    LookCheck(const QString &looksFolder, const LookSettings &settings);
    ~LookCheck();
    LookCheck(const LookCheck &) = delete;
    LookCheck &operator=(const LookCheck &) = delete;

    void setStopCheck(std::function<bool()> stopped);
    // Keeps the baseline and the render in each result (for a viewer or a report).
    void setKeepPictures(bool keep);

    // Compares (or with update, stores) every page at every width, reporting each as it is
    // done; stops between pages when the stop check says so.
    void run(const QStringList &pages, bool update, const std::function<void(const LookResult &)> &done);
    // Makes a result's render the page's new baseline; needs the kept pictures.
    bool accept(const LookResult &result, QString *error) const;

private:
    LookResult judge(const QString &page, int width, const QImage &render) const;
    bool store(const QString &page, int width, const QImage &render, QString *error) const;

    QString m_looksFolder;
    LookSettings m_settings;
    std::function<bool()> m_stopped;
    bool m_keepPictures = false;
};

} // namespace visualcheck
