#include "sitecheck/sitecheckpage.h"

#include "frame/batchprogress.h"
#include "frame/datafolders.h"
#include "kit/panels.h"
#include "kit/textfit.h"
#include "frame/settings.h"
#include "linkcheck/htmlreport.h"
#include "linkcheck/sitecheck.h"
#include "platform/dialogs.h"
#include "platform/filewatch.h"
#include "sitecheck/checkrun.h"
#include "sitecheck/sitereportmodel.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <new>

namespace sitecheck {

namespace {

const QString kFirstTitle
    = QStringLiteral("Click 'Check' to find the broken links of the current folder");
// Often enough for a Stop to end the check at once.
constexpr int kProgressMs = 25;

bool isEnterKey(const QEvent *event)
{
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A report entry is the same one after an update when it names the same link, or the same
// HTML problem, at the same place.
QString entryKey(const ReportRow &row)
{
    return QStringLiteral("%1\n%2\n%3\n%4\n%5")
        .arg(row.link.page)
        .arg(row.link.line)
        .arg(row.link.column)
        .arg(row.link.link, row.problem);
}

} // namespace

SiteCheckPage::SiteCheckPage(const Frame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
    , m_model(new SiteReportModel(this))
    , m_run(new CheckRun(this))
    , m_watch(new platform::FileWatch(this))
    , m_progressTimer(new QTimer(this))
{
    m_progressTimer->setInterval(kProgressMs);
    buildLayout();
    connectControls();
}

SiteCheckPage::~SiteCheckPage() = default;

void SiteCheckPage::buildLayout()
{
    QVBoxLayout *column = kit::tightColumn(this);
    m_reportTitle = kit::titleBar(kFirstTitle, this);
    m_reportTitle->setObjectName(QStringLiteral("PanelSiteTop"));
    column->addWidget(m_reportTitle);
    m_report = kit::reportList(m_model, this);
    m_report->setObjectName(QStringLiteral("ELVSiteReport"));
    QHeaderView *header = m_report->header();
    header->setStretchLastSection(true);
    header->resizeSection(PageColumn, kit::scaledByFont(180, header));
    header->resizeSection(LineColumn, kit::scaledByFont(50, header));
    header->resizeSection(LinkColumn, kit::scaledByFont(200, header));
    m_report->setToolTip(QStringLiteral("[Enter] [Double-Click] = Open the page in the editor, "
                                       "the link selected"));
    column->addWidget(m_report, 1);
    QHBoxLayout *barLayout = nullptr;
    QWidget *bar = kit::buttonBar(this, &barLayout);
    m_checkButton = kit::barButton(QStringLiteral("Check"),
        QStringLiteral("Check the links of the current folder and its sub-folders"), barLayout);
    m_checkButton->setObjectName(QStringLiteral("BCheck"));
    m_checkButton->setFocusPolicy(Qt::NoFocus);
    barLayout->addWidget(new QLabel(QStringLiteral("Show:"), bar));
    m_showChoice = new QComboBox(bar);
    m_showChoice->setObjectName(QStringLiteral("CBShow"));
    m_showChoice->addItems({ QStringLiteral("Links"), QStringLiteral("HTML"), QStringLiteral("All") });
    m_showChoice->setCurrentIndex(int(ShowProblems::All));
    m_showChoice->setFocusPolicy(Qt::NoFocus);
    barLayout->addWidget(m_showChoice);
    m_rulesButton = kit::barButton(QStringLiteral("Rules"),
        QStringLiteral("The HTML rules checked (a site's .folioscope-check.ini switches off more)"),
        barLayout);
    m_rulesButton->setObjectName(QStringLiteral("BRules"));
    m_rulesButton->setFocusPolicy(Qt::NoFocus);
    buildRulesMenu();
    barLayout->addStretch(1);
    column->addWidget(bar);
}

void SiteCheckPage::connectControls()
{
    m_report->installEventFilter(this);
    connect(m_report, &QTreeView::doubleClicked, this, &SiteCheckPage::openCurrentRow);
    m_report->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_report, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.commands.showContextMenu(m_report->viewport()->mapToGlobal(pos));
    });
    const auto forgetLeads = [this] { m_leadRowsKnown[0] = m_leadRowsKnown[1] = false; };
    connect(m_model, &QAbstractItemModel::modelReset, this, forgetLeads);
    connect(m_report->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this, forgetLeads] {
            forgetLeads();
            m_frame.status.updateStatus();
        });
    connect(m_report->header(), &QHeaderView::sectionClicked, this, &SiteCheckPage::sortByColumn);
    connect(m_checkButton, &QPushButton::clicked, this, &SiteCheckPage::checkFolder);
    connect(m_showChoice, &QComboBox::currentIndexChanged, this, &SiteCheckPage::setShown);
    connect(m_run, &CheckRun::finished, this, &SiteCheckPage::checkEnded);
    connect(m_progressTimer, &QTimer::timeout, this, &SiteCheckPage::showProgress);
    connect(m_watch, &platform::FileWatch::filesChanged, this, &SiteCheckPage::filesChanged);
}

