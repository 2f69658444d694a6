#include "folderview/fileops.h"

#include "platform/dialogs.h"
#include "platform/filecopy.h"
#include "platform/filerules.h"
#include "platform/safefile.h"

#include <QCoreApplication>
#include <QDir>

using platform::Answer;
using platform::Dialogs;

namespace folderview {

namespace {

// The one selected entry, which is the file the user sees chosen even when the focus mark
// stands on another entry.
QString singleSelectedEntry(
    const frame::SelectionQueries &selection, const frame::SelectionCount &counts)
{
    for (int i = 0; i < counts.total; ++i) {
        const QString path = selection.entryPath(i, true);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace

DeleteResult deleteSelectedFiles(const frame::SelectionQueries &selection, bool &doRecycleBin,
    const std::function<bool()> &mayRemove)
{
    DeleteResult result;
    const frame::SelectionCount counts = selection.selectionCounts();
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
        platform::RemoveFile(path, doRecycleBin);
        result.lastDeletedIndex = index;
    }
    return result;
}

namespace {

// One file selected: asked for the target file, it is copied there.
CopyResult copyOneFile(const frame::SelectionQueries &selection, const frame::SelectionCount &counts)
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
    const QString target = platform::BuildTargetFileName(platform::folderPart(chosen),
                                               platform::fileNamePart(chosen), QString());
    if (target.isEmpty())
        return result;
    if (platform::isSameFile(target, source)) {
        ui.ShowInfo(QStringLiteral("Cannot copy a file to itself ..."));
        return result;
    }
    result.singleTarget = target;
    if (platform::CopyFileKeepDate(source, target))
        result.copied = 1;
    return result;
}

// Copies the selected files into the folder, asking before each one that would be
// overwritten; stops on Cancel or when the progress window asks to. The count copied.
int copyIntoFolder(const frame::SelectionQueries &selection, const frame::SelectionCount &counts,
    const QString &folder, frame::BatchProgress &progress)
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
        if (copyIt && !platform::isSameFile(target, source) && platform::CopyFileKeepDate(source, target))
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

CopyResult copySelectedFiles(const frame::SelectionQueries &selection, QString &copyPath,
    frame::BatchProgress &progress, const std::function<void(bool)> &setMainWindowEnabled)
{
    CopyResult result;
    const frame::SelectionCount counts = selection.selectionCounts();
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
        frame::BatchProgress &progress;
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

} // namespace folderview
