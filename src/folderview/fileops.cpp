#include "folderview/fileops.h"

#include "platform/atomicfile.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/filerules.h"
#include "platform/safefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <array>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

using platform::Answer;
using platform::Dialogs;
using platform::PathStyle;

namespace folderview {

namespace {

constexpr qint64 kCopyBlock = 16384;

FreeSpaceSource &freeSpaceSource()
{
    static FreeSpaceSource source;
    return source;
}

// The one selected entry, which is the file the user sees chosen even when the focus mark
// stands on another entry.
QString singleSelectedEntry(const SelectionQueries &selection, const SelectionCount &counts)
{
    for (int i = 0; i < counts.total; ++i) {
        const QString path = selection.entryPath(i, true);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace

#ifdef Q_OS_UNIX
namespace {

// A copy under the source's own name keeps that name's bytes, also where they are no UTF-8.
QByteArray targetBytes(const QString &source, const QString &target)
{
    const QByteArray native = platform::encodeFilePath(target);
    if (platform::fileNamePart(source) != platform::fileNamePart(target)
        || platform::fileState(target).kind != platform::FileState::Missing)
        return native;
    const QByteArray from = platform::encodeFilePath(source);
    return native.left(native.lastIndexOf('/') + 1) + from.mid(from.lastIndexOf('/') + 1);
}

// A target whose name only its bytes give is beyond QSaveFile: the copy is made whole in
// memory and written by those bytes.
bool copyByNativeName(QFile &in, const QByteArray &target, const QDateTime &modified)
{
    constexpr qint64 kLargestCopyInMemory = qint64(1) << 30;
    if (in.size() > kLargestCopyInMemory)
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError || !platform::writeNativeFileAtomically(target, bytes))
        return false;
    if (!modified.isValid())
        return true;
    const qint64 msecs = modified.toMSecsSinceEpoch();
    const qint64 seconds = msecs / 1000 - (msecs % 1000 < 0 ? 1 : 0);
    const struct timespec times[2]
        = { { 0, UTIME_OMIT }, { time_t(seconds), long((msecs - seconds * 1000) * 1000000) } };
    return ::utimensat(AT_FDCWD, target.constData(), times, 0) == 0;
}

} // namespace
#endif

QString startFileFromArguments(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    // The native form of expanding short names: the absolute, cleaned path.
    const QString expanded
        = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(arguments.last()).absoluteFilePath()));
    if (!MaskMatches(expanded, AcceptedFileMask))
        return {};
    // Found by the name's bytes: a Latin-1 name is no file to QFileInfo.
    return platform::fileState(expanded).kind == platform::FileState::Regular ? expanded
                                                                              : QString();
}

bool CopyFileKeepDate(const QString &source, const QString &target)
{
    // Only regular files, opened without waiting: a named pipe would wait for a writer forever.
    QFile in;
    if (!platform::openRegularFile(in, source, nullptr))
        return false;
    const QDateTime modified = in.fileTime(QFileDevice::FileModificationTime);
#ifdef Q_OS_UNIX
    const QByteArray native = targetBytes(source, target);
    if (native != QFile::encodeName(target))
        return copyByNativeName(in, native, modified);
#endif
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    std::array<char, kCopyBlock> block;
    for (;;) {
        const qint64 got = in.read(block.data(), kCopyBlock);
        if (got == 0)
            break;
        if (got < 0 || out.write(block.data(), got) != got) {
            out.cancelWriting();
            return false;
        }
    }
    // Set last: a later write would move the time again.
    if (modified.isValid())
        out.setFileTime(modified, QFileDevice::FileModificationTime);
    return out.commit();
}

bool isSameFile(const QString &a, const QString &b, PathStyle style)
{
    if (style == PathStyle::Windows) {
        QString left = a;
        QString right = b;
        left.replace(QLatin1Char('/'), QLatin1Char('\\'));
        right.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return left.compare(right, Qt::CaseInsensitive) == 0;
    }
    if (QDir::cleanPath(QFileInfo(a).absoluteFilePath())
        == QDir::cleanPath(QFileInfo(b).absoluteFilePath()))
        return true;
#ifdef Q_OS_UNIX
    struct stat left;
    struct stat right;
    return ::stat(platform::encodeFilePath(a).constData(), &left) == 0
        && ::stat(platform::encodeFilePath(b).constData(), &right) == 0
        && left.st_dev == right.st_dev && left.st_ino == right.st_ino;
#else
    return false;
#endif
}

VolumeSpace systemVolumeSpace(const QString &path)
{
    // The path may name a file not written yet: ask about the nearest folder that exists.
    QString probe = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(probe)) {
        const QString parent = QFileInfo(probe).absolutePath();
        if (parent == probe)
            return {};
        probe = parent;
    }
    const QStorageInfo storage(probe);
    if (!storage.isValid() || !storage.isReady())
        return {};
    VolumeSpace space;
    space.freeBytes = storage.bytesAvailable();
    space.name = QDir::toNativeSeparators(storage.rootPath());
    if (space.name.size() >= 2 && space.name.at(1) == QLatin1Char(':'))
        space.name = space.name.left(2).toUpper(); // a drive: "C:"
    return space;
}

