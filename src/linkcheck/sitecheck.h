#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace linkcheck {

enum class Problem { NoSuchFile, NoAnchor, CaseDiffers, OutsideSite, CannotRead };

struct BrokenLink {
    QString page; // as found from the path given (absolute when given absolute)
    int line = 0; // 1-based, at the link's first character in `page`
    int column = 0; //   (for a style sheet: `page` is the .css file)
    QString link; // as written (srcset: the one candidate; CSS: inside url()/@import)
    Problem problem = Problem::NoSuchFile;
    QString target; // the resolved file, when there is one
    QString anchor; // NoAnchor: the name looked for
    QString suggestion; // CaseDiffers: the link as it should be written
};

// "no such file", "no anchor \"NAME\" in TARGET", "case differs: \"...\"", "outside the site",
// "cannot read"
QString reasonText(const BrokenLink &link);

struct CheckOptions {
    QString root; // site root: root-relative links and the boundary
    bool fragments = true;
    int threads = 0; // 0: one per core
    // Never checked, like the folder scan leaves it out (empty: none).
    QString thumbFolder;
};

struct CheckTotals {
    qint64 pages = 0, links = 0, external = 0, broken = 0;
};

class SiteCheck
{
public:
    explicit SiteCheck(CheckOptions options);
    ~SiteCheck();
    SiteCheck(const SiteCheck &) = delete;
    SiteCheck &operator=(const SiteCheck &) = delete;

    // Checks the folders (with their sub-folders) and pages given. progress(done, total)
    // returning false stops the check; then it returns false. Callable from a worker thread,
    // which calls progress: (0, 0) while the folders are scanned, then the pages read of all,
    // about every 50 ms. A page or folder that cannot be read is one entry CannotRead at 1:1.
    bool check(const QStringList &paths, const std::function<bool(int, int)> &progress = {});
    // Brings the report up to date for one page or style sheet that was saved, changed,
    // created or deleted, and for the links into it, without checking the site again.
    void update(const QString &path);
    std::vector<BrokenLink> report() const; // sorted by page, line, column
    CheckTotals totals() const;
    QStringList files() const; // the pages and style sheets read, to follow them on disk

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// PAGE:LINE:COLUMN: broken link "LINK": REASON, or PAGE:1:1: cannot read
QString gnuLine(const BrokenLink &link);
// An array of {page, line, column, link, reason, target, suggestion}, one object a line.
QByteArray jsonReport(const std::vector<BrokenLink> &links);

} // namespace linkcheck
