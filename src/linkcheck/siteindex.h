#pragma once

// The names on disk under the site root, each folder listed once and shared by the threads
// of a check: existence, letter case and folder links answered without asking the disk again.
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <shared_mutex>
#include <unordered_map>

namespace linkcheck {

struct Found {
    enum Status { Ok, NoSuchFile, CaseDiffers, Outside };
    Status status = NoSuchFile;
    QString file; // the file it leads to (a folder's index page), as spelled on disk
    QString spelled; // the path asked for as spelled on disk (CaseDiffers)
};

class SiteIndex
{
public:
    // `root` absolute and clean.
    explicit SiteIndex(const QString &root);

    // The file an absolute clean path names; a folder stands for its index page. Safe to call
    // from several threads at once.
    Found find(const QString &path, bool folderWanted) const;

    // Lists the folders from the root down to the one holding `path` again where the disk
    // changed; the paths that came, went or changed kind.
    QStringList refresh(const QString &path);

    const QString &root() const { return m_root; }

private:
    enum class Kind : quint8 { File, Folder, Other, Outside };
    struct Listing {
        QHash<QString, Kind> names;
        QHash<QString, QString> folded; // case-folded name -> a name
    };
    using ListingPtr = std::shared_ptr<const Listing>;

    ListingPtr listing(const QString &folder) const;
    ListingPtr listed(const QString &folder) const;
    ListingPtr read(const QString &folder) const;
    Kind linkKind(const QString &path) const;
    QStringList relist(const QString &folder);

    QString m_root;
    QString m_realRoot;
    mutable std::shared_mutex m_lock;
    mutable std::unordered_map<QString, ListingPtr> m_listings; // null: cannot be read
};

// The name a link to a folder leads to, in the order looked for.
const QStringList &indexNames();

} // namespace linkcheck