void setFreeSpaceSource(FreeSpaceSource source)
{
    freeSpaceSource() = std::move(source);
}

bool checkDiskSpace(const QString &path, qint64 neededKb)
{
    const FreeSpaceSource &source = freeSpaceSource();
    const VolumeSpace space = source ? source(path) : systemVolumeSpace(path);
    if (space.freeBytes < 0 || space.freeBytes >= neededKb * 1000)
        return true;
    platform::dialogs().ShowInfo(QStringLiteral("Diskspace on drive \"") + space.name
                                 + QStringLiteral("\" < ") + QString::number(neededKb)
                                 + QStringLiteral("Kb!\nProcess stopped."));
    return false;
}

DeleteResult deleteSelectedFiles(
    const SelectionQueries &selection, bool &doRecycleBin, const std::function<bool()> &mayRemove)
{
    DeleteResult result;
    const SelectionCount counts = selection.selectionCounts();
    if (counts.selected <= 0)
        return result;
    QList<std::pair<int, QString>> doomed;
    for (int i = 0; i < counts.total; ++i) {
        const QString path = selection.entryPath(i, true);
        if (!path.isEmpty())
            doomed.append({i, path});
    }

    QString question = QStringLiteral("CAUTION:\n--- File(s) will not be moved to Win95/98/NT "
                                      "Recycle Bin! ---\n\n\n");
    const QString current = selection.currentFile();
    if (!current.isEmpty()) {
        // Name the file that goes, should the focus mark stand on another one.
        const QString named = doomed.size() == 1 ? doomed.constFirst().second : current;
        question +=
            QStringLiteral("Delete file \"") + named + QStringLiteral("\" permanently from disk?");
    } else {
        question += QStringLiteral("Delete ") + QString::number(counts.selected)
                    + QStringLiteral(" files permanently from disk?");
    }
    question += QStringLiteral("\n\n");
    if (platform::dialogs().AskYesNoCancel(question) != Answer::Yes)
        return result;
    if (mayRemove && !mayRemove())
        return result;

    result.confirmed = true;
    for (const auto &[index, path] : doomed) {
        RemoveFile(path, doRecycleBin);
        result.lastDeletedIndex = index;
    }
    return result;
}

