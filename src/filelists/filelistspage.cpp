#include "filelists/filelistspage.h"

#include "filelists/listnamedialog.h"
#include "filelists/listsort.h"
#include "filelists/reportmodel.h"
#include "filelists/searchdialog.h"
#include "frame/datafolders.h"
#include "frame/settings.h"
#include "kit/panels.h"
#include "kit/textfit.h"
#include "platform/hourglass.h"

#include <QDir>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace filelists {

namespace {

// Selected rows as sorted, disjoint runs [first, last]: counting them stays cheap however
// many rows are selected.
std::vector<std::pair<int, int>> selectedRuns(const QItemSelectionModel *selection)
{
    std::vector<std::pair<int, int>> runs;
    for (const QItemSelectionRange &range : selection->selection())
        runs.emplace_back(range.top(), range.bottom());
    std::sort(runs.begin(), runs.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto &run : runs) {
        if (!merged.empty() && run.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, run.second);
        else
            merged.push_back(run);
    }
    return merged;
}

int selectedRowCount(const QItemSelectionModel *selection)
{
    int count = 0;
    for (const auto &[first, last] : selectedRuns(selection))
        count += last - first + 1;
    return count;
}

// A focus change because another window came up is no leaving of the control.
bool leftForAnotherWindow(QEvent *event)
{
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

FileListsPage::FileListsPage(const Frame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
    , m_model(new ReportModel(this))
    , m_searchDialog(new SearchDialog(this))
    , m_listNameDialog(new ListNameDialog(this))
{
    buildLayout();
    connectControls();
    setListButtonState();
}

FileListsPage::~FileListsPage() = default;

void FileListsPage::buildLayout()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    QWidget *reportSide = buildReportSide(splitter);
    QWidget *listsSide = buildListsSide(splitter);
    // The buttons never take the focus: leaving the saved lists disables their buttons.
    for (QPushButton *button : { m_searchButton, m_selectAllButton, m_takeOutButton, m_saveListButton,
             m_addButton, m_replaceButton, m_loadListButton, m_deleteListButton, m_mergeListButton })
        button->setFocusPolicy(Qt::NoFocus);
    for (QPushButton *button : { m_loadListButton, m_deleteListButton, m_mergeListButton })
        button->setEnabled(false);

    splitter->addWidget(reportSide);
    splitter->addWidget(listsSide);
    splitter->setStretchFactor(0, 1);
    // The saved lists keep the room of their buttons; the report list takes the rest.
    splitter->setSizes(
        { kit::scaledByFont(10000, splitter), listsSide->minimumSizeHint().width() });
    row->addWidget(splitter);
}

// The report list with its title and its buttons (search, select, take out, save, add,
// replace).
QWidget *FileListsPage::buildReportSide(QWidget *parent)
{
    auto *reportSide = new QWidget(parent);
    QVBoxLayout *column = kit::tightColumn(reportSide);
    m_reportTitle = kit::fixedTitleBar(
        QStringLiteral("Open a file list, or click 'Search' or 'Add' to create a list"),
        reportSide);
    m_reportTitle->setObjectName(QStringLiteral("PanelTreeTop"));
    column->addWidget(m_reportTitle);
    m_report = kit::reportList(m_model, reportSide);
    m_report->setObjectName(QStringLiteral("ELVReport"));
    sizeReportColumns();
    m_report->setToolTip(QStringLiteral(
        "[Right Mouse Button] = PopUp, [Shift-Click] [Ctrl-Click] = Select/unselect"));
    column->addWidget(m_report, 1);
    QHBoxLayout *barLayout = nullptr;
    QWidget *panLV = kit::buttonBar(reportSide, &barLayout);
    m_searchButton = kit::barButton(
        QStringLiteral("Search"), QStringLiteral("Search files in current folder"), barLayout);
    m_searchButton->setObjectName(QStringLiteral("BSearch"));
    m_selectAllButton = kit::barButton(
        QStringLiteral("Select All"), QStringLiteral("[CTRL-A ] = Select all entries"), barLayout);
    m_selectAllButton->setObjectName(QStringLiteral("BSelectAllRows"));
    m_takeOutButton = kit::barButton(QStringLiteral("Take out"),
        QStringLiteral("[DEL] = Take out selected entries from list"), barLayout);
    m_takeOutButton->setObjectName(QStringLiteral("BTakeOut"));
    m_saveListButton = kit::barButton(
        QStringLiteral("Save List"), QStringLiteral("Save list to disk"), barLayout);
    m_saveListButton->setObjectName(QStringLiteral("BSaveList"));
    m_addButton = kit::barButton(
        QStringLiteral("Add"), QStringLiteral("Manually add files to list"), barLayout);
    m_addButton->setObjectName(QStringLiteral("BAdd"));
    m_replaceButton = kit::barButton(QStringLiteral("Replace"),
        QStringLiteral("Replace text in the files of the list, or undo a replace"), barLayout);
    m_replaceButton->setObjectName(QStringLiteral("BReplace"));
    m_replaceButton->setMenu(replaceMenu());
    barLayout->addStretch(1);
    column->addWidget(panLV);
    return reportSide;
}

// The saved lists with their buttons (load, delete, merge).
QWidget *FileListsPage::buildListsSide(QWidget *parent)
{
    auto *listsSide = new QWidget(parent);
    listsSide->setObjectName(QStringLiteral("PanelDateiListen"));
    QVBoxLayout *listsColumn = kit::tightColumn(listsSide);
    m_listsTitle = kit::titleBar(QStringLiteral("Saved Lists"), listsSide);
    m_listsTitle->setObjectName(QStringLiteral("PanelListenTop"));
    listsColumn->addWidget(m_listsTitle);
    m_lists = new QListWidget(listsSide);
    m_lists->setObjectName(QStringLiteral("LBListen"));
    m_lists->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listsColumn->addWidget(m_lists, 1);
    QHBoxLayout *listButtons = nullptr;
    QWidget *listBar = kit::buttonBar(listsSide, &listButtons);
    m_loadListButton = kit::barButton(
        QStringLiteral("Load List"), QStringLiteral("Load and verify selected list"), listButtons);
    m_loadListButton->setObjectName(QStringLiteral("BLoadList"));
    m_deleteListButton = kit::barButton(
        QStringLiteral("Delete"), QStringLiteral("Delete selected file list"), listButtons);
    m_deleteListButton->setObjectName(QStringLiteral("BDeleteList"));
    m_mergeListButton = kit::barButton(
        QStringLiteral("Merge"), QStringLiteral("Merge selected lists"), listButtons);
    m_mergeListButton->setObjectName(QStringLiteral("BMergeList"));
    listsColumn->addWidget(listBar);
    return listsSide;
}

// The short columns fit their titles and usual contents in the font in use, and the folder
// column takes the room they leave, so that every column shows in the window. The dates keep
// their whole width; a narrow window scrolls the list sideways instead.
void FileListsPage::sizeReportColumns()
{
    QHeaderView *header = m_report->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(kit::scaledByFont(40, header));
    header->setSectionResizeMode(scan::FolderColumn, QHeaderView::Stretch);
    const QFontMetrics metrics(m_report->font());
    const int padding = 2 * m_report->style()->pixelMetric(QStyle::PM_HeaderMargin) + 12;
    const auto widthFor = [&](std::initializer_list<QString> texts) {
        int widest = 0;
        for (const QString &text : texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        return widest + padding;
    };
    header->resizeSection(
        scan::NameColumn, widthFor({ QStringLiteral("Filename"), QStringLiteral("index_page") }));
    header->resizeSection(
        scan::ExtColumn, widthFor({ QStringLiteral("Ext"), QStringLiteral(".html") }));
    header->resizeSection(
        scan::SizeColumn, widthFor({ QStringLiteral("Size"), QStringLiteral("9999999") }));
    header->resizeSection(scan::DateColumn,
        widthFor({ QStringLiteral("Date"),
            scan::listDate(QDateTime(QDate(2000, 12, 28), QTime(20, 58))) }));
    int columns = header->minimumSectionSize();
    for (int column = scan::NameColumn; column < scan::ColumnCount; ++column)
        columns += header->sectionSize(column);
    m_report->setMinimumWidth(columns + 2 * m_report->frameWidth()
        + m_report->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_report));
}

void FileListsPage::connectControls()
{
    m_report->installEventFilter(this);
    m_report->viewport()->installEventFilter(this);
    m_lists->installEventFilter(this);
    connect(
        m_report, &QTreeView::doubleClicked, this, [this] { m_frame.commands.openCurrentFile(); });
    m_report->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_report, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.commands.showContextMenu(m_report->viewport()->mapToGlobal(pos));
    });
    connect(m_report->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_frame.status.updateStatus(); });
    connect(m_report->header(), &QHeaderView::sectionClicked, this, &FileListsPage::sortByColumn);
    connect(m_lists, &QListWidget::itemSelectionChanged, this, &FileListsPage::listChosen);
    connect(m_lists, &QListWidget::itemDoubleClicked, this, &FileListsPage::openList);
    connect(m_loadListButton, &QPushButton::clicked, this, &FileListsPage::openList);
    connect(m_deleteListButton, &QPushButton::clicked, this, &FileListsPage::deleteList);
    connect(m_mergeListButton, &QPushButton::clicked, this, &FileListsPage::mergeLists);
    connect(m_searchButton, &QPushButton::clicked, this, &FileListsPage::searchFiles);
    connect(m_selectAllButton, &QPushButton::clicked, this, &FileListsPage::selectAllRows);
    connect(m_takeOutButton, &QPushButton::clicked, this, &FileListsPage::takeOutFiles);
    connect(m_saveListButton, &QPushButton::clicked, this, &FileListsPage::saveList);
    connect(m_addButton, &QPushButton::clicked, this, &FileListsPage::addFiles);
}

