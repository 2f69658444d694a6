// The frame of the main window, built once in the constructor; each page builds its own.
#include "app/tform1.h"

#include "app/contextmenu.h"

#include "filelists/filelistspage.h"
#include "folderview/folderviewpage.h"
#include "kit/panels.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "thumbs/thumbviewpage.h"
#include "viewer/tformview.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace app {

namespace {

const char *const kButtonBarStyle = "background-color: #d8d0c0;";

} // namespace

void TForm1::buildLayout()
{
    auto *central = new QWidget(this);
    QVBoxLayout *column = kit::tightColumn(central);

    LabelHint = new QLabel(central);
    LabelHint->setObjectName(QStringLiteral("LabelHint"));
    LabelHint->setAlignment(Qt::AlignCenter);
    LabelHint->setFixedHeight(kit::scaledByFont(16, LabelHint));
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
    createPages();
    splitter->addWidget(m_folder->folderPanel());

    PageControl1 = new QTabWidget(splitter);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    for (Page *page : m_pages)
        PageControl1->addTab(page->widget(), page->title());
    splitter->addWidget(PageControl1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 163, 550 });
    column->addWidget(splitter, 1);

    auto *bottomStrip = new QWidget(central);
    bottomStrip->setFixedHeight(18);
    bottomStrip->setStyleSheet(QLatin1String(kButtonBarStyle));
    column->addWidget(bottomStrip);

    setCentralWidget(central);
    buildMenus();
}

// A new page is one more line here; the pages speak to each other only through what is
// connected here and through the frame.
void TForm1::createPages()
{
    auto *folder = new folderview::FolderViewPage(*this);
    auto *thumbnails = new thumbs::ThumbViewPage(*this);
    auto *lists = new filelists::FileListsPage(*this);
    m_pages = { folder, thumbnails, lists };
    m_folder = folder;

    using folderview::FolderViewPage;
    using thumbs::ThumbViewPage;
    connect(folder, &FolderViewPage::fileListChanged, thumbnails, &ThumbViewPage::setEntries);
    connect(folder, &FolderViewPage::miniThumbDoubleClicked, thumbnails,
        &ThumbViewPage::ImgMiniDblClick);
    connect(
        thumbnails, &ThumbViewPage::deleteRequested, folder, &FolderViewPage::DeleteSelectedFiles);
    connect(folder, &FolderViewPage::viewSwitchClicked, this, &TForm1::SBBrowserClick);
    connect(folder, &FolderViewPage::saveClicked, this, [this] {
        if (m_viewer)
            m_viewer->BSaveClick();
    });
    connect(folder, &FolderViewPage::saveAsClicked, this, [this] {
        if (m_viewer)
            m_viewer->SaveEditorFileAs();
        else
            platform::dialogs().beep();
    });
}

void TForm1::buildMenus()
{
    MenuFile = menuBar()->addMenu(QStringLiteral("&File"));
    MenuFile->addAction(QStringLiteral("&Close Folioscope"), this, &QWidget::close);

    MenuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    MenuOptions->addAction(QStringLiteral("&General Options"), this, &TForm1::GeneralOptions1Click);
    MenuOptions->addAction(
        QStringLiteral("&Temporary Browser Settings"), this, &TForm1::BrowserOptions1Click);

    MenuExtras = menuBar()->addMenu(QStringLiteral("&Extras"));
    MenuExtras->addAction(
        QStringLiteral("&Create Snapshot(s)"), this, [this] { Snapcurrenrfile1Click(); });

    MenuClean = menuBar()->addMenu(QStringLiteral("&Clean"));
    MenuClean->addAction(QStringLiteral("Remove orphaned thumbs from disk"), this,
        [this] { cleanThumbFolder(false); });
    MenuClean->addAction(
        QStringLiteral("Remove all thumbs from disk"), this, [this] { cleanThumbFolder(true); });

    MenuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MenuHelp->addAction(QStringLiteral("&Show Help"), this, &TForm1::Sh1Click);
    MenuHelp->addAction(
        QStringLiteral("&Folioscope Hompage"), this, &TForm1::FolioscopeHompage1Click);
    MenuHelp->addSeparator();
    MenuHelp->addAction(QStringLiteral("&About"), this, &TForm1::About2Click);

    PopLBTree = new app::PopLBTree(this);
    connect(PopLBTree, &app::PopLBTree::itemClicked, this, &TForm1::MyLBPopUpHandler);
}

} // namespace app
