#include "linkcheck/siteindex.h"

#include "linkcheck/linkresolve.h"
#include "platform/filenames.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkcheck {

namespace {

// The system's own limit of symbolic links in the resolution of one path.
constexpr int kMaxLinks = 40;

QString childPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

// A path the system gave, each name decoded on its own: one may be UTF-8, another Latin-1.
QString decodePath(const QByteArray &bytes)
{
    QString path;
    for (const QByteArray &name : bytes.split('/'))
        path += platform::decodeFileName(name) + u'/';
    path.chop(1);
    return path.isEmpty() ? QStringLiteral("/") : path;
}

// The real path of `path`, links followed; empty when it leads nowhere.
QString realPath(const QString &path)
{
    char *real = ::realpath(platform::encodeFilePath(path).constData(), nullptr);
    if (!real)
        return {};
    const QString decoded = decodePath(QByteArray(real));
    std::free(real);
    return decoded;
}

// A folder that can be passed but not listed: the name as written, or nothing.
Found lookWithoutListing(const QString &path, bool folderWanted)
{
    const platform::FileState state = platform::fileState(path);
    if (state.kind == platform::FileState::Regular && !folderWanted)
        return { Found::Ok, path, path };
    if (state.kind == platform::FileState::Folder) {
        bool unreadable = false;
        for (const QString &index : indexNames()) {
            const platform::FileState page = platform::fileState(childPath(path, index));
            if (page.kind == platform::FileState::Regular)
                return { Found::Ok, childPath(path, index), path, path };
            unreadable = unreadable || page.error == EACCES;
        }
        return { unreadable ? Found::CannotRead : Found::NoSuchFile, path, {}, path };
    }
    return { state.error == EACCES ? Found::CannotRead : Found::NoSuchFile, path, {} };
}

} // namespace

const QStringList &indexNames()
{
    static const QStringList names { QStringLiteral("index.html"), QStringLiteral("index.htm"),
        QStringLiteral("default.htm"), QStringLiteral("default.html") };
    return names;
}

SiteIndex::SiteIndex(const QString &root)
    : m_root(root)
{
    const QString real = realPath(root);
    m_realRoot = real.isEmpty() ? root : real;
}

SiteIndex::ListingPtr SiteIndex::read(const QString &real) const
{
    DIR *dir = ::opendir(platform::encodeFilePath(real).constData());
    if (!dir)
        return nullptr;
    auto result = std::make_shared<Listing>();
    const int fd = ::dirfd(dir);
    while (const dirent *item = ::readdir(dir)) {
        const char *name = item->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat info {
        };
        unsigned char type = item->d_type;
        if (type == DT_UNKNOWN) {
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(info.st_mode) ? DT_DIR
                : S_ISREG(info.st_mode)  ? DT_REG
                : S_ISLNK(info.st_mode)  ? DT_LNK
                                         : DT_FIFO;
        }
        Entry entry;
        if (type == DT_LNK) {
            // What a browser or server finds there, wherever the link leads.
            entry.link = true;
            if (::fstatat(fd, name, &info, 0) != 0)
                entry.kind = errno == EACCES ? Kind::Unreadable : Kind::Other;
            else
                entry.kind = S_ISREG(info.st_mode) ? Kind::File
                    : S_ISDIR(info.st_mode)        ? Kind::Folder
                                                   : Kind::Other;
        } else {
            entry.kind = type == DT_REG ? Kind::File : type == DT_DIR ? Kind::Folder : Kind::Other;
        }
        const platform::DecodedText decoded = platform::decodeText(QByteArray(name));
        entry.latin1 = decoded.encoding == platform::TextEncoding::Latin1;
        // Of a UTF-8 name and a Latin-1 one that read alike, the UTF-8 one.
        auto known = result->names.find(decoded.text);
        if (known != result->names.end() && !(known->latin1 && !entry.latin1))
            continue;
        result->names.insert(decoded.text, entry);
        const QString folded = decoded.text.toCaseFolded();
        // Of several spellings, the same one every time.
        auto spelling = result->folded.find(folded);
        if (spelling == result->folded.end())
            result->folded.insert(folded, decoded.text);
        else if (decoded.text < spelling.value())
            spelling.value() = decoded.text;
    }
    ::closedir(dir);
    return result;
}

SiteIndex::ListingPtr SiteIndex::listed(const QString &real) const
{
    std::shared_lock lock(m_lock);
    const auto known = m_listings.find(real);
    return known == m_listings.end() ? nullptr : known->second;
}

SiteIndex::ListingPtr SiteIndex::listing(const QString &real) const
{
    {
        std::shared_lock lock(m_lock);
        const auto known = m_listings.find(real);
        if (known != m_listings.end())
            return known->second;
    }
    ListingPtr fresh = read(real);
    std::unique_lock lock(m_lock);
    return m_listings.try_emplace(real, std::move(fresh)).first->second;
}

QString SiteIndex::realChild(const QString &real, const QString &name, const Entry &entry) const
{
    const QString plain = childPath(real, name);
    return entry.link ? realPath(plain) : plain;
}