bool FileListsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_report || watched == m_report->viewport())
        return reportListEvent(event) || QWidget::eventFilter(watched, event);
    if (watched == m_lists)
        return savedListsEvent(event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

// True when the event was handled.
bool FileListsPage::reportListEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Delete)
            return false;
        reportKeyPressed(key);
        return true;
    }
    case QEvent::KeyRelease: {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        reportKeyReleased(keyEvent->key(), keyEvent->modifiers());
        return false;
    }
    case QEvent::MouseButtonRelease:
        m_frame.status.updateStatus();
        m_frame.folder.showMiniThumb(currentFile());
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (!leftForAnotherWindow(event))
            kit::setFocusMark(m_reportTitle, event->type() == QEvent::FocusIn);
        return false;
    default:
        return false;
    }
}

bool FileListsPage::savedListsEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            openList();
        else if (key == Qt::Key_Delete)
            deleteList();
        else
            return false;
        return true;
    }
    case QEvent::FocusIn:
        kit::setFocusMark(m_listsTitle, true);
        // Coming back by the keyboard finds the buttons as the selection asks.
        listChosen();
        return false;
    case QEvent::FocusOut:
        if (!leftForAnotherWindow(event))
            listsLeft();
        return false;
    default:
        return false;
    }
}

void FileListsPage::reportKeyPressed(int key)
{
    if (key == Qt::Key_Delete) {
        if (m_takeOutButton->isEnabled())
            takeOutFiles();
    } else {
        m_frame.commands.openCurrentFile();
    }
    setListButtonState();
    m_frame.status.updateStatus();
}

