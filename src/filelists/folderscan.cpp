#include "filelists/folderscan.h"

#include "platform/filerules.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QSet>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace filelists {

namespace {

const QString kFrontPageFolder = QStringLiteral("_vti_cnf");

QString normalisedFolder(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    const QChar sep = platform::separator(platform::nativePathStyle());
    qsizetype end = native.size();
    while (end > 1 && native.at(end - 1) == sep && native.at(end - 2) != QLatin1Char(':'))
        --end;
    return native.left(end);
}

class Scanner
{
public:
    Scanner(const ScanOptions &options, const FoundEntry &found)
        : m_options(options)
        , m_found(found)
    {
        m_sinceEvents.start();
    }

    // False when stopped.
    bool scan(const QString &folder, bool recursive)
    {
        if (recursive && !firstVisit(folder))
            return true;
        const bool descend = recursive && (m_options.descendEverywhere || !inThumbFolder(folder));
        const QString prefix = platform::WithTrailingBackslash(folder);
        // Hidden entries, broken links, pipes and devices are not listed.
        QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            const QFileInfo entry = entries.nextFileInfo();
            if (stopRequested())
                return false;
            const QString name = entry.fileName();
            if (descend && isPlainFolder(entry)
                && !name.contains(kFrontPageFolder, Qt::CaseInsensitive)) {
                if (!scan(prefix + name, true))
                    return false;
                continue;
            }
            if (platform::MaskMatches(name, m_options.mask))
                m_found(folder, entry);
        }
        return true;
    }

private:
    bool stopRequested()
    {
        if (m_sinceEvents.elapsed() >= m_options.eventInterval) {
            if (m_options.letEventsRun)
                m_options.letEventsRun();
            else if (QCoreApplication::instance())
                QCoreApplication::processEvents();
            m_sinceEvents.restart();
        }
        return m_options.stopRequested && m_options.stopRequested();
    }

    bool inThumbFolder(const QString &folder) const
    {
        return !m_options.thumbFolder.isEmpty()
            && platform::IsInThumbFolder(folder, m_options.thumbFolder);
    }

    // A folder that is itself, not a link to one (nor, on Windows, a junction or a shortcut).
    static bool isPlainFolder(const QFileInfo &entry)
    {
        return entry.isDir() && !entry.isSymLink() && !entry.isJunction();
    }

    // Links are never followed, but a folder mounted inside itself would still loop.
    bool firstVisit(const QString &folder)
    {
#ifdef Q_OS_UNIX
        struct stat info {
        };
        if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
            return true;
        const auto key = qMakePair(quint64(info.st_dev), quint64(info.st_ino));
        if (m_visited.contains(key))
            return false;
        m_visited.insert(key);
#else
        Q_UNUSED(folder);
#endif
        return true;
    }

    const ScanOptions &m_options;
    const FoundEntry &m_found;
    QElapsedTimer m_sinceEvents;
    QSet<QPair<quint64, quint64>> m_visited;
};

} // namespace

bool ScanFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found)
{
    Scanner scanner(options, found);
    return scanner.scan(normalisedFolder(folder), true);
}

bool ScanOneFolder(const QString &folder, const ScanOptions &options, const FoundEntry &found)
{
    Scanner scanner(options, found);
    return scanner.scan(normalisedFolder(folder), false);
}

QStringList ScanFolderPaths(const QString &folder, const ScanOptions &options)
{
    QStringList paths;
    ScanFolder(folder, options, [&paths](const QString &in, const QFileInfo &entry) {
        paths.append(platform::WithTrailingBackslash(in) + entry.fileName());
    });
    return paths;
}

} // namespace filelists
