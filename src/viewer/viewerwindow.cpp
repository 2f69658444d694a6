#include "viewer/viewerwindow.h"

#include "engine/htmlview.h"
#include "frame/page.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/textcodec.h"
#include "viewer/browsersettingsdialog.h"
#include "viewer/editorsettings.h"
#include "viewer/linkrules.h"
#include "viewer/replacedialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace viewer {

namespace {

QToolButton *toolButton(
    const QString &name, const QString &caption, const QString &hint, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The URL label and the hint line while the page shown is gone from disk.
QString goneFromDiskText(const QString &path)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(" (deleted on disk)");
}

} // namespace

ViewerWindow::ViewerWindow(frame::PageFrame *host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("FormView"));
    setSizeGripEnabled(true);
    resize(kit::scaledByFont(700, this), kit::scaledByFont(500, this));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_tabBrowser = new QWidget(m_pages);
    m_tabBrowser->setObjectName(QStringLiteral("TabBrowser"));
    m_tabEditor = new QWidget(m_pages);
    m_tabEditor->setObjectName(QStringLiteral("TabEditor"));
    m_pages->addTab(m_tabBrowser, QStringLiteral("  Internal Browser  "));
    m_pages->addTab(m_tabEditor, QStringLiteral("  Internal Editor  "));

    // The grey tool bar: buttons on the left, the covered link's URL to their right.
    auto *toolBar = new QWidget(m_tabBrowser);
    toolBar->setObjectName(QStringLiteral("PanelBrowserTop"));
    toolBar->setAutoFillBackground(true);
    QPalette barPalette = toolBar->palette();
    barPalette.setColor(QPalette::Window, QColor(128, 128, 128));
    barPalette.setColor(QPalette::WindowText, Qt::white);
    barPalette.setColor(QPalette::ButtonText, Qt::white);
    // A hovered button is drawn in a shade of the button colour: keep it dark under white text.
    barPalette.setColor(QPalette::Button, QColor(96, 96, 96));
    barPalette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(192, 192, 192));
    toolBar->setPalette(barPalette);
    m_back = toolButton(QStringLiteral("BNaviBack"), QStringLiteral("<<"),
        QStringLiteral("Back in History"), toolBar);
    m_forward = toolButton(QStringLiteral("BNaviForward"), QStringLiteral(">>"),
        QStringLiteral("Forward in History"), toolBar);
    m_reload = toolButton(QStringLiteral("BReload"), QStringLiteral("Reload"),
        QStringLiteral("Reload initial file"), toolBar);
    m_snap = toolButton(QStringLiteral("BSnap"), QStringLiteral("Snap View"),
        QStringLiteral("Create snapshot of the currently displayed content"), toolBar);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    m_labelUrl = new QLabel(toolBar);
    m_labelUrl->setObjectName(QStringLiteral("LabelURL"));
    m_labelUrl->setTextFormat(Qt::PlainText);
    auto *barLayout = new QHBoxLayout(toolBar);
    barLayout->setContentsMargins(2, 1, 2, 1);
    barLayout->addWidget(m_back);
    barLayout->addWidget(m_forward);
    barLayout->addWidget(m_reload);
    barLayout->addWidget(m_snap);
    barLayout->addSpacing(8);
    barLayout->addWidget(m_labelUrl, 1);

    m_frameViewer = new engine::HtmlView(m_tabBrowser);
    m_frameViewer->setObjectName(QStringLiteral("FrameViewer1"));
    m_frameViewer->setHistoryLimit(10);
    // The window answers whatever a page does: loads never hold it up.
    m_frameViewer->setLoadsInBackground(true);
    m_frameViewer->setFollowDisk(!m_host || m_host->settings().followDiskChanges);
    m_browserLayout = new QVBoxLayout(m_tabBrowser);
    m_browserLayout->setContentsMargins(0, 0, 0, 0);
    m_browserLayout->setSpacing(0);
    m_browserLayout->addWidget(toolBar);
    m_browserLayout->addWidget(m_frameViewer, 1);

    m_editor = new SourceEditor(m_tabEditor);
    m_editor->setHandler(this);
    m_editorLayout = new QVBoxLayout(m_tabEditor);
    m_editorLayout->setContentsMargins(0, 0, 0, 0);
    m_editorLayout->setSpacing(0);
    m_editorLayout->addWidget(buildEditorToolbar());
    m_editorLayout->addWidget(m_editor, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    connect(m_frameViewer, &engine::HtmlView::hotSpotTargetClick, this, &ViewerWindow::linkClicked,
        Qt::DirectConnection);
    connect(
        m_frameViewer, &engine::HtmlView::hotSpotTargetCovered, this, &ViewerWindow::linkHovered);
    connect(m_frameViewer, &engine::HtmlView::historyChanged, this,
        &ViewerWindow::browserHistoryChanged);
    connect(m_frameViewer, &engine::HtmlView::keyDown, this, &ViewerWindow::browserKeyPressed,
        Qt::DirectConnection);
    connect(m_frameViewer, &engine::HtmlView::processingChanged, this,
        &ViewerWindow::browserProcessing);
    connect(
        m_frameViewer, &engine::HtmlView::contextMenuRequested, this, [this](const QPoint &pos) {
            if (m_host)
                m_host->showContextMenu(pos);
        });
    connect(m_frameViewer, &engine::HtmlView::pageGoneFromDiskChanged, this,
        &ViewerWindow::showDiskState);
    connect(m_frameViewer, &engine::HtmlView::diskPollingStarted, this, [this] {
        setHint(QStringLiteral("Too many folders to watch: changes on disk are looked for once a "
                               "second"));
    });
    connect(m_back, &QToolButton::clicked, m_frameViewer, &engine::HtmlView::goBack);
    connect(m_forward, &QToolButton::clicked, m_frameViewer, &engine::HtmlView::goForward);
    connect(m_reload, &QToolButton::clicked, this, &ViewerWindow::reload);
    connect(m_snap, &QToolButton::clicked, this, [this] {
        if (m_host)
            m_host->snapCurrentView();
    });
}

