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

    m_hintLabel = new QLabel(central);
    m_hintLabel->setObjectName(QStringLiteral("LabelHint"));
    m_hintLabel->setAlignment(Qt::AlignCenter);
    m_hintLabel->setFixedHeight(kit::scaledByFont(16, m_hintLabel));
    m_hintLabel->setStyleSheet(QStringLiteral("background-color: #d8d0c0; color: black;"));
    column->addWidget(m_hintLabel);

    m_listProgress = new QProgressBar(central);
    m_listProgress->setObjectName(QStringLiteral("ProgressActFile"));
    m_listProgress->setRange(0, 10);
    m_listProgress->setValue(0);
    m_listProgress->setTextVisible(false);
    m_listProgress->setFixedHeight(11);
    column->addWidget(m_listProgress);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setHandleWidth(7);
    splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background-color: #ff8000; }"));
    createPages();
    splitter->addWidget(m_folderPanel);

    m_pageTabs = new QTabWidget(splitter);
    m_pageTabs->setObjectName(QStringLiteral("PageControl1"));
    m_pageTabs->setDocumentMode(true);
    for (frame::Page *page : m_pages)
        m_pageTabs->addTab(page->widget(), page->title());
    splitter->addWidget(m_pageTabs);
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
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("MenuFile"));
    m_fileMenu->addAction(QStringLiteral("&Close Folioscope"), this, &QWidget::close);

    m_optionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    m_optionsMenu->setObjectName(QStringLiteral("MenuOptions"));
    m_optionsMenu->addAction(
        QStringLiteral("&General Options"), this, &MainWindow::showGeneralOptions);
    m_optionsMenu->addAction(QStringLiteral("&Temporary Browser Settings"), this, [this] {
        if (m_viewer)
            m_viewer->openBrowserSettings();
    });

    m_extrasMenu = menuBar()->addMenu(QStringLiteral("&Extras"));
    m_extrasMenu->setObjectName(QStringLiteral("MenuExtras"));
    m_extrasMenu->addAction(
        QStringLiteral("&Create Snapshot(s)"), this, [this] { createSnapshots(); });

    m_cleanMenu = menuBar()->addMenu(QStringLiteral("&Clean"));
    m_cleanMenu->setObjectName(QStringLiteral("MenuClean"));
    const auto clean = [this](bool removeAll) {
        const QString message = imaging::CleanThumbFolder(thumbFolder(), removeAll).message;
        frame::removeStoreLeftovers(m_dataFolder, m_settings.snapshotPath);
        platform::dialogs().ShowInfo(message);
    };
    m_cleanMenu->addAction(
        QStringLiteral("Remove orphaned thumbs from disk"), this, [clean] { clean(false); });
    m_cleanMenu->addAction(
        QStringLiteral("Remove all thumbs from disk"), this, [clean] { clean(true); });

    m_helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("MenuHelp"));
    m_helpMenu->addAction(QStringLiteral("&Show Help"), this, &MainWindow::showHelp);
    // The program's own page.
    m_helpMenu->addAction(QStringLiteral("&Folioscope Hompage"), this,
        [] { platform::openWithDefaultProgram(QStringLiteral("https://folioscope.org/")); });
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(QStringLiteral("&About"), this, [this] { AboutDialog(this).exec(); });

    m_contextMenu = new app::ContextMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("PopLBTree"));
    connect(m_contextMenu, &app::ContextMenu::itemClicked, this, &MainWindow::runContextMenuItem);
}

} // namespace app