bool SiteCheckPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_report && event->type() == QEvent::KeyPress && isEnterKey(event)) {
        openCurrentRow();
        return true;
    }
    if (watched == m_report
        && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        kit::setFocusMark(m_reportTitle, event->type() == QEvent::FocusIn);
    return QWidget::eventFilter(watched, event);
}

QString SiteCheckPage::title() const
{
    return QStringLiteral("Site Check");
}

QString SiteCheckPage::entryNoun() const
{
    return m_model->shown() == ShowProblems::Links ? QStringLiteral("links") : QStringLiteral("problems");
}

// --- What is shown ------------------------------------------------------------------------

void SiteCheckPage::buildRulesMenu()
{
    m_rulesMenu = new QMenu(m_rulesButton);
    const QStringList off = rulesOff();
    for (const std::string_view id : linkcheck::htmlRuleIds()) {
        const QString rule = QString::fromUtf8(id.data(), qsizetype(id.size()));
        QAction *action = m_rulesMenu->addAction(rule);
        action->setCheckable(true);
        action->setChecked(!off.contains(rule));
        action->setToolTip(QString::fromUtf8(linkcheck::htmlRuleDescription(id).data()));
        connect(action, &QAction::toggled, this, [this, rule](bool on) { setRuleOff(rule, !on); });
    }
    m_rulesButton->setMenu(m_rulesMenu);
}

QStringList SiteCheckPage::rulesOff() const
{
    return m_frame.configuration.settings().siteCheckRulesOff.split(u',', Qt::SkipEmptyParts);
}

void SiteCheckPage::setRuleOff(const QString &rule, bool off)
{
    QStringList rules = rulesOff();
    rules.removeAll(rule);
    if (off)
        rules.append(rule);
    rules.sort();
    m_frame.configuration.settings().siteCheckRulesOff = rules.join(u',');
    if (m_check)
        showReport();
}

void SiteCheckPage::setShown(int choice)
{
    if (m_showChoice->currentIndex() != choice)
        m_showChoice->setCurrentIndex(choice); // comes back here
    else
        keepingSelection([&] { m_model->setShown(ShowProblems(choice)); });
    if (m_check)
        setReportTitle();
    m_frame.status.updateStatus();
}

std::vector<linkcheck::PageProblem> SiteCheckPage::shownProblems() const
{
    QSet<QString> off = linkcheck::rulesOffInSite(m_root);
    for (const QString &rule : rulesOff())
        off.insert(rule);
    return linkcheck::selectedProblems(m_check->htmlReport(), off, true);
}

void SiteCheckPage::start()
{
    m_frame.editedFile.followEditorSaves(
        this, [this](const QString &path) { filesChanged({ path }); });
}

void SiteCheckPage::activate()
{
    m_report->setFocus();
}