ViewerWindow::~ViewerWindow()
{
    qApp->removeEventFilter(this);
    // The borrowed controls are ours wherever they are shown.
    returnControls();
    delete m_replaceDialog; // it may live in the main window
    // The editor goes down with the window's children: it must not call back into the
    // half-destroyed window meanwhile.
    if (m_editor) {
        m_editor->setHandler(nullptr);
        m_editor->disconnect(this);
        m_editor->document()->disconnect(this);
    }
}

engine::HtmlView *ViewerWindow::browser() const
{
    return m_frameViewer;
}

QWidget *ViewerWindow::browserControl() const
{
    return m_frameViewer;
}

QWidget *ViewerWindow::editorControl() const
{
    return m_editor;
}

void ViewerWindow::returnControls()
{
    if (!m_frameViewer || !m_editor)
        return;
    if (m_editorLayout->indexOf(m_editor) < 0) {
        m_editor->setParent(m_tabEditor);
        m_editorLayout->addWidget(m_editor, 1);
    }
    m_editor->show();
    if (m_browserLayout->indexOf(m_frameViewer) < 0) {
        m_frameViewer->setParent(m_tabBrowser);
        m_browserLayout->addWidget(m_frameViewer, 1);
    }
    m_frameViewer->show();
}

void ViewerWindow::loadFileIntoViewer(const QString &path)
{
    m_frameViewer->clearHistory();
    m_frameViewer->loadHtmlFile(path);
    loadEditorText(path);
    m_viewerFileTime = QFileInfo(path).lastModified();
}

void ViewerWindow::clearViewer()
{
    m_frameViewer->setHtmlText(QString());
    m_frameViewer->clearHistory();
    m_editor->loadText(QString(), nullptr);
    m_editor->setEnabled(false); // nothing to edit until a file is loaded
    m_editorHoldsFile = false;
    m_tagHintField->clear();
    m_viewerFile.clear();
    m_viewerFileTime = QDateTime();
    // Last, so that the buttons see the editor empty and disabled.
    setEditorNotModified();
}

platform::Answer ViewerWindow::askSaveChanges()
{
    const platform::Answer answer
        = platform::dialogs().AskYesNoCancel(QStringLiteral("Save changes in: ") + m_viewerFile);
    if (answer == platform::Answer::Yes) {
        saveFile();
        // A failed save keeps the changes: what asked must not go on as if they were safe.
        if (isEditorModified())
            return platform::Answer::Cancel;
    }
    if (answer == platform::Answer::No)
        discardEditorChanges();
    return answer;
}

void ViewerWindow::discardEditorChanges()
{
    if (m_viewerFile.isEmpty() || !isEditorModified())
        return;
    loadEditorText(m_viewerFile);
    m_viewerFileTime = QFileInfo(m_viewerFile).lastModified();
    setEditorNotModified();
}

QString ViewerWindow::viewerFile() const
{
    return m_viewerFile;
}

QDateTime ViewerWindow::viewerFileTime() const
{
    return m_viewerFileTime;
}

bool ViewerWindow::isProcessing() const
{
    // A load in the background goes on in the viewer as well: it never keeps it from opening.
    return m_processing && !m_frameViewer->loadsInBackground();
}

bool ViewerWindow::openBrowserSettings()
{
    const bool accepted = BrowserSettingsDialog::editBrowserSettings(
        m_frameViewer, isVisible() ? this : parentWidget());
    // The display settings last for the run; following the disk is kept in prg.ini.
    if (accepted && m_host && m_frameViewer)
        m_host->settings().followDiskChanges = m_frameViewer->followsDisk();
    return accepted;
}

