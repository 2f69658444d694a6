#include "filelists/filelistspage.h"

#include "frame/folderservices.h"
#include "frame/pageframe.h"
#include "filelists/listsort.h"
#include "filelists/reportmodel.h"
#include "filelists/tformaskfname.h"
#include "filelists/tformsearch.h"
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

FileListsPage::FileListsPage(app::PageFrame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
    , m_model(new ReportModel(this))
    , m_formSearch(new TFormSearch(this))
    , m_formAskFName(new TFormAskFName(this))
{
    buildLayout();
    connectControls();
    SetListButtonState();
}

FileListsPage::~FileListsPage() = default;

void FileListsPage::buildLayout()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);

    auto *reportSide = new QWidget(splitter);
    QVBoxLayout *column = kit::tightColumn(reportSide);
    PanelTreeTop = kit::fixedTitleBar(
        QStringLiteral("Open a file list, or click 'Search' or 'Add' to create a list"),
        reportSide);
    column->addWidget(PanelTreeTop);
    ELVReport = new QTreeView(reportSide);
    ELVReport->setObjectName(QStringLiteral("ELVReport"));
    ELVReport->setModel(m_model);
    ELVReport->setRootIsDecorated(false);
    ELVReport->setUniformRowHeights(true);
    ELVReport->setAllColumnsShowFocus(true);
    ELVReport->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ELVReport->setSelectionBehavior(QAbstractItemView::SelectRows);
    ELVReport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ELVReport->header()->setSectionsClickable(true);
    sizeReportColumns();
    ELVReport->setToolTip(QStringLiteral(
        "[Right Mouse Button] = PopUp, [Shift-Click] [Ctrl-Click] = Select/unselect"));
    column->addWidget(ELVReport, 1);
    QHBoxLayout *barLayout = nullptr;
    QWidget *panLV = kit::buttonBar(reportSide, &barLayout);
    BSearch = kit::barButton(
        QStringLiteral("Search"), QStringLiteral("Search files in current folder"), barLayout);
    BSelectAllRows = kit::barButton(
        QStringLiteral("Select All"), QStringLiteral("[CTRL-A ] = Select all entries"), barLayout);
    BTakeOut = kit::barButton(QStringLiteral("Take out"),
        QStringLiteral("[DEL] = Take out selected entries from list"), barLayout);
    BSaveList = kit::barButton(
        QStringLiteral("Save List"), QStringLiteral("Save list to disk"), barLayout);
    BAdd = kit::barButton(
        QStringLiteral("Add"), QStringLiteral("Manually add files to list"), barLayout);
    barLayout->addStretch(1);
    column->addWidget(panLV);

    auto *listsSide = new QWidget(splitter);
    listsSide->setObjectName(QStringLiteral("PanelDateiListen"));
    QVBoxLayout *listsColumn = kit::tightColumn(listsSide);
    PanelListenTop = kit::titleBar(QStringLiteral("Saved Lists"), listsSide);
    listsColumn->addWidget(PanelListenTop);
    LBListen = new QListWidget(listsSide);
    LBListen->setObjectName(QStringLiteral("LBListen"));
    LBListen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listsColumn->addWidget(LBListen, 1);
    QHBoxLayout *listButtons = nullptr;
    QWidget *listBar = kit::buttonBar(listsSide, &listButtons);
    BLoadList = kit::barButton(
        QStringLiteral("Load List"), QStringLiteral("Load and verify selected list"), listButtons);
    BDeleteList = kit::barButton(
        QStringLiteral("Delete"), QStringLiteral("Delete selected file list"), listButtons);
    BMergeList = kit::barButton(
        QStringLiteral("Merge"), QStringLiteral("Merge selected lists"), listButtons);
    listsColumn->addWidget(listBar);
    // The buttons never take the focus: leaving the saved lists disables their buttons.
    for (QPushButton *button :
        { BSearch, BSelectAllRows, BTakeOut, BSaveList, BAdd, BLoadList, BDeleteList, BMergeList })
        button->setFocusPolicy(Qt::NoFocus);
    for (QPushButton *button : { BLoadList, BDeleteList, BMergeList })
        button->setEnabled(false);

    splitter->addWidget(reportSide);
    splitter->addWidget(listsSide);
    splitter->setStretchFactor(0, 1);
    // The saved lists keep the room of their buttons; the report list takes the rest.
    splitter->setSizes(
        { kit::scaledByFont(10000, splitter), listsSide->minimumSizeHint().width() });
    row->addWidget(splitter);
}

