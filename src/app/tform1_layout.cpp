// The controls of the main window, built once in the constructor.
#include "app/tform1.h"

#include "app/thumblistmodel.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

namespace {

const char *const kTitleBarStyle = "background-color: #808080; color: white; font-weight: bold;";
const char *const kButtonBarStyle = "background-color: #d8d0c0;";

QLabel *titleBar(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QLatin1String(kTitleBarStyle));
    label->setContentsMargins(4, 1, 4, 1);
    return label;
}

QWidget *buttonBar(QWidget *parent, QHBoxLayout **layout)
{
    auto *bar = new QWidget(parent);
    bar->setAutoFillBackground(true);
    bar->setStyleSheet(QLatin1String(kButtonBarStyle));
    *layout = new QHBoxLayout(bar);
    (*layout)->setContentsMargins(2, 2, 2, 2);
    (*layout)->setSpacing(4);
    return bar;
}

QPushButton *barButton(const QString &caption, const QString &hint, QHBoxLayout *layout)
{
    auto *button = new QPushButton(caption);
    button->setToolTip(hint);
    layout->addWidget(button);
    return button;
}

QVBoxLayout *tightColumn(QWidget *widget)
{
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

} // namespace

void TForm1::buildLayout()
{
    auto *central = new QWidget(this);
    QVBoxLayout *column = tightColumn(central);

    LabelHint = new QLabel(central);
    LabelHint->setObjectName(QStringLiteral("LabelHint"));
    LabelHint->setAlignment(Qt::AlignCenter);
    LabelHint->setFixedHeight(16);
    LabelHint->setStyleSheet(QStringLiteral("background-color: #d8d0c0; color: black;"));
    column->addWidget(LabelHint);

    ProgressActFile = new QProgressBar(central);
    ProgressActFile->setRange(0, 10);
    ProgressActFile->setValue(0);
    ProgressActFile->setTextVisible(false);
    ProgressActFile->setFixedHeight(11);
    column->addWidget(ProgressActFile);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setHandleWidth(7);
    splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background-color: #ff8000; }"));
    splitter->addWidget(buildFolderPanel());

    PageControl1 = new QTabWidget(splitter);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->addTab(buildFileTab(), QStringLiteral("Folder View"));
    PageControl1->addTab(buildThumbTab(), QStringLiteral("Thumbnail View"));
    PageControl1->addTab(buildListsTab(), QStringLiteral("File Lists"));
    splitter->addWidget(PageControl1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({163, 550});
    column->addWidget(splitter, 1);

    auto *bottomStrip = new QWidget(central);
    bottomStrip->setFixedHeight(18);
    bottomStrip->setStyleSheet(QLatin1String(kButtonBarStyle));
    column->addWidget(bottomStrip);

    setCentralWidget(central);
    buildMenus();
}

QWidget *TForm1::buildFolderPanel()
{
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("PanelDateiManager"));
    panel->setMinimumWidth(120);
    QVBoxLayout *column = tightColumn(panel);

    PanelDirectoryTop = titleBar(QStringLiteral("Folder Selection"), panel);
    column->addWidget(PanelDirectoryTop);
    CBDrive = new QComboBox(panel);
    CBDrive->setToolTip(QStringLiteral("Select File(s):"));
    column->addWidget(CBDrive);
    LBDir = new QListWidget(panel);
    LBDir->setObjectName(QStringLiteral("LBDir"));
    column->addWidget(LBDir, 1);
    PanelFilterTop = titleBar(QStringLiteral("Filter: "), panel);
    column->addWidget(PanelFilterTop);
    CBFilter = new QComboBox(panel);
    CBFilter->setToolTip(QStringLiteral("Determine which files types should be filtered"));
    CBFilter->setStyleSheet(QStringLiteral("color: blue;"));
    column->addWidget(CBFilter);

    PanelActThumb = new QWidget(panel);
    PanelActThumb->setFixedHeight(110);
    PanelActThumb->setStyleSheet(QStringLiteral("background-color: #c0c0c0;"));
    auto *corner = new QVBoxLayout(PanelActThumb);
    corner->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("--- Thumbnail Corner ---"), PanelActThumb);
    caption->setAlignment(Qt::AlignCenter);
    corner->addWidget(caption);
    ImgMini = new QLabel(PanelActThumb);
    ImgMini->setObjectName(QStringLiteral("ImgMini"));
    ImgMini->setAlignment(Qt::AlignCenter);
    ImgMini->setFixedSize(130, 100);
    ImgMini->setCursor(Qt::PointingHandCursor);
    ImgMini->setToolTip(QStringLiteral("Double click here to create/update thumbnail(s)"));
    corner->addWidget(ImgMini, 0, Qt::AlignCenter);
    column->addWidget(PanelActThumb);
    return panel;
}

