#include "linkcheck/sitescope.h"

#include "linkcheck/linkresolve.h"
#include "linkcheck/sitecheck.h"
#include "linkcheck/sitefiles.h"
#include "platform/filerules.h"
#include "platform/safefile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace linkcheck {

void SiteScope::start(const QStringList &paths, const QString &root, const QString &thumbFolder)
{
    m_thumbFolder = thumbFolder;
    m_givenRelative = !paths.isEmpty()
        && std::all_of(paths.begin(), paths.end(),
            [](const QString &path) { return QDir::isRelativePath(path); });
    for (const QString &path : paths) {
        QString shown = path;
        while (shown.size() > 1 && shown.endsWith(u'/'))
            shown.chop(1);
        const QString absolute = cleanAbsolute(path);
        const bool folder = platform::fileState(absolute).kind == platform::FileState::Folder;
        m_given.push_back({ absolute, shown, folder });
    }
    // The first folder given, else the first page's folder.
    m_root = root.isEmpty() ? QString() : cleanAbsolute(root);
    for (const Given &entry : m_given)
        if (m_root.isEmpty() && entry.folder)
            m_root = entry.path;
    if (m_root.isEmpty())
        m_root = m_given.empty() ? QDir::currentPath() : QFileInfo(m_given.front().path).path();
}

QString SiteScope::shownPath(const QString &path) const
{
    for (const Given &entry : m_given) {
        if (path == entry.path)
            return entry.shown;
        if (entry.folder && isInside(path, entry.path))
            return entry.shown + (entry.shown.endsWith(u'/') ? QString() : QStringLiteral("/"))
                + path.mid(entry.path.size() + (entry.path == u"/" ? 1 : 1));
    }
    return m_givenRelative ? QDir::current().relativeFilePath(path) : path;
}

bool SiteScope::scanEnters(const QString &folder) const
{
    for (const Given &entry : m_given) {
        if (!entry.folder || !isInside(folder, entry.path))
            continue;
        bool entered = true;
        QString current = entry.path;
        const QStringList names = folder.mid(entry.path.size()).split(u'/', Qt::SkipEmptyParts);
        for (qsizetype i = 0; entered && i < names.size(); ++i) {
            current += QLatin1Char('/') + names.at(i);
            entered = !names.at(i).startsWith(u'.')
                && !names.at(i).contains(QLatin1String("_vti_cnf"), Qt::CaseInsensitive)
                && !isSymbolicLink(current) && !inThumbFolder(current);
        }
        if (entered)
            return true;
    }
    return false;
}

bool SiteScope::scanFinds(const QString &path) const
{
    const QFileInfo info(path);
    return isPageName(path) && !info.fileName().startsWith(u'.') && scanEnters(info.path());
}

bool SiteScope::isGivenPage(const QString &path) const
{
    return std::any_of(m_given.begin(), m_given.end(),
        [&](const Given &entry) { return !entry.folder && entry.path == path; });
}

bool SiteScope::inThumbFolder(const QString &folder) const
{
    return !m_thumbFolder.isEmpty()
        && platform::isInThumbFolder(folder, m_thumbFolder, platform::PathStyle::Posix);
}

filelists::ScanOptions SiteScope::scanOptions() const
{
    filelists::ScanOptions scan;
    scan.mask = pageMask();
    // Nothing below the thumbnail folder is entered; its own entries are left out here.
    scan.descendEverywhere = false;
    scan.thumbFolder = m_thumbFolder;
    return scan;
}

void SiteScope::scanFolder(const QString &folder, const filelists::ScanOptions &scan,
    const std::function<void(const QString &)> &found) const
{
    filelists::ScanFolder(
        folder, scan, [&](const QString &in, const QString &name, const filelists::EntryFacts &) {
            if (!inThumbFolder(in))
                found(in + QLatin1Char('/') + name);
        });
}

void SiteScope::scanGiven(const filelists::ScanOptions &scan,
    const std::function<void(const QString &)> &page,
    const std::function<void(const QString &, const QString &)> &unreadable) const
{
    for (const Given &entry : m_given) {
        if (entry.folder)
            scanFolder(entry.path, scan, page);
        else if (const QString problem = pathProblem(entry.path); problem.isEmpty())
            page(entry.path);
        else
            unreadable(entry.path, problem);
    }
}

} // namespace linkcheck