void FileListsPage::reportKeyReleased(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_A && modifiers == Qt::ControlModifier)
        selectAllRows();
    m_frame.folder.showMiniThumb(currentFile());
}

void FileListsPage::listsLeft()
{
    for (QPushButton *button : { m_loadListButton, m_deleteListButton, m_mergeListButton })
        button->setEnabled(false);
    kit::setFocusMark(m_listsTitle, false);
}

// --- Selection queries ------------------------------------------------------------------

QString FileListsPage::currentFile() const
{
    const auto runs = selectedRuns(m_report->selectionModel());
    if (runs.size() != 1 || runs.front().first != runs.front().second)
        return {};
    return m_model->entry(runs.front().first).path();
}

frame::SelectionCount FileListsPage::selectionCounts() const
{
    return { this, selectedRowCount(m_report->selectionModel()), m_model->rowCount() };
}

QString FileListsPage::entryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount())
        return {};
    if (onlySelected && !m_report->selectionModel()->isRowSelected(index, {}))
        return {};
    return m_model->entry(index).path();
}

std::vector<bool> FileListsPage::selectedFlags() const
{
    std::vector<bool> flags(size_t(m_model->rowCount()), false);
    for (const auto &[first, last] : selectedRuns(m_report->selectionModel()))
        for (int row = first; row <= last && row < int(flags.size()); ++row)
            flags[size_t(row)] = true;
    return flags;
}

