#pragma once

// The names on disk under the site root, each folder listed once and shared by the threads
// of a check: existence, letter case and folder links answered without asking the disk again.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <shared_mutex>
#include <unordered_map>

namespace linkcheck {

struct Found {
    enum Status { Ok, NoSuchFile, CaseDiffers, CannotRead };
    Status status = NoSuchFile;
    QString file; // the file it leads to (a folder's index page), as spelled on disk
    QString spelled; // the path asked for as spelled on disk (CaseDiffers)
    QString folder; // the folder it led to, whose index page is wanted
};

class SiteIndex
{
public:
    // `root` absolute and clean.
    explicit SiteIndex(const QString &root);

    // The file an absolute clean path under the root names; a folder stands for its index
    // page. The path goes through symbolic links wherever they lead, as a browser's or a
    // server's would (at most 40 of them, as the system's limit). `forms` holds one NameForm
    // for each of the last names of the path (LinkTarget::forms). Safe to call from several
    // threads at once.
    Found find(const QString &path, bool folderWanted, QStringView forms = {}) const;

    // Lists the folders from the root down to the one holding `path` again where the disk
    // changed; the paths that came, went or changed kind. Those that are or were folders are
    // added to `folders` too: every path below them may lead elsewhere now.
    QStringList refresh(const QString &path, QStringList *folders = nullptr);

    const QString &root() const { return m_root; }

private:
    enum class Kind : quint8 { File, Folder, Other, Unreadable };
    struct Entry {
        Kind kind = Kind::Other; // of what it leads to, links followed
        bool link = false;
        bool latin1 = false; // the name's bytes are no UTF-8
        bool operator==(const Entry &) const = default;
    };
    struct Listing {
        QHash<QString, Entry> names;
        QHash<QString, QString> folded; // case-folded name -> a name
    };
    using ListingPtr = std::shared_ptr<const Listing>;

    // Listings are kept by the folder's real path: however many links lead into a folder,
    // it is listed once.
    ListingPtr listing(const QString &real) const;
    ListingPtr listed(const QString &real) const;
    ListingPtr read(const QString &real) const;
    QString realChild(const QString &real, const QString &name, const Entry &entry) const;
    Found foundAt(const QString &path, const QString &current, const QString &real, Kind kind,
        bool folderWanted, bool caseDiffers) const;
    QStringList relist(const QString &real, const QString &shown, QStringList *folders);

    QString m_root;
    QString m_realRoot;
    mutable std::shared_mutex m_lock;
    mutable std::unordered_map<QString, ListingPtr> m_listings; // null: cannot be read
};

// The name a link to a folder leads to, in the order looked for.
const QStringList &indexNames();

} // namespace linkcheck