void SiteCheckPage::openCurrentRow()
{
    const QModelIndex current = m_report->currentIndex();
    if (!current.isValid())
        return;
    // The page opened is the current file: the row's page alone.
    m_report->selectionModel()->select(
        current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const linkcheck::BrokenLink &link = m_model->row(current.row()).link;
    // An HTML problem has no text of its own: the caret goes to its place.
    m_frame.commands.openCurrentFileAt({ link.line, link.column, link.link });
}

// --- Checking -----------------------------------------------------------------------------

bool SiteCheckPage::isChecking() const
{
    return m_run->isRunning();
}

void SiteCheckPage::checkFolder()
{
    const QString folder = m_frame.folder.currentFolder();
    if (folder.isEmpty() || isChecking()) {
        platform::dialogs().beep();
        return;
    }
    m_watch->clear();
    m_followed.clear();
    m_check.reset();
    m_root = QDir::toNativeSeparators(QDir::cleanPath(folder));
    if (!m_root.endsWith(QDir::separator()))
        m_root += QDir::separator();
    m_model->setRoot(m_root);
    m_model->clear();
    // The caption counts the list as it is now: empty until the check ends.
    m_frame.status.updateStatus();
    m_reportTitle->setText(QStringLiteral("Checking the links in \"%1\" ...").arg(m_root));
    linkcheck::CheckOptions options;
    options.root = QDir::cleanPath(folder);
    options.thumbFolder = frame::thumbFolderOf(m_frame.configuration.dataFolder());
    options.html = true;
    if (frame::BatchProgress *progress = m_frame.progress.progressWindow()) {
        progress->initProgressBar(0);
        progress->showProgress();
        progress->setProgressText(QStringLiteral("Checking the links in: ") + m_root);
    }
    m_progressShown = 0;
    m_progressTotal = -1;
    m_frame.progress.setMainWindowEnabled(false);
    m_run->start({ options.root }, options);
    m_progressTimer->start();
}

// Steps the progress window to the pages done, and passes its Stop on to the checker.
void SiteCheckPage::showProgress()
{
    frame::BatchProgress *progress = m_frame.progress.progressWindow();
    if (!progress)
        return;
    if (progress->stopRequested()) {
        m_run->stop();
        return;
    }
    const int total = m_run->pagesTotal();
    const int done = m_run->pagesDone();
    if (total != m_progressTotal) {
        m_progressTotal = total;
        m_progressShown = 0;
        progress->initProgressBar(total);
    }
    if (done == m_progressShown)
        return;
    for (; m_progressShown < done; ++m_progressShown)
        progress->stepProgress();
    progress->setProgressText(QStringLiteral("Checking the links in: %1  (%2 of %3 pages)")
                                  .arg(m_root)
                                  .arg(done)
                                  .arg(total));
}

void SiteCheckPage::checkEnded(bool complete)
{
    m_progressTimer->stop();
    if (frame::BatchProgress *progress = m_frame.progress.progressWindow())
        progress->closeProgress();
    m_frame.progress.setMainWindowEnabled(true);
    m_check = m_run->takeResult();
    if (!complete) {
        dropReport(m_run->ranOutOfMemory());
        return;
    }
    showReport();
    followFiles();
    m_report->setFocus();
}

void SiteCheckPage::dropReport(bool outOfMemory)
{
    m_model->clear();
    m_reportTitle->setText(outOfMemory
            ? QStringLiteral("The check of \"%1\" ran out of memory").arg(m_root)
            : QStringLiteral("The check of \"%1\" was stopped").arg(m_root));
    m_frame.status.updateStatus();
}

void SiteCheckPage::showReport()
{
    keepingSelection([this] { m_model->setReport(m_check->report(), shownProblems()); });
    setReportTitle();
    m_frame.status.updateStatus();
}

// The selection and the current row follow their entries to their new places.
void SiteCheckPage::keepingSelection(const std::function<void()> &change)
{
    QItemSelectionModel *selection = m_report->selectionModel();
    QSet<QString> selected;
    for (const QModelIndex &index : selection->selectedRows())
        selected.insert(entryKey(m_model->row(index.row())));
    QString current;
    if (const QModelIndex index = m_report->currentIndex(); index.isValid())
        current = entryKey(m_model->row(index.row()));

    change();

    QItemSelection kept;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QString key = entryKey(m_model->row(row));
        if (key == current)
            selection->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
        if (selected.contains(key))
            kept.select(m_model->index(row, 0), m_model->index(row, SiteColumnCount - 1));
    }
    selection->select(kept, QItemSelectionModel::ClearAndSelect);
}