void FileListsPage::selectRows(const std::vector<bool> &flags)
{
    QItemSelection selection;
    const int columns = m_model->columnCount();
    for (size_t row = 0; row < flags.size();) {
        if (!flags[row]) {
            ++row;
            continue;
        }
        size_t last = row;
        while (last + 1 < flags.size() && flags[last + 1])
            ++last;
        selection.select(m_model->index(int(row), 0), m_model->index(int(last), columns - 1));
        row = last + 1;
    }
    m_report->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// --- Buttons and list state ---------------------------------------------------------------

void FileListsPage::fillSavedLists()
{
    m_lists->clear();
    m_lists->addItems(
        QDir(listsFolder())
            .entryList({ QStringLiteral("*.lst") }, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileListsPage::setListButtonState()
{
    const bool any = m_model->rowCount() > 0;
    m_selectAllButton->setEnabled(any);
    m_takeOutButton->setEnabled(any);
    m_saveListButton->setEnabled(any && !m_saved);
}

void FileListsPage::listChosen()
{
    const int selected = int(m_lists->selectedItems().size());
    m_loadListButton->setEnabled(selected == 1);
    m_deleteListButton->setEnabled(selected == 1);
    m_mergeListButton->setEnabled(selected > 1);
}

QString FileListsPage::title() const
{
    return QStringLiteral("File Lists");
}

void FileListsPage::start()
{
    fillSavedLists();
}

void FileListsPage::activate()
{
    listChosen();
    setListButtonState();
}

QString FileListsPage::listsFolder() const
{
    return frame::listsFolderOf(m_frame.configuration.dataFolder());
}

void FileListsPage::setTitle(const QString &text)
{
    m_reportTitle->setText(text);
}

// --- The list --------------------------------------------------------------------------

void FileListsPage::fillListFromRecords(bool clear)
{
    const platform::HourglassGuard hourglass;
    QList<scan::ListEntry> entries = clear ? QList<scan::ListEntry>() : m_model->entries();
    entries.reserve(entries.size() + m_workList.size());
    const qsizetype step = (m_workList.size() + 1) / 10 + 1;
    int position = 0;
    for (qsizetype i = 0; i < m_workList.size(); ++i) {
        entries.append(
            scan::entryFromRecord(m_workList.at(i), entries.isEmpty() ? nullptr : &entries.last()));
        if ((i + 1) % step == 0)
            m_frame.status.setListProgress(++position);
    }
    showEntries(std::move(entries));
}

void FileListsPage::showEntries(QList<scan::ListEntry> entries)
{
    m_report->setUpdatesEnabled(false);
    m_model->setEntries(std::move(entries));
    m_frame.status.setListProgress(0);
    // The new order is the work list's: no column is sorted.
    m_sortColumn = -1;
    m_report->header()->setSortIndicatorShown(false);
    m_frame.status.updateStatus();
    m_report->setUpdatesEnabled(true);
}

QStringList FileListsPage::currentRecords() const
{
    return scan::recordsOf(m_model->entries());
}

void FileListsPage::sortByColumn(int column)
{
    if (column < 0 || column >= scan::ColumnCount)
        return;
    const platform::HourglassGuard hourglass;
    m_sortAscending = column != m_sortColumn || !m_sortAscending;
    m_sortColumn = column;
    const Qt::SortOrder order = m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder;
    const QString header = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const std::vector<qsizetype> rows
        = sortedRows(m_model->entries(), column, comparisonForHeader(header), order);
    // The selection follows its entries to their new places.
    const std::vector<bool> wasSelected = selectedFlags();
    std::vector<bool> selected(rows.size(), false);
    for (size_t i = 0; i < rows.size(); ++i)
        selected[i] = wasSelected[size_t(rows[i])];
    m_report->setUpdatesEnabled(false);
    m_model->reorder(rows);
    selectRows(selected);
    m_report->header()->setSortIndicator(column, order);
    m_report->header()->setSortIndicatorShown(true);
    m_report->setUpdatesEnabled(true);
}

} // namespace filelists