QWidget *TForm1::buildFileTab()
{
    TabFile = new QWidget;
    QVBoxLayout *column = tightColumn(TabFile);
    PanelFileTop = titleBar(QString(), TabFile);
    LabelFiles = PanelFileTop;
    column->addWidget(PanelFileTop);

    auto *splitter = new QSplitter(Qt::Horizontal, TabFile);
    LBFile = new QListWidget(splitter);
    LBFile->setObjectName(QStringLiteral("LBFile"));
    LBFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LBFile->setUniformItemSizes(true);
    LBFile->setIconSize(QSize(16, 16));
    LBFile->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    splitter->addWidget(LBFile);

    auto *preview = new QWidget(splitter);
    preview->setObjectName(QStringLiteral("PanelActPreview"));
    QVBoxLayout *previewColumn = tightColumn(preview);
    Panel1 = new QWidget(preview);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *dock = new QVBoxLayout(Panel1);
    dock->setContentsMargins(0, 0, 0, 0);
    m_panel1Placeholder = new QLabel(QStringLiteral("Editor and Bowser view disabled"), Panel1);
    m_panel1Placeholder->setAlignment(Qt::AlignCenter);
    dock->addWidget(m_panel1Placeholder);
    previewColumn->addWidget(Panel1, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panFolder = buttonBar(preview, &barLayout);
    SBBrowser = new QToolButton(panFolder);
    SBBrowser->setText(QStringLiteral("Browser"));
    SBBrowser->setToolTip(QStringLiteral("Show Browser View"));
    SBEditor = new QToolButton(panFolder);
    SBEditor->setText(QStringLiteral("Editor"));
    SBEditor->setToolTip(QStringLiteral("Show Editor"));
    m_viewSwitch = new QButtonGroup(this);
    for (QToolButton *button : {SBBrowser, SBEditor}) {
        button->setCheckable(true);
        m_viewSwitch->addButton(button);
        barLayout->addWidget(button);
    }
    SBBrowser->setChecked(true);
    barLayout->addStretch(1);
    BSaveAs = barButton(QStringLiteral("Save As"),
                        QStringLiteral("Save a copy of the current editor file"), barLayout);
    BSave = barButton(QStringLiteral("Save"), QStringLiteral("[CTRL-S]: Save current editor file"),
                      barLayout);
    BSave->setEnabled(false);
    previewColumn->addWidget(panFolder);

    splitter->addWidget(preview);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({149, 400});
    column->addWidget(splitter, 1);
    return TabFile;
}

QWidget *TForm1::buildThumbTab()
{
    TabThumb = new QWidget;
    QVBoxLayout *column = tightColumn(TabThumb);
    LabelThumbs = titleBar(QString(), TabThumb);
    column->addWidget(LabelThumbs);

    LVThumbs = new QListView(TabThumb);
    LVThumbs->setObjectName(QStringLiteral("LVThumbs"));
    LVThumbs->setViewMode(QListView::IconMode);
    LVThumbs->setUniformItemSizes(true);
    LVThumbs->setResizeMode(QListView::Adjust);
    LVThumbs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LVThumbs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVThumbs->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    m_thumbModel = new ThumbListModel(this);
    LVThumbs->setModel(m_thumbModel);
    column->addWidget(LVThumbs, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panThumbs = buttonBar(TabThumb, &barLayout);
    BMakeThumb = barButton(QStringLiteral("Make Thumbs"),
                           QStringLiteral("Create or update selected thumbnail(s)"), barLayout);
    BClearThumb = barButton(QStringLiteral("ClearThumbs"),
                            QStringLiteral("Clear selected thumbnail(s)"), barLayout);
    BSelectAllThumbs = barButton(QStringLiteral("Select All"),
                                 QStringLiteral("[CTRL-A ] = Select all"), barLayout);
    CBSnapBase = new QComboBox(panThumbs);
    CBSnapBase->setToolTip(QStringLiteral("Choose browser size for thumbnail creation"));
    for (const char *size : {"160x120", "320x240", "480x360", "640x480", "800x600", "1024x768",
                             "1600x1200"})
        CBSnapBase->addItem(QStringLiteral("Thumbs Base: ") + QLatin1String(size));
    barLayout->addWidget(CBSnapBase);
    barLayout->addStretch(1);
    column->addWidget(panThumbs);
    return TabThumb;
}

QWidget *TForm1::buildListsTab()
{
    TabTree = new QWidget;
    auto *row = new QHBoxLayout(TabTree);
    row->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, TabTree);

    auto *reportSide = new QWidget(splitter);
    QVBoxLayout *column = tightColumn(reportSide);
    PanelTreeTop = titleBar(
        QStringLiteral("Open a file list, or click 'Search' or 'Add' to create a list"), reportSide);
    column->addWidget(PanelTreeTop);
    ELVReport = new QTreeWidget(reportSide);
    ELVReport->setObjectName(QStringLiteral("ELVReport"));
    ELVReport->setRootIsDecorated(false);
    ELVReport->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ELVReport->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Filename"),
                                QStringLiteral("Ext"), QStringLiteral("Size"),
                                QStringLiteral("Date")});
    ELVReport->header()->resizeSection(0, 270);
    ELVReport->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    ELVReport->setToolTip(QStringLiteral(
        "[Right Mouse Button] = PopUp, [Shift-Click] [Ctrl-Click] = Select/unselect"));
    column->addWidget(ELVReport, 1);
    QHBoxLayout *barLayout = nullptr;
    QWidget *panLV = buttonBar(reportSide, &barLayout);
    BSearch = barButton(QStringLiteral("Search"), QStringLiteral("Search files in current folder"),
                        barLayout);
    BSelectAllRows = barButton(QStringLiteral("Select All"),
                               QStringLiteral("[CTRL-A ] = Select all entries"), barLayout);
    BTakeOut = barButton(QStringLiteral("Take out"),
                         QStringLiteral("[DEL] = Take out selected entries from list"), barLayout);
    BSaveList = barButton(QStringLiteral("Save List"), QStringLiteral("Save list to disk"),
                          barLayout);
    BAdd = barButton(QStringLiteral("Add"), QStringLiteral("Manually add files to list"), barLayout);
    barLayout->addStretch(1);
    column->addWidget(panLV);

    auto *listsSide = new QWidget(splitter);
    listsSide->setObjectName(QStringLiteral("PanelDateiListen"));
    QVBoxLayout *listsColumn = tightColumn(listsSide);
    listsColumn->addWidget(titleBar(QStringLiteral("Saved Lists"), listsSide));
    LBListen = new QListWidget(listsSide);
    LBListen->setObjectName(QStringLiteral("LBListen"));
    LBListen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listsColumn->addWidget(LBListen, 1);
    QHBoxLayout *listButtons = nullptr;
    QWidget *listBar = buttonBar(listsSide, &listButtons);
    BLoadList = barButton(QStringLiteral("Load List"), QStringLiteral("Load and verify selected list"),
                          listButtons);
    BDeleteList = barButton(QStringLiteral("Delete"), QStringLiteral("Delete selected file list"),
                            listButtons);
    BMergeList = barButton(QStringLiteral("Merge"), QStringLiteral("Merge selected lists"),
                           listButtons);
    for (QPushButton *button : {BLoadList, BDeleteList, BMergeList})
        button->setEnabled(false);
    listsColumn->addWidget(listBar);

    splitter->addWidget(reportSide);
    splitter->addWidget(listsSide);
    splitter->setStretchFactor(0, 1);
    row->addWidget(splitter);
    return TabTree;
}

void TForm1::buildMenus()
{
    MenuFile = menuBar()->addMenu(QStringLiteral("&File"));
    MenuFile->addAction(QStringLiteral("&Close Folioscope"), this, &QWidget::close);

    MenuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    MenuOptions->addAction(QStringLiteral("&General Options"));
    QAction *browserSettings = MenuOptions->addAction(QStringLiteral("&Temporary Browser Settings"));
    connect(browserSettings, &QAction::triggered, this, [this] { BrowserOptions1Click(); });

    MenuExtras = menuBar()->addMenu(QStringLiteral("&Extras"));
    MenuExtras->addAction(QStringLiteral("&Create Snapshot(s)"));

    MenuClean = menuBar()->addMenu(QStringLiteral("&Clean"));
    MenuClean->addAction(QStringLiteral("Remove orphaned thumbs from disk"));
    MenuClean->addAction(QStringLiteral("Remove all thumbs from disk"));

    MenuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MenuHelp->addAction(QStringLiteral("&Show Help"));
    MenuHelp->addAction(QStringLiteral("&Folioscope Hompage"));
    MenuHelp->addSeparator();
    MenuHelp->addAction(QStringLiteral("&About"));
}

} // namespace app
