#pragma once

#include "linkcheck/htmlcheck.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace linkcheck {

// CannotRead: a page, style sheet or folder of the site that cannot be read (at 1:1, no
// link); TargetUnreadable: a link into a folder that cannot be read.
enum class Problem { NoSuchFile, NoAnchor, CaseDiffers, OutsideSite, CannotRead, TargetUnreadable };

struct BrokenLink {
    QString page; // as found from the path given (absolute when given absolute)
    int line = 0; // 1-based, at the link's first character in `page`
    int column = 0; //   (for a style sheet: `page` is the .css file)
    QString link; // as written (srcset: the one candidate; CSS: inside url()/@import)
    Problem problem = Problem::NoSuchFile;
    QString target; // the resolved file, when there is one
    QString anchor; // NoAnchor: the name looked for
    QString suggestion; // CaseDiffers: the link as it should be written
    QString why; // CannotRead: the system's reason, when there is one
};

// "no such file", "no anchor \"NAME\" in TARGET", "case differs: \"...\"", "outside the site",
// "cannot read", "cannot read: WHY"
QString reasonText(const BrokenLink &link);

// Why a page or folder given to check() cannot be checked at all, or nothing: it is missing,
// no regular file or folder, not readable, or larger than any page the check reads.
QString pathProblem(const QString &path);

// The text with its control characters written as \n, \t, \r or \xHH (and the line and
// paragraph separators as \u2028, \u2029), so that a report line stays one line.
QString escapeControls(const QString &text);

struct CheckOptions {
    QString root; // site root: root-relative links and the boundary
    bool fragments = true;
    int threads = 0; // 0: one per core
    // Never checked, like the folder scan leaves it out (empty: none).
    QString thumbFolder;
    bool html = false; // the pages' HTML errors too, from the same reading
    bool links = true; // false: the HTML errors alone, no link looked at
};

// An HTML error of a page of the site.
struct PageProblem {
    QString page; // shown as BrokenLink::page
    HtmlProblem problem;
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
    // about every 50 ms. A page or folder that cannot be read is one entry CannotRead at 1:1;
    // so is a page for which memory runs out.
    bool check(const QStringList &paths, const std::function<bool(int, int)> &progress = {});
    // Brings the report up to date for one file that was saved, changed, created, deleted or
    // renamed (a page, a style sheet, any of followedFiles()), for the links into it and for
    // the pages that came beside it, without checking the site again.
    void update(const QString &path);
    std::vector<BrokenLink> report() const; // sorted by page, line, column
    // The HTML errors of the pages read (CheckOptions::html), sorted by page, line, column.
    std::vector<PageProblem> htmlReport() const;
    CheckTotals totals() const;
    QStringList files() const; // the pages and style sheets read
    // Every file whose change on disk can change the report, sorted: the pages and style
    // sheets read and the files links lead to, as written and as found (another case, a
    // folder's index pages), good links too. Not to be called while update() runs.
    QStringList followedFiles() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// PAGE:LINE:COLUMN: broken link "LINK": REASON, or PAGE:1:1: cannot read[: WHY], control
// characters escaped.
QString gnuLine(const BrokenLink &link);
// An array of {page, line, column, link, reason, target, suggestion}, one object a line.
QByteArray jsonReport(const std::vector<BrokenLink> &links);

} // namespace linkcheck