// The short columns fit their titles and usual contents in the font in use, and the folder
// column takes the room they leave, so that every column shows in the window. The dates keep
// their whole width; a narrow window scrolls the list sideways instead.
void FileListsPage::sizeReportColumns()
{
    QHeaderView *header = ELVReport->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(kit::scaledByFont(40, header));
    header->setSectionResizeMode(FolderColumn, QHeaderView::Stretch);
    const QFontMetrics metrics(ELVReport->font());
    const int padding = 2 * ELVReport->style()->pixelMetric(QStyle::PM_HeaderMargin) + 12;
    const auto widthFor = [&](std::initializer_list<QString> texts) {
        int widest = 0;
        for (const QString &text : texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        return widest + padding;
    };
    header->resizeSection(
        NameColumn, widthFor({ QStringLiteral("Filename"), QStringLiteral("index_page") }));
    header->resizeSection(ExtColumn, widthFor({ QStringLiteral("Ext"), QStringLiteral(".html") }));
    header->resizeSection(
        SizeColumn, widthFor({ QStringLiteral("Size"), QStringLiteral("9999999") }));
    header->resizeSection(DateColumn,
        widthFor(
            { QStringLiteral("Date"), listDate(QDateTime(QDate(2000, 12, 28), QTime(20, 58))) }));
    int columns = header->minimumSectionSize();
    for (int column = NameColumn; column < ColumnCount; ++column)
        columns += header->sectionSize(column);
    ELVReport->setMinimumWidth(columns + 2 * ELVReport->frameWidth()
        + ELVReport->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ELVReport));
}

void FileListsPage::connectControls()
{
    ELVReport->installEventFilter(this);
    ELVReport->viewport()->installEventFilter(this);
    LBListen->installEventFilter(this);
    connect(ELVReport, &QTreeView::doubleClicked, this, [this] { m_frame.DblClickForAll(); });
    ELVReport->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ELVReport, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.showContextMenu(ELVReport->viewport()->mapToGlobal(pos));
    });
    connect(ELVReport->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_frame.UpdateStatus(); });
    connect(ELVReport->header(), &QHeaderView::sectionClicked, this,
        &FileListsPage::ELVReportColumnClick);
    connect(LBListen, &QListWidget::itemSelectionChanged, this, &FileListsPage::LBListenChange);
    connect(LBListen, &QListWidget::itemDoubleClicked, this, &FileListsPage::BOpenListClick);
    connect(BLoadList, &QPushButton::clicked, this, &FileListsPage::BOpenListClick);
    connect(BDeleteList, &QPushButton::clicked, this, &FileListsPage::BDeleteListClick);
    connect(BMergeList, &QPushButton::clicked, this, &FileListsPage::BMergeListClick);
    connect(BSearch, &QPushButton::clicked, this, &FileListsPage::BGetFilesClick);
    connect(BSelectAllRows, &QPushButton::clicked, this, &FileListsPage::BSelectClick);
    connect(BTakeOut, &QPushButton::clicked, this, &FileListsPage::BTakeOutClick);
    connect(BSaveList, &QPushButton::clicked, this, &FileListsPage::BSaveListClick);
    connect(BAdd, &QPushButton::clicked, this, &FileListsPage::BAddClick);
}

bool FileListsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ELVReport || watched == ELVReport->viewport())
        return reportListEvent(event) || QWidget::eventFilter(watched, event);
    if (watched == LBListen)
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
        ELVReportKeyDown(key);
        return true;
    }
    case QEvent::KeyRelease: {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        ELVReportKeyUp(keyEvent->key(), keyEvent->modifiers());
        return false;
    }
    case QEvent::MouseButtonRelease:
        m_frame.UpdateStatus();
        m_frame.folderView().ShowMiniThumb(CurrentFile());
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (!leftForAnotherWindow(event))
            kit::setFocusMark(PanelTreeTop, event->type() == QEvent::FocusIn);
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
            BOpenListClick();
        else if (key == Qt::Key_Delete)
            BDeleteListClick();
        else
            return false;
        return true;
    }
    case QEvent::FocusIn:
        kit::setFocusMark(PanelListenTop, true);
        // Coming back by the keyboard finds the buttons as the selection asks.
        LBListenChange();
        return false;
    case QEvent::FocusOut:
        if (!leftForAnotherWindow(event))
            LBListenExit();
        return false;
    default:
        return false;
    }
}

