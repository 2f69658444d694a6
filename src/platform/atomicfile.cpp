#include "platform/atomicfile.h"

#include "platform/atomicvariant.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace platform {

// The writes themselves are in atomicfile_posix.cpp (by the names' bytes, links followed, the
// owner and other links kept) and atomicfile_qt.cpp (through QSaveFile).

namespace {

bool isLetterOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

} // namespace

QString atomicWriterTarget(QStringView fileName)
{
    const qsizetype dot = fileName.size() - kTemporaryLetters - 1;
    if (dot < 1 || fileName.at(dot) != u'.')
        return {};
    for (const QChar c : fileName.mid(dot + 1))
        if (!isLetterOrDigit(c))
            return {};
    return fileName.left(dot).toString();
}

LeftoverSweep removeAtomicWriterLeftovers(const QString &folder,
    const std::function<bool(QStringView target)> &isTarget, bool recursive,
    std::chrono::seconds minAge)
{
    LeftoverSweep sweep;
    if (folder.isEmpty())
        return sweep;
    const QDateTime staleBefore
        = QDateTime::currentDateTimeUtc().addSecs(-qint64(minAge.count()));
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System,
        recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        const QString target = atomicWriterTarget(info.fileName());
        if (target.isEmpty() || info.isSymLink() || !info.isFile() || !isTarget(target)
            || info.lastModified().toUTC() > staleBefore)
            continue;
        if (QFile::remove(info.filePath()) || !QFileInfo::exists(info.filePath()))
            ++sweep.removed;
        else
            sweep.failed.append(info.filePath());
    }
    return sweep;
}

} // namespace platform
