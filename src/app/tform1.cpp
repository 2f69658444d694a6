#include "app/tform1.h"

#include "app/thumblistmodel.h"
#include "folderview/fileops.h"
#include "folderview/folderlisting.h"
#include "formatter/style.h"
#include "platform/dialogs.h"
#include "platform/pathrules.h"
#include "platform/textcodec.h"
#include "viewer/tformview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

namespace app {

namespace {

const QString kCaption = QStringLiteral(" Folioscope v1.0 ");
const QString kWelcome = QStringLiteral("Welcome to Folioscope - Please open a HTML file folder ...");
const QStringList kPageNames = {QStringLiteral("Folder View"), QStringLiteral("Thumbnail View"),
                                QStringLiteral("File Lists")};
constexpr int kHintMilliseconds = 5000;
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;

} // namespace

QString programFolderFor(const QString &executableDir)
{
    QString folder = platform::WithTrailingBackslash(QDir::toNativeSeparators(executableDir));
#ifdef Q_OS_WIN
    folder = folder.toUpper();
#endif
    return folder;
}

QString startFileFromArguments(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    // The native form of expanding short names: the absolute, cleaned path.
    const QString expanded =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(arguments.last()).absoluteFilePath()));
    if (!folderview::MaskMatches(expanded, folderview::AcceptedFileMask))
        return {};
    const QFileInfo info(expanded);
    return info.exists() && info.isFile() ? expanded : QString();
}

TForm1::TForm1(const QString &programDir, const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , m_arguments(arguments)
{
    buildLayout();
    FormCreate(programDir);
}

TForm1::~TForm1() = default;

void TForm1::setViewer(viewer::TFormView *view) { m_viewer = view; }

QString TForm1::thumbFolder() const
{
    return m_programFolder + QStringLiteral("THUMBS") + platform::separator(platform::nativePathStyle());
}

QString TForm1::listsFolder() const
{
    return m_programFolder + QStringLiteral("FILELISTS")
           + platform::separator(platform::nativePathStyle());
}

void TForm1::FormCreate(const QString &programDir)
{
    m_starting = true;
    QGuiApplication::setApplicationDisplayName(kCaption);
    setWindowTitle(kCaption);
    m_programFolder = programFolderFor(programDir);
    // A folder that cannot be created is not reported; its users fail on their own terms.
    QDir().mkpath(thumbFolder());
    QDir().mkpath(listsFolder());
    m_viewerOpen = false;
    LoadSettings();
    if (!QFileInfo(m_settings.VIEW_PATH).isDir())
        m_settings.VIEW_PATH = m_programFolder;
    ImgMini->setFixedSize(130, 100);
    setAcceptDrops(true);
    connectControls();
}

void TForm1::connectControls()
{
    qApp->installEventFilter(this);
    LBFile->installEventFilter(this);
    LBFile->viewport()->installEventFilter(this);
    for (QWidget *w : {static_cast<QWidget *>(LBDir), static_cast<QWidget *>(CBDrive)})
        w->installEventFilter(this);
    ImgMini->installEventFilter(this);
    LVThumbs->installEventFilter(this);
    ELVReport->installEventFilter(this);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::onPageChanged);
    connect(CBDrive, &QComboBox::activated, this, &TForm1::CBDriveChange);
    connect(LBDir, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (m_settings.DoOpenOnSingleClick)
            LBDirXClick(item);
    });
    connect(LBDir, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (!m_settings.DoOpenOnSingleClick)
            LBDirXClick(item);
    });
    connect(CBSnapBase, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.THUMB_BASEIDX = index; });
    connect(CBFilter, &QComboBox::currentIndexChanged, this, &TForm1::CBFilterChange);
    connect(LBFile, &QListWidget::currentRowChanged, this, [this] { LBFileChange(); });
    connect(LBFile, &QListWidget::itemDoubleClicked, this, [this] { DblClickForAll(); });
    connect(LVThumbs, &QListView::doubleClicked, this, [this] { DblClickForAll(); });
    connect(ELVReport, &QTreeWidget::itemDoubleClicked, this, [this] { DblClickForAll(); });
    connect(m_viewSwitch, &QButtonGroup::buttonClicked, this, [this] { SBBrowserClick(); });
    connect(LVThumbs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateStatus(); });
    connect(ELVReport, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateStatus(); });
    connect(LBListen, &QListWidget::itemSelectionChanged, this, [this] { SetListButtonState(); });
    connect(BSaveAs, &QPushButton::clicked, this, [this] {
        // Saving a copy arrives with the editor; without a viewer file there is nothing to save.
        if (!m_viewer || m_viewer->viewerFile().isEmpty())
            platform::dialogs().beep();
    });
    connect(BSelectAllThumbs, &QPushButton::clicked, LVThumbs, &QListView::selectAll);
    connect(BSelectAllRows, &QPushButton::clicked, ELVReport, &QTreeWidget::selectAll);
}

