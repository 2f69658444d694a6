// The folder scan elsewhere: Qt's directory iterator.
#include "scan/scanvariant.h"

#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>

#include <cerrno>

namespace scan {

namespace {

// Elsewhere the listing gives each entry's facts, and QDirIterator is quick enough.
class Scanner
{
public:
    Scanner(const ScanOptions &options, const FoundEntry &found)
        : m_options(options)
        , m_clock(options)
        , m_found(found)
    { }

    bool scan(const QString &folder, bool recursive)
    {
        const bool descend = recursive
            && (m_options.descendEverywhere || m_options.thumbFolder.isEmpty()
                || !platform::isInThumbFolder(folder, m_options.thumbFolder));
        const QString prefix = platform::WithTrailingBackslash(folder);
        if (m_options.folderUnreadable && !QFileInfo(folder).isReadable())
            m_options.folderUnreadable(folder, EACCES);
        // Hidden entries, broken links, pipes and devices are not listed.
        QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            const QFileInfo entry = entries.nextFileInfo();
            if (m_clock.stopRequested())
                return false;
            const QString name = entry.fileName();
            const bool plainFolder = entry.isDir() && !entry.isSymLink() && !entry.isJunction();
            if (descend && plainFolder && !isFrontPageFolder(name)) {
                if (!scan(prefix + name, true))
                    return false;
                continue;
            }
            if (platform::MaskMatches(name, m_options.mask))
                m_found(folder, name,
                    EntryFacts { entry.isDir() ? 0 : entry.size(),
                        entry.lastModified().toSecsSinceEpoch() });
        }
        return true;
    }

private:
    const ScanOptions &m_options;
    EventClock m_clock;
    const FoundEntry &m_found;
};

} // namespace

std::optional<EntryFacts> entryFacts(const QString &path, int *error)
{
    const QFileInfo entry(path);
    if (error)
        *error = entry.exists() ? 0 : ENOENT;
    if (!entry.exists())
        return std::nullopt;
    return EntryFacts { entry.isDir() ? 0 : entry.size(), entry.lastModified().toSecsSinceEpoch() };
}

bool scanTree(const QString &folder, bool recursive, const ScanOptions &options,
    const FoundEntry &found)
{
    Scanner scanner(options, found);
    return scanner.scan(folder, recursive);
}

} // namespace scan