Found SiteIndex::find(const QString &path, bool folderWanted, QStringView forms) const
{
    if (!isInside(path, m_root))
        return { Found::NoSuchFile, path, {} };
    const QStringList names = path.mid(m_root.size()).split(u'/', Qt::SkipEmptyParts);
    const qsizetype formsFrom = names.size() - forms.size();
    const auto fits = [&](const Entry &entry, qsizetype i) {
        const char16_t form = i >= formsFrom ? forms[i - formsFrom].unicode() : char16_t(AnyForm);
        return form == AnyForm || entry.latin1 == (form == Latin1Form);
    };
    QString current = m_root;
    QString real = m_realRoot;
    Kind kind = Kind::Folder;
    bool caseDiffers = false;
    int links = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (kind != Kind::Folder)
            return { Found::NoSuchFile, path, {} };
        const ListingPtr entries = listing(real);
        if (!entries)
            return lookWithoutListing(path, folderWanted);
        QString name = names.at(i);
        auto entry = entries->names.constFind(name);
        if (entry == entries->names.constEnd() || !fits(entry.value(), i)) {
            const auto other = entries->folded.constFind(name.toCaseFolded());
            if (other == entries->folded.constEnd() || other.value() == name)
                return { Found::NoSuchFile, path, {} };
            name = other.value();
            entry = entries->names.constFind(name);
            if (!fits(entry.value(), i))
                return { Found::NoSuchFile, path, {} };
            caseDiffers = true;
        }
        if (entry->kind == Kind::Unreadable)
            return { Found::CannotRead, path, {} };
        if (entry->link && ++links > kMaxLinks)
            return { Found::NoSuchFile, path, {} };
        kind = entry->kind;
        if (kind == Kind::Folder) {
            real = realChild(real, name, entry.value());
            if (real.isEmpty())
                return { Found::NoSuchFile, path, {} };
        }
        current = childPath(current, name);
    }
    return foundAt(path, current, real, kind, folderWanted, caseDiffers);
}

// The end of a walk that reached `current` (of this kind; a folder's real path `real`): the
// file itself, or a folder's first index page.
Found SiteIndex::foundAt(const QString &path, const QString &current, const QString &real,
    Kind kind, bool folderWanted, bool caseDiffers) const
{
    QString file = current;
    QString folder;
    if (kind == Kind::Folder) {
        const ListingPtr entries = listing(real);
        if (!entries)
            return lookWithoutListing(current, folderWanted);
        file.clear();
        folder = current;
        for (const QString &index : indexNames())
            if (entries->names.value(index).kind == Kind::File) {
                file = childPath(current, index);
                break;
            }
        if (file.isEmpty())
            return { Found::NoSuchFile, current, {}, current };
    } else if (kind != Kind::File || folderWanted) {
        return { Found::NoSuchFile, path, {} };
    }
    return { caseDiffers ? Found::CaseDiffers : Found::Ok, file, current, folder };
}

QStringList SiteIndex::relist(const QString &real, const QString &shown, QStringList *folders)
{
    const ListingPtr before = listed(real);
    if (!before)
        return {};
    ListingPtr after = read(real);
    QStringList changed;
    const Listing none;
    const Listing &now = after ? *after : none;
    const auto note = [&](const QString &name, const Entry &was, const Entry &is) {
        changed.append(childPath(shown, name));
        if (folders && (was.kind == Kind::Folder || is.kind == Kind::Folder))
            folders->append(changed.back());
    };
    for (auto it = before->names.cbegin(); it != before->names.cend(); ++it) {
        const auto there = now.names.constFind(it.key());
        if (there == now.names.cend())
            note(it.key(), it.value(), {});
        else if (there.value() != it.value())
            note(it.key(), it.value(), there.value());
    }
    for (auto it = now.names.cbegin(); it != now.names.cend(); ++it)
        if (!before->names.contains(it.key()))
            note(it.key(), {}, it.value());
    std::unique_lock lock(m_lock);
    m_listings[real] = std::move(after);
    return changed;
}

QStringList SiteIndex::refresh(const QString &path, QStringList *folders)
{
    if (!isInside(path, m_root) || path == m_root)
        return {};
    QStringList changed;
    const QStringList names = path.mid(m_root.size()).split(u'/', Qt::SkipEmptyParts);
    QString folder = m_root;
    QString real = m_realRoot;
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        // A folder above is listed again only when its entry for the next one changed.
        ListingPtr entries = listed(real);
        const QString next = childPath(folder, names.at(i));
        const bool there = platform::fileState(next).kind == platform::FileState::Folder;
        if (entries && entries->names.contains(names.at(i)) != there) {
            changed += relist(real, folder, folders);
            entries = listed(real);
        }
        // On the way find() goes: the name, or its other spelling.
        QString name = names.at(i);
        if (entries && !entries->names.contains(name)) {
            const auto other = entries->folded.constFind(name.toCaseFolded());
            if (other == entries->folded.constEnd())
                return changed;
            name = other.value();
        }
        real = realChild(real, name, entries ? entries->names.value(name) : Entry {});
        if (real.isEmpty())
            return changed;
        folder = childPath(folder, name);
    }
    changed += relist(real, folder, folders);
    return changed;
}

} // namespace linkcheck