void TForm1::LoadSettings()
{
    platform::IniFile ini;
    ini.load(m_programFolder + QStringLiteral("prg.ini"));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    m_settings = readSettings(ini, m_programFolder, screenSize);
    // A hand-edited size of nothing (or less) would leave no window to see.
    QRect bounds = m_settings.mainBounds;
    bounds.setSize(bounds.size().expandedTo(QSize(kMinimumWidth, kMinimumHeight)));
    setGeometry(bounds);
}

void TForm1::SaveSettings()
{
    const QString folder = m_currentFolder.isEmpty() ? m_settings.VIEW_PATH : m_currentFolder;
    m_settings.VIEW_PATH = IsInThumbFolder(folder) ? m_programFolder : folder;
    m_settings.mainBounds = geometry();
    platform::IniFile ini;
    ini.load(m_programFolder + QStringLiteral("prg.ini"));
    writeSettings(ini, m_settings);
    QString error;
    if (!ini.save(&error))
        platform::dialogs().errorBox(error);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    FormShow();
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    // Without a window manager the window may never be activated: run the first activation
    // anyway once the start-up events are through.
    QTimer::singleShot(0, this, [this] {
        if (!m_activatedOnce)
            FormActivate();
    });
}

void TForm1::FormShow()
{
    formatter::LoadProgramStyle(m_style, m_programFolder, m_settings.StyleName);
    m_settings.StyleName = QStringLiteral("THUMBS");
    setWindowTitle(kCaption);
    m_startFile = startFileFromArguments(m_arguments);
    loadTagHints();
    CBFilter->blockSignals(true);
    m_filterMasks.clear();
    CBFilter->clear();
    for (const folderview::FilterPair &entry : folderview::parseFilterText(m_settings.ALLOWED_EXTENSIONS)) {
        CBFilter->addItem(entry.description);
        m_filterMasks.append(entry.mask);
    }
    CBFilter->blockSignals(false);
    CBFilterChange(CBFilter->count() > 0 ? 0 : -1);
    fillSavedLists();
    fillDriveBox();
    changeFolder(m_settings.VIEW_PATH);
    // A base size outside the list falls back to 640x480 rather than leaving none chosen.
    if (m_settings.THUMB_BASEIDX < 0 || m_settings.THUMB_BASEIDX >= CBSnapBase->count())
        m_settings.THUMB_BASEIDX = Settings().THUMB_BASEIDX;
    CBSnapBase->setCurrentIndex(m_settings.THUMB_BASEIDX);
    SBBrowserClick();
    PageControl1->setCurrentIndex(ThumbnailViewPage);
    PageControl1->setCurrentIndex(FolderViewPage);
    setHintsEnabled(m_settings.DoShowHints);
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm1::FormActivate()
{
    m_starting = false;
    // Only the first activation jumps to the start file: later ones would drag the user
    // back from wherever they went after every dialog.
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        JumpToFileAndFolder(m_startFile);
    }
    if (m_viewer)
        m_viewer->SetButtonState();
    UpdateStatus();
    LabelHint->setText(kWelcome);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (AskSaveChanges() == platform::Dialogs::Cancel) {
        event->ignore();
        return;
    }
    event->accept();
    FormDestroy();
    if (m_viewer)
        m_viewer->close();
}

void TForm1::FormDestroy()
{
    if (m_settingsWritten)
        return;
    m_settingsWritten = true;
    SaveSettings();
}

