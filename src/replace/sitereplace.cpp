#include "replace/sitereplace.h"

#include "linkcheck/parallel.h"
#include "platform/atomicfile.h"
#include "platform/safefile.h"
#include "scan/folderscan.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <thread>

namespace replace {

namespace {

constexpr qint64 kLargestPage = qint64(1) << 30;

int threadCount(int threads)
{
    return threads > 0 ? threads : int(std::max(1u, std::thread::hardware_concurrency()));
}

// Writes wait for the disk (each file is synced before its rename), not for a core: more of
// them at once let the file system commit them together.
constexpr int kWritersPerCore = 8;

int writerCount(int threads)
{
    return threads > 0 ? threads : threadCount(0) * kWritersPerCore;
}

} // namespace

QStringList filesToReplace(const QStringList &paths, const QString &mask,
    const QString &thumbFolder, QStringList *problems)
{
    QStringList files;
    for (const QString &path : paths) {
        const platform::FileState state = platform::fileState(path);
        if (state.kind == platform::FileState::Regular) {
            files << path;
        } else if (state.kind == platform::FileState::Folder) {
            filelists::ScanOptions options;
            options.mask = mask;
            options.thumbFolder = thumbFolder;
            options.letEventsRun = [] {};
            filelists::ScanFolder(QDir::cleanPath(path), options,
                [&files](const QString &folder, const QString &name, const filelists::EntryFacts &) {
                    const QString file = QDir(folder).filePath(name);
                    if (platform::fileState(file).kind == platform::FileState::Regular)
                        files << QDir::cleanPath(file);
                });
        } else {
            *problems << QStringLiteral("%1: %2").arg(path,
                state.kind == platform::FileState::Other ? platform::notRegularFileText()
                                                         : QStringLiteral("No such file or folder"));
        }
    }
    return files;
}

FilePlan planFile(const QString &path, const Replacer &replacer, bool keepBytes)
{
    FilePlan plan;
    plan.path = path;
    QByteArray bytes;
    QString reason;
    if (!platform::readRegularFile(path, kLargestPage, &bytes, &reason)) {
        plan.page.error = QStringLiteral("cannot read: ") + reason;
        return plan;
    }
    plan.page = replacer.plan(bytes);
    if (!plan.page.edits.empty()) {
        plan.hash = contentHash(bytes);
        if (keepBytes)
            plan.bytes = bytes;
    }
    return plan;
}

bool planFiles(const QStringList &paths, const Replacer &replacer, std::vector<FilePlan> *plans,
    bool keepBytes, const std::function<bool(int, int)> &progress, int threads)
{
    plans->assign(size_t(paths.size()), FilePlan());
    return linkcheck::parallelFor(int(paths.size()), threadCount(threads),
        [&](int i) { (*plans)[size_t(i)] = planFile(paths.at(i), replacer, keepBytes); }, progress);
}

namespace {

// The files of a replace made new in memory, with what undoes them; the reason a file is
// left out, empty for those kept.
struct PreparedFiles {
    std::vector<QByteArray> fresh;
    std::vector<UndoFile> undo;
    std::vector<QString> skipped;
};

PreparedFiles prepareFiles(const std::vector<const FilePlan *> &todo, int threads)
{
    PreparedFiles files;
    files.fresh.resize(todo.size());
    files.undo.resize(todo.size());
    files.skipped.resize(todo.size());
    linkcheck::parallelFor(int(todo.size()), threadCount(threads), [&](int i) {
        const FilePlan &plan = *todo[size_t(i)];
        QByteArray bytes = plan.bytes;
        QString reason;
        if (bytes.isEmpty() && !platform::readRegularFile(plan.path, kLargestPage, &bytes, &reason)) {
            files.skipped[size_t(i)] = QStringLiteral("cannot read: ") + reason;
            return;
        }
        // Bytes kept from the planning are those planned; bytes read again must be the same.
        if (plan.bytes.isEmpty() && contentHash(bytes) != plan.hash) {
            files.skipped[size_t(i)] = QStringLiteral("changed on disk since the preview, left out");
            return;
        }
        files.fresh[size_t(i)] = applyEdits(bytes, plan.page.edits);
        files.undo[size_t(i)] = undoFileFor(plan.path, bytes, plan.page.edits);
        files.undo[size_t(i)].oldHash = plan.hash;
        files.undo[size_t(i)].newHash = contentHash(files.fresh[size_t(i)]);
    });
    return files;
}

// Writes the files kept until one cannot be written: whether each was, and why not.
struct WrittenFiles {
    std::vector<char> done;
    std::vector<QString> failures;
};

WrittenFiles writeFiles(
    const std::vector<const FilePlan *> &todo, PreparedFiles &files, int threads)
{
    WrittenFiles written { std::vector<char>(todo.size(), 0), std::vector<QString>(todo.size()) };
    std::atomic<bool> failed = false;
    linkcheck::parallelFor(int(todo.size()), writerCount(threads), [&](int i) {
        if (failed || !files.skipped[size_t(i)].isEmpty())
            return;
        QString reason;
        if (platform::writeFileAtomically(todo[size_t(i)]->path, files.fresh[size_t(i)], &reason)) {
            written.done[size_t(i)] = 1;
        } else {
            written.failures[size_t(i)] = reason;
            failed = true;
        }
        files.fresh[size_t(i)] = QByteArray();
    });
    return written;
}

} // namespace

ApplyOutcome applyPlans(const std::vector<FilePlan> &plans, const QString &summary,
    const UndoStore &store, int threads)
{
    ApplyOutcome outcome;
    std::vector<const FilePlan *> todo;
    for (const FilePlan &plan : plans) {
        if (!plan.page.error.isEmpty())
            outcome.leftOut << QStringLiteral("%1: %2").arg(plan.path, plan.page.error);
        else if (!plan.page.edits.empty())
            todo.push_back(&plan);
    }
    // The new files are made first, so that the record is whole before any is written.
    PreparedFiles files = prepareFiles(todo, threads);
    UndoRecord record;
    record.id = store.newId();
    record.when = QDateTime::currentDateTime();
    record.summary = summary;
    for (size_t i = 0; i < todo.size(); ++i) {
        if (files.skipped[i].isEmpty())
            record.files.push_back(files.undo[i]);
        else
            outcome.leftOut << QStringLiteral("%1: %2").arg(todo[i]->path, files.skipped[i]);
    }
    if (record.files.empty())
        return outcome;
    QString error;
    if (!store.save(record, &error)) {
        outcome.failure = error;
        return outcome;
    }

    const WrittenFiles result = writeFiles(todo, files, threads);
    UndoRecord written = record;
    written.files.clear();
    for (size_t i = 0; i < todo.size(); ++i) {
        if (result.done[i]) {
            outcome.written << todo[i]->path;
            outcome.replacements += qint64(todo[i]->page.edits.size());
            written.files.push_back(files.undo[i]);
        } else if (!result.failures[i].isEmpty() && outcome.failure.isEmpty()) {
            outcome.failure
                = QStringLiteral("%1: cannot write: %2").arg(todo[i]->path, result.failures[i]);
        }
    }
    if (written.files.empty()) {
        store.remove(record.id);
        return outcome;
    }
    outcome.undoId = record.id;
    if (written.files.size() < record.files.size() && !store.save(written, &error))
        outcome.failure += QLatin1Char('\n') + error; // the whole record still undoes rightly
    return outcome;
}

} // namespace replace
