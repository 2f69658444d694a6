#pragma once

#include "frame/configuration.h"
#include "frame/editedfile.h"
#include "frame/entrycommands.h"
#include "frame/folderplace.h"
#include "frame/page.h"
#include "frame/progress.h"
#include "frame/statusline.h"
#include "linkcheck/sitecheck.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QTreeView;

namespace linkcheck {
class SiteCheck;
}

namespace platform {
class FileWatch;
}

namespace sitecheck {

class CheckRun;
class SiteReportModel;

// The "Site Check" page: every broken local link, anchor and picture of the current folder
// and its sub-folders, and the HTML errors of its pages, kept up to date as pages are saved
// or change on disk.
class SiteCheckPage : public QWidget, public frame::Page
{
    Q_OBJECT

public:
    // What the page asks of the frame that hosts it.
    struct Frame {
        template<class Host>
        Frame(Host &host)
            : status(host)
            , progress(host)
            , commands(host)
            , editedFile(host)
            , configuration(host)
            , folder(host)
        { }
        frame::StatusLine &status;
        frame::Progress &progress;
        frame::EntryCommands &commands;
        frame::EditedFile &editedFile;
        frame::Configuration &configuration;
        frame::FolderPlace &folder;
    };

    explicit SiteCheckPage(const Frame &frame, QWidget *parent = nullptr);
    ~SiteCheckPage() override;

    QString title() const override;
    QString entryNoun() const override;
    QWidget *widget() override { return this; }
    // Start-up: the page follows the saves of the internal editor.
    void start() override;
    void activate() override;
    bool hostsViews() const override { return false; }
    // Its pages may lie in any sub-folder: "Jump to Folder" too.
    bool offersContextItem(frame::ContextItem) const override { return true; }
    bool runContextItem(frame::ContextItem) override { return false; }

    QString currentFile() const override;
    frame::SelectionCount selectionCounts() const override;
    // A page with several broken links stands once among the entries, at its first row.
    QString entryPath(int index, bool onlySelected) const override;

    // "Check": the current folder of the Folder View with its sub-folders, that folder as
    // the site's root.
    void checkFolder();
    bool isChecking() const;
    // Enter or a double-click: the page of the current row in the internal editor, with the
    // link selected.
    void openCurrentRow();
    // The files changed on disk or were saved: the report is brought up to date for them.
    void filesChanged(const QStringList &paths);
    // Sorts by a column: ascending, or reversed when it is the sort column already.
    void sortByColumn(int column);

    SiteReportModel *model() const { return m_model; }
    // The "Show" choice: links, HTML problems or both.
    void setShown(int choice);
    // The HTML rules switched off in the page (kept in prg.ini), for every site.
    QStringList rulesOff() const;
    void setRuleOff(const QString &rule, bool off);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectControls();
    void showProgress();
    void checkEnded(bool complete);
    void showReport();
    // No report: the check was stopped, or the memory ran out.
    void dropReport(bool outOfMemory);
    void keepingSelection(const std::function<void()> &change);
    void followFiles();
    void setReportTitle();
    void buildRulesMenu();
    // The HTML problems of rules switched on in the page and in the site's settings.
    std::vector<linkcheck::PageProblem> shownProblems() const;
    // Per row: whether it is the first row (of the selected ones, with onlySelected) of its
    // page. Kept until the rows or the selection change.
    const std::vector<bool> &leadRows(bool onlySelected) const;

    Frame m_frame;
    SiteReportModel *m_model = nullptr;
    CheckRun *m_run = nullptr;
    platform::FileWatch *m_watch = nullptr;
    QTimer *m_progressTimer = nullptr;
    int m_progressShown = 0;
    int m_progressTotal = -1;
    std::unique_ptr<linkcheck::SiteCheck> m_check;
    // The checked folder, with a trailing separator.
    QString m_root;
    QStringList m_followed;
    mutable std::vector<bool> m_leadRows[2];
    mutable bool m_leadRowsKnown[2] = { false, false };

    QLabel *m_reportTitle = nullptr;
    QTreeView *m_report = nullptr;
    QPushButton *m_checkButton = nullptr;
    QComboBox *m_showChoice = nullptr;
    QPushButton *m_rulesButton = nullptr;
    QMenu *m_rulesMenu = nullptr;
};

} // namespace sitecheck