void TForm1::setHintsEnabled(bool enabled) { m_hintsEnabled = enabled; }

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const bool ours = widget && (widget->window() == this
                                     || (m_viewer && widget->window() == m_viewer));
        if (!ours)
            return false;
        if (m_hintsEnabled && !widget->toolTip().isEmpty()) {
            auto *help = static_cast<QHelpEvent *>(event);
            QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, kHintMilliseconds);
        }
        return true;
    }
    if (watched == LBFile || watched == LBFile->viewport()) {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            if (handleFileListKey(static_cast<QKeyEvent *>(event),
                                  event->type() == QEvent::KeyRelease))
                return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            afterFileListInteraction();
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            setFocusMark(PanelFileTop, event->type() == QEvent::FocusIn);
        }
    } else if (watched == LBDir || watched == CBDrive) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            setFocusMark(PanelDirectoryTop, event->type() == QEvent::FocusIn);
        // Enter opens the chosen folder, as a click would.
        if (watched == LBDir && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                LBDirXClick(LBDir->currentItem());
                return true;
            }
        }
    } else if ((watched == LVThumbs || watched == ELVReport) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DblClickForAll();
            return true;
        }
        // On File Lists the Delete key takes rows out of the list instead.
        if (key == Qt::Key_Delete && watched == LVThumbs) {
            DeleteSelectedFiles();
            return true;
        }
    } else if (watched == ImgMini && event->type() == QEvent::MouseButtonDblClick) {
        // Making thumbnails arrives with the thumbnail maker.
        setEnabled(true);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::setFocusMark(QLabel *titleBar, bool focused)
{
    titleBar->setStyleSheet(QStringLiteral("background-color: %1; color: white; font-weight: bold;")
                                .arg(focused ? QStringLiteral("#008080") : QStringLiteral("#808080")));
}

// --- Selection queries ---------------------------------------------------------------

static int selectedRowCount(const QListWidget *list) { return int(list->selectedItems().size()); }

QString TForm1::CurrentFile() const
{
    switch (PageControl1->currentIndex()) {
    case FolderViewPage: {
        if (selectedRowCount(LBFile) >= 2 || !LBFile->currentItem())
            return {};
        return platform::WithTrailingBackslash(m_currentFolder) + LBFile->currentItem()->text();
    }
    case ThumbnailViewPage: {
        const QModelIndexList rows = LVThumbs->selectionModel()->selectedIndexes();
        if (rows.size() != 1)
            return {};
        return EntryPath(rows.first().row(), false);
    }
    case FileListsPage: {
        const QList<QTreeWidgetItem *> rows = ELVReport->selectedItems();
        if (rows.size() != 1)
            return {};
        return rows.first()->text(0) + rows.first()->text(1) + rows.first()->text(2);
    }
    default:
        return {};
    }
}

folderview::SelectionCount TForm1::SelectionCounts() const
{
    folderview::SelectionCount counts;
    counts.page = PageControl1->currentIndex();
    switch (counts.page) {
    case FolderViewPage:
        counts.selected = selectedRowCount(LBFile);
        counts.total = LBFile->count();
        break;
    case ThumbnailViewPage:
        counts.selected = int(LVThumbs->selectionModel()->selectedIndexes().size());
        counts.total = m_thumbModel->rowCount();
        break;
    case FileListsPage:
        counts.selected = int(ELVReport->selectedItems().size());
        counts.total = ELVReport->topLevelItemCount();
        break;
    default:
        break;
    }
    return counts;
}

QString TForm1::EntryPath(int index, bool onlySelected) const
{
    if (index < 0)
        return {};
    const QString folder = platform::WithTrailingBackslash(m_currentFolder);
    switch (PageControl1->currentIndex()) {
    case FolderViewPage: {
        const QListWidgetItem *item = LBFile->item(index);
        if (!item || (onlySelected && !item->isSelected()))
            return {};
        return folder + item->text();
    }
    case ThumbnailViewPage: {
        if (index >= m_thumbModel->rowCount() || index >= LBFile->count())
            return {};
        if (onlySelected && !LVThumbs->selectionModel()->isRowSelected(index, {}))
            return {};
        return folder + LBFile->item(index)->text();
    }
    case FileListsPage: {
        const QTreeWidgetItem *row = ELVReport->topLevelItem(index);
        if (!row || (onlySelected && !row->isSelected()))
            return {};
        return row->text(0) + row->text(1) + row->text(2);
    }
    default:
        return {};
    }
}

void TForm1::UpdateStatus()
{
    if (m_starting)
        return;
    const folderview::SelectionCount counts = SelectionCounts();
    MenuExtras->setEnabled(counts.selected > 0);
    MenuExtras->menuAction()->setEnabled(counts.selected > 0);
    LabelHint->setText(CurrentFile());
    for (int page = 0; page < PageControl1->count(); ++page) {
        QString caption = kPageNames.value(page);
        if (page == counts.page)
            caption += QStringLiteral("  (%1 of %2 files selected)").arg(counts.selected).arg(counts.total);
        PageControl1->setTabText(page, caption);
    }
}

int TForm1::AskSaveChanges()
{
    if (!BSave->isEnabled() || !m_viewer || m_viewer->viewerFile().isEmpty())
        return 0;
    return platform::dialogs().AskYesNoCancel(QStringLiteral("Save changes in: ")
                                              + m_viewer->viewerFile());
}

void TForm1::setHintLine(const QString &text) { LabelHint->setText(text); }

QRect TForm1::mainWindowBounds() const { return geometry(); }

int TForm1::activePageIndex() const { return PageControl1->currentIndex(); }

// --- Docking -----------------------------------------------------------------------------

void TForm1::DockView(const QString &control, const QString &target)
{
    if (!m_viewer)
        return;
    Panel1->setUpdatesEnabled(false);
    m_viewer->returnControls();
    Panel1->setUpdatesEnabled(true);
    if (target != QLatin1String("MainWindow"))
        return;
    QWidget *borrowed = control == QLatin1String("Editor") ? m_viewer->editorControl()
                                                           : m_viewer->browserControl();
    m_panel1Placeholder->hide();
    Panel1->layout()->addWidget(borrowed);
    borrowed->show();
}

void TForm1::SBBrowserClick()
{
    if (SBBrowser->isChecked()) {
        DockView(QStringLiteral("Browser"), QStringLiteral("MainWindow"));
        return;
    }
    DockView(QStringLiteral("Editor"), QStringLiteral("MainWindow"));
    if (m_viewer && m_viewer->editorControl()->isEnabled() && m_viewer->editorControl()->isVisible())
        m_viewer->editorControl()->setFocus();
}

void TForm1::DblClickForAll()
{
    if (CurrentFile().isEmpty() || !m_viewer)
        return;
    if (PageControl1->currentIndex() != FolderViewPage) {
        ShowFileInViews(false);
        m_viewer->SetButtonState();
    }
    if (m_viewer->isProcessing())
        return;
    m_viewerOpen = true;
    m_viewer->exec();
    m_viewerOpen = false;
    SBBrowserClick();
}

void TForm1::BrowserOptions1Click()
{
    if (m_viewer)
        m_viewer->openBrowserSettings();
}

// --- Page switching ---------------------------------------------------------------------

void TForm1::onPageChanged(int index)
{
    if (m_revertingPage)
        return;
    if (m_lastPage == FolderViewPage && index != FolderViewPage && !m_starting
        && AskSaveChanges() == platform::Dialogs::Cancel) {
        m_revertingPage = true;
        PageControl1->setCurrentIndex(FolderViewPage);
        m_revertingPage = false;
        return;
    }
    m_lastPage = index;
    PageControl1Change(index);
}

void TForm1::PageControl1Change(int index)
{
    LabelHint->clear();
    ImgMini->clear();
    setFolderLabel();
    switch (index) {
    case FolderViewPage:
        if (m_viewer)
            m_viewer->clearViewer();
        ShowFileInViews(false);
        break;
    case ThumbnailViewPage:
        sizeThumbList();
        if (LVThumbs->selectionModel()->selectedIndexes().isEmpty() && m_thumbModel->rowCount() > 0) {
            const QModelIndex first = m_thumbModel->index(0);
            LVThumbs->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        }
        if (LVThumbs->isVisible())
            LVThumbs->setFocus();
        ShowMiniThumb(CurrentFile());
        break;
    case FileListsPage:
        SetListButtonState();
        ShowMiniThumb(CurrentFile());
        break;
    default:
        break;
    }
    UpdateStatus();
}

void TForm1::loadTagHints()
{
    m_tagHints.clear();
    QFile file(m_programFolder + QStringLiteral("tagsyntax.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = platform::decodeText(file.readAll()).text;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n')))
        m_tagHints.append((line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line).toString());
}

void TForm1::fillSavedLists()
{
    LBListen->clear();
    LBListen->addItems(QDir(listsFolder()).entryList({QStringLiteral("*.lst")}, QDir::Files,
                                                     QDir::Name | QDir::IgnoreCase));
}

void TForm1::SetListButtonState()
{
    const int selected = int(LBListen->selectedItems().size());
    BLoadList->setEnabled(selected == 1);
    BDeleteList->setEnabled(selected > 0);
    BMergeList->setEnabled(selected > 1);
}

} // namespace app
