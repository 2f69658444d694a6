// The commands of the File Lists page: load and verify, save, delete, search, add, merge,
// take out and select all.
#include "filelists/filelistspage.h"
#include "filelists/listnamedialog.h"
#include "filelists/reportmodel.h"
#include "filelists/searchdialog.h"
#include "frame/datafolders.h"
#include "frame/settings.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/filerules.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "scan/listfile.h"
#include "scan/verification.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

namespace filelists {

namespace {

const QString kNoMoreEntries = QStringLiteral("No more valid entries left in this list!");
const QString kNothingToSave = QStringLiteral("Nothing to save!");
const QString kNoNewEntries = QStringLiteral("No new entries to add ...\n\n");

// A filter text "description|*.htm;*.asp|..." as the file dialog takes it.
QString dialogFilter(const QString &filterText)
{
    const QStringList parts = filterText.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

// Disables the page while a scan lets events run: a second command would share the work list.
class BusyPage
{
public:
    explicit BusyPage(QWidget *page)
        : m_page(page)
    {
        m_page->setEnabled(false);
    }
    ~BusyPage() { m_page->setEnabled(true); }
    BusyPage(const BusyPage &) = delete;
    BusyPage &operator=(const BusyPage &) = delete;

private:
    QWidget *m_page;
};

} // namespace

// --- Load, verify, save, delete ---------------------------------------------------------

void FileListsPage::openList()
{
    const QStringList names = selectedListNames();
    if (names.size() != 1)
        return;
    const QString path = listsFolder() + names.first();
    QStringList records;
    QString error;
    // A list that cannot be read changes nothing, so that "Save List" never writes the list
    // on screen over the file that failed.
    if (!scan::readListFile(path, &records, &error)) {
        platform::dialogs().errorBox(error);
        return;
    }
    m_currentListFile = path;
    m_saved = true;
    m_workList = std::move(records);
    fillListFromRecords(true);
    setTitle(scan::ListTitle(names.first()));
    verifyLoadedList();
    if (m_report->isVisible())
        m_report->setFocus();
    setListButtonState();
}

void FileListsPage::verifyLoadedList()
{
    const int count = m_model->rowCount();
    if (count == 0)
        return;
    scan::VerifyResult result;
    {
        const platform::HourglassGuard hourglass;
        m_report->setUpdatesEnabled(false);
        m_workList.clear();
        QList<scan::ListEntry> entries = m_model->entries();
        const int step = (count + 1) / 10 + 1;
        int position = 0;
        result = scan::verifyEntries(entries, [&](int kept) {
            if (kept % step == 0)
                m_frame.status.setListProgress(++position);
        });
        m_workList = result.reportLines;
        m_model->setEntries(std::move(entries));
        m_frame.status.setListProgress(0);
        m_report->setUpdatesEnabled(true);
    }
    m_frame.status.updateStatus();
    if (result.unchecked > 0)
        m_frame.status.setHintLine(scan::uncheckedNote(result.unchecked));
    if (m_model->rowCount() == 0) {
        platform::dialogs().ShowInfo(kNoMoreEntries);
        return;
    }
    if (result.updated == 0 && result.removed == 0)
        return;
    m_saved = false;
    saveReportToFile(QStringLiteral("Loaded list contains %1 entries.\n\n"
                                    "%2 orphaned file entries removed from list\n"
                                    "%3 file entries updated\n\n"
                                    "Save updated list before continue?")
                         .arg(count)
                         .arg(result.removed)
                         .arg(result.updated),
        result.reportLines);
}

void FileListsPage::saveList()
{
    saveReportToFile(QStringLiteral("\nSave current list to folder:\n\n") + listsFolder());
}

void FileListsPage::saveReportToFile(const QString &prompt, const QStringList &reportLines)
{
    if (m_model->rowCount() == 0) {
        platform::dialogs().ShowInfo(kNothingToSave);
        return;
    }
    const QString name = m_currentListFile.isEmpty() ? scan::newListFileName(listsFolder())
                                                     : platform::fileNamePart(m_currentListFile);
    m_listNameDialog->prepare(prompt, name, listsFolder(), reportLines);
    if (platform::dialogs().execDialog(*m_listNameDialog) != QDialog::Accepted) {
        fillSavedLists();
        return;
    }
    const QString target = m_listNameDialog->targetPath();
    const ListNameDialog::Choice choice = m_listNameDialog->choice();
    const std::vector<bool> selected = selectedFlags();
    m_workList.clear();
    for (qsizetype row = 0; row < m_model->rowCount(); ++row) {
        const bool isSelected = selected[size_t(row)];
        if (choice == ListNameDialog::AllEntries
            || (choice == ListNameDialog::SelectedEntries) == isSelected)
            m_workList.append(m_model->entry(row).record());
    }
    if (m_workList.isEmpty()) {
        platform::dialogs().ShowInfo(kNothingToSave);
        return;
    }
    QString error;
    if (!scan::writeListFile(target, m_workList, &error)) {
        platform::dialogs().beep();
        platform::dialogs().errorBox(QStringLiteral("Invalid Filename: ") + target);
        return;
    }
    setTitle(scan::ListTitle(platform::fileNamePart(target)));
    m_currentListFile = target;
    m_saved = true;
    setListButtonState();
    fillSavedLists();
}

void FileListsPage::deleteList()
{
    const QStringList names = selectedListNames();
    if (names.size() != 1) {
        platform::dialogs().beep();
        return;
    }
    const QString path = listsFolder() + names.first();
    const platform::Answer answer = platform::dialogs().AskYesNoCancel(
        QStringLiteral("Delete List File \"") + path + QStringLiteral("\" from disk?"));
    if (answer == platform::Answer::Yes) {
        const bool current
            = !m_currentListFile.isEmpty() && QFileInfo(path) == QFileInfo(m_currentListFile);
        platform::RemoveFile(path, m_frame.configuration.settings().useRecycleBin);
        if (current) {
            m_model->clear();
            m_currentListFile.clear();
            m_saved = true;
            setTitle(QStringLiteral("Open a file list, or click \"Search Files\" ..."));
            m_frame.status.updateStatus();
        }
    }
    fillSavedLists();
    setListButtonState();
}

QStringList FileListsPage::selectedListNames() const
{
    QStringList names;
    for (int row = 0; row < m_lists->count(); ++row)
        if (m_lists->item(row)->isSelected())
            names.append(m_lists->item(row)->text());
    return names;
}

// --- Search, add, merge -----------------------------------------------------------------

void FileListsPage::searchFiles()
{
    const QString folder = m_frame.folder.currentFolder();
    const QString mask = m_frame.folder.currentMask();
    m_searchDialog->prepare(mask, folder);
    if (platform::dialogs().execDialog(*m_searchDialog) != QDialog::Accepted)
        return;
    const bool adding = m_searchDialog->addToList();
    qsizetype before = 0;
    // A new list is made straight from the scan: its records would only be split again.
    QList<scan::ListEntry> found;
    int withLineBreak = 0;
    {
        const platform::HourglassGuard hourglass;
        const BusyPage busy(this);
        m_workList = adding ? currentRecords() : QStringList();
        before = m_workList.size();
        scan::ScanOptions options;
        options.mask = mask;
        options.descendEverywhere = false;
        options.thumbFolder = frame::thumbFolderOf(m_frame.configuration.dataFolder());
        const bool subfolders = m_searchDialog->includeSubfolders();
        if (adding) {
            scan::appendFolderRecords(m_workList, folder, subfolders, options, &withLineBreak);
            scan::RemoveDuplicateRecords(m_workList);
        } else {
            scan::appendFolderEntries(found, folder, subfolders, options, &withLineBreak);
        }
    }
    if (withLineBreak > 0)
        m_frame.status.setHintLine(scan::lineBreakNote(withLineBreak));
    const qsizetype count = adding ? m_workList.size() : found.size();
    if (count == 0) {
        platform::dialogs().ShowInfo(
            QStringLiteral("No matching files found in folder:\n\n") + folder);
    } else if (adding && count == before) {
        platform::dialogs().ShowInfo(kNoNewEntries + folder);
    } else {
        m_saved = false;
        if (adding) {
            fillListFromRecords(true);
        } else {
            m_currentListFile.clear();
            showEntries(std::move(found));
        }
        setTitle(scan::ListTitle(folder));
        QString prompt
            = QStringLiteral("\nSearch finished.\n%1 unique entries in list.\n").arg(count);
        if (count > before)
            prompt += QStringLiteral("%1 new entries added.\n").arg(count - before);
        saveReportToFile(prompt + QStringLiteral("Save results?"));
    }
    if (m_report->isVisible())
        m_report->setFocus();
    setListButtonState();
}

void FileListsPage::addFiles()
{
    const QString folder = m_frame.folder.currentFolder();
    const QStringList picked = platform::dialogs().openFileNames(QStringLiteral("Add Files"),
        folder, dialogFilter(m_frame.configuration.settings().allowedExtensions));
    if (picked.isEmpty())
        return;
    qsizetype before = 0;
    int undecodable = 0;
    {
        const platform::HourglassGuard hourglass;
        m_workList = currentRecords();
        before = m_workList.size();
        const QString pickedFolder = platform::folderPart(QDir::toNativeSeparators(picked.first()));
        for (const QString &path : picked) {
            const QString name = platform::fileNamePart(QDir::toNativeSeparators(path));
            const std::optional<scan::ListEntry> entry
                = scan::diskEntry(pickedFolder, pickedFolder + name);
            const bool hidden = name.startsWith(QLatin1Char('.'));
            if (entry && !hidden && scan::fitsInRecord(pickedFolder, name))
                m_workList.append(entry->record());
            // The dialog may hand over a name that lost its bytes on the way.
            undecodable += !entry && platform::hasUndecodableName(name) ? 1 : 0;
        }
        scan::RemoveDuplicateRecords(m_workList);
    }
    if (undecodable > 0)
        m_frame.status.setHintLine(
            QStringLiteral("%1 picked file name(s) not valid UTF-8 could not be added.")
                .arg(undecodable));
    const qsizetype count = m_workList.size();
    if (count == before) {
        platform::dialogs().ShowInfo(kNoNewEntries + folder);
    } else {
        m_saved = false;
        fillListFromRecords(true);
        setTitle(scan::ListTitle(folder));
        saveReportToFile(
            QStringLiteral("\n%1 new entries added.\nSave results?").arg(count - before));
    }
    if (m_report->isVisible())
        m_report->setFocus();
    setListButtonState();
}

void FileListsPage::mergeLists()
{
    const QStringList names = selectedListNames();
    if (names.isEmpty())
        return;
    QString question = QStringLiteral("Merge following list files?:");
    for (const QString &name : names)
        question += QStringLiteral("\n  ") + name;
    if (!platform::dialogs().AskYesNo(
            question + QStringLiteral("\n\n(Note: Duplicates will be detected)")))
        return;
    const QString oldTitle = m_reportTitle->text();
    setTitle(QStringLiteral(" Loading Lists ..."));
    m_reportTitle->repaint();
    QStringList merged;
    QString mergedNames;
    {
        const platform::HourglassGuard hourglass;
        for (const QString &name : names) {
            QStringList records;
            QString error;
            if (!scan::readListFile(listsFolder() + name, &records, &error)) {
                setTitle(oldTitle);
                platform::dialogs().errorBox(error);
                return;
            }
            merged += records;
            mergedNames += QLatin1Char(' ') + name + QStringLiteral(" +");
        }
        scan::RemoveDuplicateRecords(merged);
    }
    setTitle(QStringLiteral(" Generate merged list ..."));
    m_reportTitle->repaint();
    m_workList = std::move(merged);
    fillListFromRecords(true);
    m_currentListFile.clear();
    m_saved = false;
    while (mergedNames.endsWith(QLatin1Char('+')))
        mergedNames.chop(1);
    setTitle(scan::ListTitle(mergedNames));
    if (m_report->isVisible())
        m_report->setFocus();
    saveReportToFile(QStringLiteral("\nFilelists merged ..."));
    setListButtonState();
}

// --- Take out, select all ---------------------------------------------------------------

void FileListsPage::takeOutFiles()
{
    {
        const platform::HourglassGuard hourglass;
        const std::vector<bool> selected = selectedFlags();
        if (std::find(selected.begin(), selected.end(), true) != selected.end()) {
            m_report->setUpdatesEnabled(false);
            m_model->removeFlagged(selected);
            m_saved = false;
            m_report->setUpdatesEnabled(true);
        }
    }
    m_frame.status.updateStatus();
    setListButtonState();
}

void FileListsPage::selectAllRows()
{
    {
        const platform::HourglassGuard hourglass;
        m_report->setUpdatesEnabled(false);
        m_report->selectAll();
        m_report->setUpdatesEnabled(true);
    }
    m_frame.status.updateStatus();
}

} // namespace filelists
