#pragma once

#include "scan/folderscan.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace linkcheck {

// What a site check covers: the pages and folders given, the site's root, and which pages
// the folder scan of the folders given finds. Also how a path is shown in the report.
class SiteScope
{
public:
    // `root` empty: the first folder given, else the first page's folder.
    void start(const QStringList &paths, const QString &root, const QString &thumbFolder);
    QString root() const { return m_root; }

    // The path as the paths given show it (relative when all were given relative).
    QString shownPath(const QString &path) const;

    // Would the folder scan of the folders given enter this folder, or find this page?
    bool scanEnters(const QString &folder) const;
    bool scanFinds(const QString &path) const;
    bool isGivenPage(const QString &path) const;
    bool inThumbFolder(const QString &folder) const;

    filelists::ScanOptions scanOptions() const;
    // Every page a folder scan finds below `folder`.
    void scanFolder(const QString &folder, const filelists::ScanOptions &scan,
        const std::function<void(const QString &)> &found) const;
    // Each page and folder given, the folders scanned: what the folder scan finds in them and
    // the pages given go to `page`, the paths that cannot be checked to `unreadable`.
    void scanGiven(const filelists::ScanOptions &scan,
        const std::function<void(const QString &)> &page,
        const std::function<void(const QString &path, const QString &why)> &unreadable) const;

private:
    struct Given {
        QString path;
        QString shown;
        bool folder = false;
    };
    std::vector<Given> m_given;
    bool m_givenRelative = false;
    QString m_root;
    QString m_thumbFolder;
};

} // namespace linkcheck