void FileListsPage::ELVReportKeyDown(int key)
{
    if (key == Qt::Key_Delete) {
        if (BTakeOut->isEnabled())
            BTakeOutClick();
    } else {
        m_frame.DblClickForAll();
    }
    SetListButtonState();
    m_frame.UpdateStatus();
}

void FileListsPage::ELVReportKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_A && modifiers == Qt::ControlModifier)
        BSelectClick();
    m_frame.folderView().ShowMiniThumb(CurrentFile());
}

void FileListsPage::LBListenExit()
{
    for (QPushButton *button : { BLoadList, BDeleteList, BMergeList })
        button->setEnabled(false);
    kit::setFocusMark(PanelListenTop, false);
}

// --- Selection queries ------------------------------------------------------------------

QString FileListsPage::CurrentFile() const
{
    const auto runs = selectedRuns(ELVReport->selectionModel());
    if (runs.size() != 1 || runs.front().first != runs.front().second)
        return {};
    return m_model->entry(runs.front().first).path();
}

folderview::SelectionCount FileListsPage::SelectionCounts() const
{
    return { this, selectedRowCount(ELVReport->selectionModel()), m_model->rowCount() };
}

QString FileListsPage::EntryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount())
        return {};
    if (onlySelected && !ELVReport->selectionModel()->isRowSelected(index, {}))
        return {};
    return m_model->entry(index).path();
}

std::vector<bool> FileListsPage::selectedFlags() const
{
    std::vector<bool> flags(size_t(m_model->rowCount()), false);
    for (const auto &[first, last] : selectedRuns(ELVReport->selectionModel()))
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
    ELVReport->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// --- Buttons and list state ---------------------------------------------------------------

void FileListsPage::fillSavedLists()
{
    LBListen->clear();
    LBListen->addItems(
        QDir(listsFolder())
            .entryList({ QStringLiteral("*.lst") }, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileListsPage::SetListButtonState()
{
    const bool any = m_model->rowCount() > 0;
    BSelectAllRows->setEnabled(any);
    BTakeOut->setEnabled(any);
    BSaveList->setEnabled(any && !m_saved);
}

void FileListsPage::LBListenChange()
{
    const int selected = int(LBListen->selectedItems().size());
    BLoadList->setEnabled(selected == 1);
    BDeleteList->setEnabled(selected == 1);
    BMergeList->setEnabled(selected > 1);
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
    LBListenChange();
    SetListButtonState();
}

QString FileListsPage::listsFolder() const
{
    return app::listsFolderOf(m_frame.dataFolder());
}

void FileListsPage::setTitle(const QString &text)
{
    PanelTreeTop->setText(text);
}

// --- The list --------------------------------------------------------------------------

void FileListsPage::FillListFromRecords(bool clear)
{
    const platform::HourglassGuard hourglass;
    QList<ListEntry> entries = clear ? QList<ListEntry>() : m_model->entries();
    entries.reserve(entries.size() + m_workList.size());
    const qsizetype step = (m_workList.size() + 1) / 10 + 1;
    int position = 0;
    for (qsizetype i = 0; i < m_workList.size(); ++i) {
        entries.append(
            entryFromRecord(m_workList.at(i), entries.isEmpty() ? nullptr : &entries.last()));
        if ((i + 1) % step == 0)
            m_frame.setListProgress(++position);
    }
    showEntries(std::move(entries));
}

void FileListsPage::showEntries(QList<ListEntry> entries)
{
    ELVReport->setUpdatesEnabled(false);
    m_model->setEntries(std::move(entries));
    m_frame.setListProgress(0);
    // The new order is the work list's: no column is sorted.
    m_sortColumn = -1;
    ELVReport->header()->setSortIndicatorShown(false);
    m_frame.UpdateStatus();
    ELVReport->setUpdatesEnabled(true);
}

QStringList FileListsPage::currentRecords() const
{
    return recordsOf(m_model->entries());
}

void FileListsPage::ELVReportColumnClick(int column)
{
    if (column < 0 || column >= ColumnCount)
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
    ELVReport->setUpdatesEnabled(false);
    m_model->reorder(rows);
    selectRows(selected);
    ELVReport->header()->setSortIndicator(column, order);
    ELVReport->header()->setSortIndicatorShown(true);
    ELVReport->setUpdatesEnabled(true);
}

} // namespace filelists