namespace {

// One file selected: asked for the target file, it is copied there.
CopyResult copyOneFile(const SelectionQueries &selection, const SelectionCount &counts)
{
    CopyResult result;
    Dialogs &ui = platform::dialogs();
    QString source = singleSelectedEntry(selection, counts);
    if (source.isEmpty())
        source = selection.currentFile();
    if (source.isEmpty())
        return result;
    const QString chosen = QDir::toNativeSeparators(
        ui.saveFileName(QStringLiteral("Copy file to"), source, QString()));
    if (chosen.isEmpty())
        return result;
    const QString target = BuildTargetFileName(platform::folderPart(chosen),
                                               platform::fileNamePart(chosen), QString());
    if (target.isEmpty())
        return result;
    if (isSameFile(target, source)) {
        ui.ShowInfo(QStringLiteral("Cannot copy a file to itself ..."));
        return result;
    }
    result.singleTarget = target;
    if (CopyFileKeepDate(source, target))
        result.copied = 1;
    return result;
}

// Copies the selected files into the folder, asking before each one that would be
// overwritten; stops on Cancel or when the progress window asks to. The count copied.
int copyIntoFolder(const SelectionQueries &selection, const SelectionCount &counts,
    const QString &folder, BatchProgress &progress)
{
    Dialogs &ui = platform::dialogs();
    const QString count = QString::number(counts.selected);
    int copied = 0;
    int k = 1;
    for (int i = 0; i < counts.total; ++i) {
        const QString source = selection.entryPath(i, true);
        if (source.isEmpty())
            continue;
        const QString target = folder + platform::fileNamePart(source);
        progress.setProgressText(QStringLiteral("(") + QString::number(k) + QStringLiteral(" of ")
                                 + count + QStringLiteral("): ") + source);
        bool copyIt = true;
        if (platform::fileState(target).kind != platform::FileState::Missing) {
            const platform::Answer answer = ui.AskYesNoCancel(
                QStringLiteral("File: ") + target + QStringLiteral(" exists.\n\nOverwrite?"));
            if (answer != Answer::Yes && answer != Answer::No)
                break;
            copyIt = answer == Answer::Yes;
        }
        if (copyIt && !isSameFile(target, source) && CopyFileKeepDate(source, target))
            ++copied;
        progress.stepProgress();
        ++k;
        QCoreApplication::processEvents();
        if (progress.stopRequested())
            break;
    }
    return copied;
}

} // namespace

CopyResult copySelectedFiles(const SelectionQueries &selection, QString &copyPath,
    BatchProgress &progress, const std::function<void(bool)> &setMainWindowEnabled)
{
    CopyResult result;
    const SelectionCount counts = selection.selectionCounts();
    if (counts.selected <= 0)
        return result;
    if (counts.selected == 1)
        return copyOneFile(selection, counts);

    Dialogs &ui = platform::dialogs();
    const QString chosen = ui.outputFolder(QStringLiteral("Copy files to folder"), copyPath);
    if (chosen.isEmpty())
        return result;
    const QString folder = platform::WithTrailingBackslash(QDir::toNativeSeparators(chosen));
    if (ui.AskYesNoCancel(QStringLiteral("Copy ") + QString::number(counts.selected)
                          + QStringLiteral(" file(s) to folder:\n\n") + folder)
        != Answer::Yes)
        return result;

    progress.initProgressBar(counts.selected);
    progress.showProgress();
    if (setMainWindowEnabled)
        setMainWindowEnabled(false);
    // However the loop ends, the folder is remembered and the windows are given back.
    struct Restore {
        QString &copyPath;
        const QString &folder;
        BatchProgress &progress;
        const std::function<void(bool)> &setMainWindowEnabled;
        ~Restore()
        {
            copyPath = folder;
            if (setMainWindowEnabled)
                setMainWindowEnabled(true);
            progress.closeProgress();
        }
    } restore{copyPath, folder, progress, setMainWindowEnabled};
    result.copied = copyIntoFolder(selection, counts, folder, progress);
    return result;
}

QString AcceptDroppedFiles(const QStringList &names)
{
    if (names.isEmpty())
        return {};
    const QString &first = names.constFirst();
    if (MaskMatches(first, AcceptedFileMask))
        return first;
    platform::dialogs().beep();
    platform::dialogs().plainMessage(QStringLiteral("Folioscope:\nFile not accepted.\n") + first);
    return {};
}

} // namespace folderview
