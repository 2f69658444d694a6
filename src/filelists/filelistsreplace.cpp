// The File Lists page's replace across its files, and the undo of a replace.

#include "filelists/filelistspage.h"

#include "filelists/reportmodel.h"
#include "filelists/sitereplacedialog.h"
#include "frame/datafolders.h"
#include "frame/settings.h"
#include "platform/dialogs.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "replace/undostore.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace filelists {

namespace {

// The report list's entries for files on disk.
QStringList recordsFor(const QStringList &paths)
{
    QStringList records;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        records << makeListEntry(
            platform::WithTrailingBackslash(QDir::toNativeSeparators(info.absolutePath())), info)
                       .record();
    }
    return records;
}

} // namespace

QMenu *FileListsPage::replaceMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PMReplace"));
    menu->addAction(QStringLiteral("Replace..."), this, &FileListsPage::replaceInFiles);
    QMenu *undo = menu->addMenu(QStringLiteral("Undo Replace"));
    undo->setObjectName(QStringLiteral("PMUndoReplace"));
    // The replaces that can be undone, newest first, as they are when the menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this, undo] {
        undo->clear();
        const std::vector<replace::UndoRecord> records
            = replace::UndoStore(m_frame.configuration.dataFolder()).list();
        for (const replace::UndoRecord &record : records) {
            const QString id = record.id;
            undo->addAction(QStringLiteral("%1  %2 (%3 files)")
                                .arg(record.when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                    record.summary)
                                .arg(record.files.size()),
                this, [this, id] { undoReplace(id); });
        }
        undo->setEnabled(!records.empty());
    });
    return menu;
}

void FileListsPage::replaceInFiles()
{
    const folderview::SelectionCount counts = selectionCounts();
    const bool onlySelected = counts.selected > 1;
    const bool unsaved = m_frame.editedFile.hasUnsavedChanges();
    const QString edited = m_frame.editedFile.editedFile();
    QStringList files;
    QStringList leftOut;
    for (int i = 0; i < counts.total; ++i) {
        const QString path = entryPath(i, onlySelected);
        if (path.isEmpty())
            continue;
        if (unsaved && path == edited)
            leftOut << path + QStringLiteral(": unsaved changes in the editor, left out");
        else
            files << path;
    }
    if (files.isEmpty() && leftOut.isEmpty()) {
        platform::dialogs().ShowInfo(QStringLiteral("The list has no files to replace in."));
        return;
    }
    SiteReplaceDialog dialog(files, leftOut, m_frame.configuration.dataFolder(), this);
    if (platform::dialogs().execDialog(dialog) != QDialog::Accepted || dialog.written().isEmpty())
        return;
    if (!unsaved && dialog.written().contains(edited))
        m_frame.editedFile.reloadEditedFile();
    m_workList = recordsFor(dialog.written());
    fillListFromRecords(true);
    m_saved = false;
    setTitle(QStringLiteral("Files changed by the replace (%1)").arg(dialog.written().size()));
    setListButtonState();
}

void FileListsPage::undoReplace(const QString &id)
{
    const replace::UndoStore store(m_frame.configuration.dataFolder());
    replace::UndoRecord record;
    QString error;
    if (!store.load(id, &record, &error)) {
        platform::dialogs().errorBox(error);
        return;
    }
    if (!platform::dialogs().AskYesNo(QStringLiteral("Undo the replace %1 in %2 files?")
                                          .arg(record.summary)
                                          .arg(record.files.size())))
        return;
    const bool unsaved = m_frame.editedFile.hasUnsavedChanges();
    const QString edited = m_frame.editedFile.editedFile();
    if (unsaved) {
        for (const replace::UndoFile &file : record.files) {
            if (file.path == edited) {
                platform::dialogs().ShowInfo(QStringLiteral("Save or discard the changes of %1 in "
                                                            "the editor first.")
                                                 .arg(edited));
                return;
            }
        }
    }
    replace::UndoOutcome outcome;
    {
        const platform::HourglassGuard hourglass;
        outcome = store.undo(record);
    }
    if (outcome.restored.contains(edited))
        m_frame.editedFile.reloadEditedFile();
    if (!outcome.leftAlone.isEmpty())
        platform::dialogs().ShowInfo(
            QStringLiteral("%1 files put back. Left alone:\n").arg(outcome.restored.size())
            + outcome.leftAlone.join(QLatin1Char('\n')));
    m_workList = recordsFor(outcome.restored);
    fillListFromRecords(true);
    m_saved = false;
    setTitle(QStringLiteral("Files put back by the undo (%1)").arg(outcome.restored.size()));
    setListButtonState();
}

} // namespace filelists