void SiteCheckPage::setReportTitle()
{
    const linkcheck::CheckTotals totals = m_check->totals();
    const QString shown = m_model->shown() == ShowProblems::Links ? QStringLiteral("Broken links")
        : m_model->shown() == ShowProblems::Html                 ? QStringLiteral("HTML problems")
                                                                 : QStringLiteral("Problems");
    m_reportTitle->setText(
        QStringLiteral("%1 in \"%2\": %3 of %4 problems; %5 links in %6 pages (%7 external, "
                       "not checked)")
            .arg(shown, m_root)
            .arg(m_model->rowCount())
            .arg(m_model->problemCount())
            .arg(totals.links)
            .arg(totals.pages)
            .arg(totals.external));
}

// --- Keeping the report up to date --------------------------------------------------------

// The pages and style sheets read and the targets of every link, good ones too: a file that
// appears mends the links to it, one deleted or renamed breaks them.
void SiteCheckPage::followFiles()
{
    const QStringList files = m_check->followedFiles();
    // Most changes leave the set as it was; following it anew would look at every file again.
    if (files != m_followed) {
        m_followed = files;
        m_watch->setFiles(files);
    }
}

void SiteCheckPage::filesChanged(const QStringList &paths)
{
    if (!m_check || isChecking())
        return;
    const QString root = QDir::fromNativeSeparators(m_root);
    bool changed = false;
    try {
        for (const QString &path : paths) {
            const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
            if (!clean.startsWith(root))
                continue;
            m_check->update(clean);
            changed = true;
        }
    } catch (const std::bad_alloc &) {
        // A report half brought up to date is no report.
        m_check.reset();
        m_watch->clear();
        m_followed.clear();
        dropReport(true);
        return;
    }
    if (!changed)
        return;
    showReport();
    followFiles();
}

void SiteCheckPage::sortByColumn(int column)
{
    if (column < 0 || column >= SiteColumnCount)
        return;
    const bool ascending
        = column != m_model->sortColumn() || m_model->sortOrder() == Qt::DescendingOrder;
    const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    keepingSelection([&] { m_model->sortBy(column, order); });
    m_report->header()->setSortIndicator(column, order);
    m_report->header()->setSortIndicatorShown(true);
}

// --- Selection queries --------------------------------------------------------------------

QString SiteCheckPage::currentFile() const
{
    const QModelIndexList rows = m_report->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return {};
    const QString page = m_model->row(rows.first().row()).link.page;
    for (const QModelIndex &row : rows)
        if (m_model->row(row.row()).link.page != page)
            return {};
    return page;
}

frame::SelectionCount SiteCheckPage::selectionCounts() const
{
    return { this, int(m_report->selectionModel()->selectedRows().size()), m_model->rowCount() };
}

const std::vector<bool> &SiteCheckPage::leadRows(bool onlySelected) const
{
    std::vector<bool> &leads = m_leadRows[onlySelected ? 1 : 0];
    bool &known = m_leadRowsKnown[onlySelected ? 1 : 0];
    if (known)
        return leads;
    leads.assign(size_t(m_model->rowCount()), false);
    QSet<QString> seen;
    const QItemSelectionModel *selection = m_report->selectionModel();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (onlySelected && !selection->isRowSelected(row, {}))
            continue;
        const QString &page = m_model->row(row).link.page;
        if (!seen.contains(page)) {
            seen.insert(page);
            leads[size_t(row)] = true;
        }
    }
    known = true;
    return leads;
}

QString SiteCheckPage::entryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount() || !leadRows(onlySelected)[size_t(index)])
        return {};
    return m_model->row(index).link.page;
}

} // namespace sitecheck