void ViewerWindow::showDiskState()
{
    if (!m_frameViewer->isPageGoneFromDisk()) {
        m_labelUrl->clear();
        // The hint line says what it says when nothing is gone.
        if (std::exchange(m_goneHintShown, false) && m_host)
            m_host->updateStatus();
        return;
    }
    const QString text = goneFromDiskText(m_frameViewer->currentFile());
    m_labelUrl->setText(text);
    setHint(text);
    m_goneHintShown = true;
}

void ViewerWindow::linkClicked(
    const QString &, const QString &url, const QString &frameFile, bool *handled)
{
    setHint(url);
    const LinkTarget link = linkTargetPath(frameFile, url);
    if (link.anchorOnly)
        return; // the engine scrolls to the anchor
    QString path = link.path;
    if (!path.isEmpty() && !QFileInfo(path).isFile()) {
        // Links are written URL-encoded ("my%20page.htm"); the file has the plain name.
        const QString decoded = QUrl::fromPercentEncoding(path.toUtf8());
        if (QFileInfo(decoded).isFile())
            path = decoded;
    }
    setHint(path);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        platform::dialogs().beep();
        *handled = true;
    }
}

void ViewerWindow::linkHovered(const QString &target, const QString &url)
{
    const QString text = coveredLinkText(target, url);
    if (text.isEmpty() && m_frameViewer->isPageGoneFromDisk()) {
        showDiskState();
        return;
    }
    m_labelUrl->setText(text);
    setHint(text);
}

void ViewerWindow::browserHistoryChanged()
{
    m_forward->setEnabled(m_frameViewer->canGoForward());
    m_back->setEnabled(m_frameViewer->canGoBack());
}

void ViewerWindow::browserKeyPressed(QKeyEvent *event, bool *handled)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier)
        return;
    if (event->key() == Qt::Key_A) {
        m_frameViewer->selectAll();
        *handled = true;
    } else if (event->key() == Qt::Key_C) {
        m_frameViewer->copySelection();
        *handled = true;
    }
}

void ViewerWindow::browserProcessing(bool processing)
{
    m_processing = processing;
}

void ViewerWindow::reload()
{
    if (m_viewerFile.isEmpty())
        return;
    m_frameViewer->clearHistory();
    m_frameViewer->loadHtmlFile(m_viewerFile);
}

QToolButton *ViewerWindow::backButton() const
{
    return m_back;
}

QToolButton *ViewerWindow::forwardButton() const
{
    return m_forward;
}

QToolButton *ViewerWindow::reloadButton() const
{
    return m_reload;
}

QToolButton *ViewerWindow::snapButton() const
{
    return m_snap;
}

QLabel *ViewerWindow::urlLabel() const
{
    return m_labelUrl;
}

QTabWidget *ViewerWindow::pages() const
{
    return m_pages;
}

void ViewerWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window previews keys: Escape closes it wherever the focus is.
    qApp->installEventFilter(this);
    prepareToShow();
}

void ViewerWindow::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool ViewerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        return handleKeyPress(static_cast<QKeyEvent *>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void ViewerWindow::done(int result)
{
    handleClose();
    QDialog::done(result);
}

void ViewerWindow::prepareToShow()
{
    if (m_host && windowState() == Qt::WindowNoState) {
        const QRect main = m_host->mainWindowBounds();
        const QRect frame(main.left() + 14, main.top() + 25, main.width() - 28, main.height() - 30);
        const QRect outer = frameGeometry();
        const QRect inner = geometry();
        setGeometry(frame.adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
            inner.right() - outer.right(), inner.bottom() - outer.bottom()));
    }
    showDiskState();
    returnControls();
    updateCaption();
    setButtonState();
    showEditorSpot();
}

bool ViewerWindow::handleKeyPress(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        reject();
        return true;
    }
    return false;
}

void ViewerWindow::handleClose()
{
    if (!m_host)
        return;
    // Closed over a page without the views, the editor's changes would have nowhere to go.
    const app::Page *page = m_host->activePage();
    if (page && !page->hostsViews())
        m_host->askSaveChanges(); // the answer does not keep the window open
}

void ViewerWindow::setHint(const QString &text)
{
    if (m_host)
        m_host->setHintLine(text);
}

// The dialog belongs to the window that shows the editor now, the main window while it
// borrows the editor; opened anew, it stands over the editor.
void ViewerWindow::placeReplaceDialog()
{
    QWidget *owner = m_editor->window();
    if (m_replaceDialog->parentWidget() != owner)
        m_replaceDialog->setParent(owner, m_replaceDialog->windowFlags()); // hides it
    if (m_replaceDialog->isVisible())
        return;
    m_replaceDialog->adjustSize();
    QRect frame = m_replaceDialog->frameGeometry();
    frame.moveCenter(m_editor->mapToGlobal(m_editor->rect().center()));
    m_replaceDialog->move(frame.topLeft());
}

void placeControl(QWidget *control, QWidget *container)
{
    if (!control || !container)
        return;
    if (!container->layout()) {
        auto *layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    control->setParent(container);
    container->layout()->addWidget(control);
    control->show();
}

} // namespace viewer
