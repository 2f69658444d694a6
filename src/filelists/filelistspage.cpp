#include "filelists/filelistspage.h"

#include "app/pageframe.h"
#include "kit/panels.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace filelists {

namespace {

// A row holds the folder (with its separator), the name without extension and the extension.
QString rowPath(const QTreeWidgetItem *row)
{
    return row->text(0) + row->text(1) + row->text(2);
}

} // namespace

FileListsPage::FileListsPage(app::PageFrame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    buildLayout();
    ELVReport->installEventFilter(this);
    ELVReport->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ELVReport, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.showContextMenu(ELVReport->viewport()->mapToGlobal(pos));
    });
    connect(ELVReport, &QTreeWidget::itemDoubleClicked, this, [this] { m_frame.DblClickForAll(); });
    connect(
        ELVReport, &QTreeWidget::itemSelectionChanged, this, [this] { m_frame.UpdateStatus(); });
    connect(LBListen, &QListWidget::itemSelectionChanged, this, &FileListsPage::SetListButtonState);
    connect(BSelectAllRows, &QPushButton::clicked, ELVReport, &QTreeWidget::selectAll);
}

void FileListsPage::buildLayout()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);

    auto *reportSide = new QWidget(splitter);
    QVBoxLayout *column = kit::tightColumn(reportSide);
    PanelTreeTop = kit::titleBar(
        QStringLiteral("Open a file list, or click 'Search' or 'Add' to create a list"),
        reportSide);
    column->addWidget(PanelTreeTop);
    ELVReport = new QTreeWidget(reportSide);
    ELVReport->setObjectName(QStringLiteral("ELVReport"));
    ELVReport->setRootIsDecorated(false);
    ELVReport->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ELVReport->setHeaderLabels({ QStringLiteral("Folder"), QStringLiteral("Filename"),
        QStringLiteral("Ext"), QStringLiteral("Size"), QStringLiteral("Date") });
    ELVReport->header()->resizeSection(0, 270);
    ELVReport->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
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
    listsColumn->addWidget(kit::titleBar(QStringLiteral("Saved Lists"), listsSide));
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
    for (QPushButton *button : { BLoadList, BDeleteList, BMergeList })
        button->setEnabled(false);
    listsColumn->addWidget(listBar);

    splitter->addWidget(reportSide);
    splitter->addWidget(listsSide);
    splitter->setStretchFactor(0, 1);
    row->addWidget(splitter);
}

bool FileListsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ELVReport && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_frame.DblClickForAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString FileListsPage::CurrentFile() const
{
    const QList<QTreeWidgetItem *> rows = ELVReport->selectedItems();
    return rows.size() == 1 ? rowPath(rows.first()) : QString();
}

folderview::SelectionCount FileListsPage::SelectionCounts() const
{
    return { app::FileListsPage, int(ELVReport->selectedItems().size()),
        ELVReport->topLevelItemCount() };
}

QString FileListsPage::EntryPath(int index, bool onlySelected) const
{
    const QTreeWidgetItem *row = index < 0 ? nullptr : ELVReport->topLevelItem(index);
    if (!row || (onlySelected && !row->isSelected()))
        return {};
    return rowPath(row);
}

void FileListsPage::fillSavedLists()
{
    LBListen->clear();
    LBListen->addItems(
        QDir(app::listsFolderOf(m_frame.dataFolder()))
            .entryList({ QStringLiteral("*.lst") }, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileListsPage::SetListButtonState()
{
    const int selected = int(LBListen->selectedItems().size());
    BLoadList->setEnabled(selected == 1);
    BDeleteList->setEnabled(selected > 0);
    BMergeList->setEnabled(selected > 1);
}

void FileListsPage::activate()
{
    SetListButtonState();
}

} // namespace filelists
