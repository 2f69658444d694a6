// The POSIX variant of the folder listing: by the names' bytes, hidden entries left out.
#include "folderview/listingvariant.h"

#include "platform/filenames.h"

#include <dirent.h>
#include <sys/stat.h>

namespace folderview {

namespace {

enum class EntryKind { File, Folder, Other };

// Links are followed: a link counts as what it points to, a broken one as nothing.
EntryKind kindOf(int folderFd, const dirent &entry)
{
    if (entry.d_type == DT_REG)
        return EntryKind::File;
    if (entry.d_type == DT_DIR)
        return EntryKind::Folder;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return EntryKind::Other;
    struct stat info {
    };
    if (::fstatat(folderFd, entry.d_name, &info, 0) != 0)
        return EntryKind::Other;
    return S_ISREG(info.st_mode) ? EntryKind::File
        : S_ISDIR(info.st_mode)  ? EntryKind::Folder
                                 : EntryKind::Other;
}

// The decoded names of the non-hidden entries of `folder` of the kind wanted, unsorted. A read
// error ends the listing like its end does: what was read is kept.
QStringList namesOfKind(const QString &folder, EntryKind wanted)
{
    QStringList names;
    DIR *dir = ::opendir(platform::encodeFilePath(folder).constData());
    if (!dir)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.' && kindOf(fd, *entry) == wanted)
            names.append(platform::decodeFileName(entry->d_name));
    }
    ::closedir(dir);
    return names;
}

} // namespace

QStringList unsortedMatchingFiles(const QString &folder, const platform::FileMask &filter)
{
    QStringList names;
    for (QString &name : namesOfKind(folder, EntryKind::File))
        if (filter.matches(name))
            names.append(std::move(name));
    return names;
}

QStringList unsortedSubFolders(const QString &folder)
{
    return namesOfKind(folder, EntryKind::Folder);
}

} // namespace folderview
