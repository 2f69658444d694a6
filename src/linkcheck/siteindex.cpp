#include "linkcheck/siteindex.h"

#include "linkcheck/linkresolve.h"
#include "platform/filenames.h"
#include "platform/safefile.h"

#include <QDir>

#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkcheck {

const QStringList &indexNames()
{
    static const QStringList names { QStringLiteral("index.html"), QStringLiteral("index.htm"),
        QStringLiteral("default.htm"), QStringLiteral("default.html") };
    return names;
}

SiteIndex::SiteIndex(const QString &root)
    : m_root(root)
{
    const QString real = QDir(root).canonicalPath();
    m_realRoot = real.isEmpty() ? root : real;
}

SiteIndex::Kind SiteIndex::linkKind(const QString &path) const
{
    // A link may point anywhere: what lies outside the root is never looked into.
    char *real = ::realpath(platform::encodeFilePath(path).constData(), nullptr);
    if (!real)
        return Kind::Other;
    const QString target = platform::decodeFileName(real);
    std::free(real);
    if (!isInside(target, m_realRoot))
        return Kind::Outside;
    const platform::FileState state = platform::fileState(target);
    return state.kind == platform::FileState::Regular ? Kind::File
        : state.kind == platform::FileState::Folder   ? Kind::Folder
                                                      : Kind::Other;
}

SiteIndex::ListingPtr SiteIndex::read(const QString &folder) const
{
    DIR *dir = ::opendir(platform::encodeFilePath(folder).constData());
    if (!dir)
        return nullptr;
    auto result = std::make_shared<Listing>();
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat info {
            };
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(info.st_mode) ? DT_DIR
                : S_ISREG(info.st_mode)  ? DT_REG
                : S_ISLNK(info.st_mode)  ? DT_LNK
                                         : DT_FIFO;
        }
        const QString decoded = platform::decodeFileName(name);
        const Kind kind = type == DT_REG ? Kind::File
            : type == DT_DIR             ? Kind::Folder
            : type == DT_LNK             ? linkKind(folder + QLatin1Char('/') + decoded)
                                         : Kind::Other;
        result->names.insert(decoded, kind);
        const QString folded = decoded.toCaseFolded();
        // Of several spellings, the same one every time.
        auto known = result->folded.find(folded);
        if (known == result->folded.end())
            result->folded.insert(folded, decoded);
        else if (decoded < known.value())
            known.value() = decoded;
    }
    ::closedir(dir);
    return result;
}

SiteIndex::ListingPtr SiteIndex::listed(const QString &folder) const
{
    std::shared_lock lock(m_lock);
    const auto known = m_listings.find(folder);
    return known == m_listings.end() ? nullptr : known->second;
}

SiteIndex::ListingPtr SiteIndex::listing(const QString &folder) const
{
    {
        std::shared_lock lock(m_lock);
        const auto known = m_listings.find(folder);
        if (known != m_listings.end())
            return known->second;
    }
    ListingPtr fresh = read(folder);
    std::unique_lock lock(m_lock);
    return m_listings.try_emplace(folder, std::move(fresh)).first->second;
}

Found SiteIndex::find(const QString &path, bool folderWanted) const
{
    if (!isInside(path, m_root))
        return { Found::Outside, {}, {} };
    const QStringList names = path.mid(m_root.size()).split(u'/', Qt::SkipEmptyParts);
    QString current = m_root;
    Kind kind = Kind::Folder;
    bool caseDiffers = false;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (kind != Kind::Folder)
            return { Found::NoSuchFile, path, {} };
        const ListingPtr entries = listing(current);
        if (!entries) {
            // A folder that can be passed but not listed: the name as written, or nothing.
            const platform::FileState state = platform::fileState(path);
            const bool there = state.kind == platform::FileState::Regular
                || (state.kind == platform::FileState::Folder && !folderWanted);
            return { there ? Found::Ok : Found::NoSuchFile, path, {} };
        }
        QString name = names.at(i);
        auto entry = entries->names.constFind(name);
        if (entry == entries->names.constEnd()) {
            const auto other = entries->folded.constFind(name.toCaseFolded());
            if (other == entries->folded.constEnd())
                return { Found::NoSuchFile, path, {} };
            name = other.value();
            entry = entries->names.constFind(name);
            caseDiffers = true;
        }
        kind = entry.value();
        if (kind == Kind::Outside)
            return { Found::Outside, {}, {} };
        current += QLatin1Char('/') + name;
    }
    QString file = current;
    if (kind == Kind::Folder) {
        const ListingPtr entries = listing(current);
        file.clear();
        for (const QString &index : indexNames())
            if (entries && entries->names.value(index, Kind::Other) == Kind::File) {
                file = current + QLatin1Char('/') + index;
                break;
            }
        if (file.isEmpty())
            return { Found::NoSuchFile, current, {} };
    } else if (kind != Kind::File || folderWanted) {
        return { Found::NoSuchFile, path, {} };
    }
    return { caseDiffers ? Found::CaseDiffers : Found::Ok, file, current };
}

QStringList SiteIndex::relist(const QString &folder)
{
    const ListingPtr before = listed(folder);
    if (!before)
        return {};
    ListingPtr after = read(folder);
    QStringList changed;
    const QString prefix = folder + QLatin1Char('/');
    const Listing none;
    const Listing &now = after ? *after : none;
    for (auto it = before->names.cbegin(); it != before->names.cend(); ++it)
        if (now.names.value(it.key(), Kind::Outside) != it.value() || !now.names.contains(it.key()))
            changed.append(prefix + it.key());
    for (auto it = now.names.cbegin(); it != now.names.cend(); ++it)
        if (!before->names.contains(it.key()))
            changed.append(prefix + it.key());
    std::unique_lock lock(m_lock);
    m_listings[folder] = std::move(after);
    return changed;
}

QStringList SiteIndex::refresh(const QString &path)
{
    if (!isInside(path, m_root) || path == m_root)
        return {};
    QStringList changed;
    const QStringList names = path.mid(m_root.size()).split(u'/', Qt::SkipEmptyParts);
    QString folder = m_root;
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        // A folder above is listed again only when its entry for the next one changed.
        const ListingPtr entries = listed(folder);
        const QString next = folder + QLatin1Char('/') + names.at(i);
        const bool there = platform::fileState(next).kind == platform::FileState::Folder;
        if (entries && entries->names.contains(names.at(i)) != there)
            changed += relist(folder);
        folder = next;
    }
    changed += relist(folder);
    return changed;
}

} // namespace linkcheck
