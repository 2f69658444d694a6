// The frame of the main window, built once in the constructor; each page builds its own.
#include "app/mainwindow.h"

#include "app/aboutdialog.h"
#include "app/contextmenu.h"

#include "filelists/filelistspage.h"
#include "folderview/folderpanel.h"
#include "folderview/folderviewpage.h"
#include "folderview/viewsdock.h"
#include "imaging/thumbclean.h"
#include "kit/panels.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "sitecheck/sitecheckpage.h"
#include "visualcheck/visualcheckpage.h"
#include "thumbs/thumbviewpage.h"
#include "viewer/viewerwindow.h"

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

void MainWindow::buildLayout()
{
    auto *central = new QWidget(this);
    QVBoxLayout *column = kit::tightColumn(central);

    hintLabel_ = new QLabel(central);
    hintLabel_->setObjectName(QStringLiteral("LabelHint"));
    hintLabel_->setAlignment(Qt::AlignCenter);
    hintLabel_->setFixedHeight(kit::scaledByFont(16, hintLabel_));
    hintLabel_->setStyleSheet(QStringLiteral("background-color: #d8d0c0; color: black;"));
    column->addWidget(hintLabel_);

    listProgress_ = new QProgressBar(central);
    listProgress_->setObjectName(QStringLiteral("ProgressActFile"));
    listProgress_->setRange(0, 10);
    listProgress_->setValue(0);
    listProgress_->setTextVisible(false);
    listProgress_->setFixedHeight(11);
    column->addWidget(listProgress_);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setHandleWidth(7);
    splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background-color: #ff8000; }"));
    createPages();
    splitter->addWidget(m_folderPanel);

    pages_ = new QTabWidget(splitter);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setDocumentMode(true);
    for (frame::Page *page : m_pages)
        pages_->addTab(page->widget(), page->title());
    splitter->addWidget(pages_);
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
void MainWindow::createPages()
{
    auto *folder = new folderview::FolderViewPage(*this);
    auto *thumbnails = new thumbs::ThumbViewPage(*this);
    auto *lists = new filelists::FileListsPage(*this);
    m_pages = { folder, thumbnails, lists, new sitecheck::SiteCheckPage(*this),
        new visualcheck::VisualCheckPage(*this) };
    m_folder = folder;
    m_folderPanel = folder->folderPanel();
    m_viewsDock = folder->viewsDock();

    using folderview::FolderViewPage;
    using folderview::ViewsDock;
    using thumbs::ThumbViewPage;
    connect(folder, &FolderViewPage::fileListChanged, thumbnails, &ThumbViewPage::setEntries);
    connect(m_folderPanel, &folderview::FolderPanel::miniThumbDoubleClicked, thumbnails,
        &ThumbViewPage::openMiniThumb);
    connect(
        thumbnails, &ThumbViewPage::deleteRequested, folder, &FolderViewPage::deleteSelectedFiles);
    connect(m_viewsDock, &ViewsDock::viewSwitchClicked, this, &MainWindow::showBrowser);
    connect(m_viewsDock, &ViewsDock::saveClicked, this, [this] {
        if (m_viewer)
            m_viewer->saveFile();
    });
    connect(m_viewsDock, &ViewsDock::saveAsClicked, this, [this] {
        if (m_viewer)
            m_viewer->saveEditorFileAs();
        else
            platform::dialogs().beep();
    });
}

void MainWindow::buildMenus()
{
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("MenuFile"));
    fileMenu_->addAction(QStringLiteral("&Close Folioscope"), this, &QWidget::close);

    optionsMenu_ = menuBar()->addMenu(QStringLiteral("&Options"));
    optionsMenu_->setObjectName(QStringLiteral("MenuOptions"));
    optionsMenu_->addAction(
        QStringLiteral("&General Options"), this, &MainWindow::showGeneralOptions);
    optionsMenu_->addAction(QStringLiteral("&Temporary Browser Settings"), this, [this] {
        if (m_viewer)
            m_viewer->openBrowserSettings();
    });

    extrasMenu_ = menuBar()->addMenu(QStringLiteral("&Extras"));
    extrasMenu_->setObjectName(QStringLiteral("MenuExtras"));
    extrasMenu_->addAction(
        QStringLiteral("&Create Snapshot(s)"), this, [this] { createSnapshots(); });

    cleanMenu_ = menuBar()->addMenu(QStringLiteral("&Clean"));
    cleanMenu_->setObjectName(QStringLiteral("MenuClean"));
    const auto clean = [this](bool removeAll) {
        const QString message = imaging::CleanThumbFolder(thumbFolder(), removeAll).message;
        frame::removeStoreLeftovers(m_dataFolder, m_settings.snapshotPath);
        platform::dialogs().ShowInfo(message);
    };
    cleanMenu_->addAction(
        QStringLiteral("Remove orphaned thumbs from disk"), this, [clean] { clean(false); });
    cleanMenu_->addAction(
        QStringLiteral("Remove all thumbs from disk"), this, [clean] { clean(true); });

    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->setObjectName(QStringLiteral("MenuHelp"));
    helpMenu_->addAction(QStringLiteral("&Show Help"), this, &MainWindow::showHelp);
    // The program's own page.
    helpMenu_->addAction(QStringLiteral("&Folioscope Hompage"), this,
        [] { platform::openWithDefaultProgram(QStringLiteral("https://folioscope.org/")); });
    helpMenu_->addSeparator();
    helpMenu_->addAction(QStringLiteral("&About"), this, [this] { AboutDialog(this).exec(); });

    contextMenu_ = new app::ContextMenu(this);
    contextMenu_->setObjectName(QStringLiteral("PopLBTree"));
    connect(contextMenu_, &app::ContextMenu::itemClicked, this, &MainWindow::runContextMenuItem);
}

} // namespace app
