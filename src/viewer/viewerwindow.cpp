#include "viewer/viewerwindow.h"

#include "engine/htmlview.h"
#include "frame/page.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "viewer/browsersettingsdialog.h"
#include "viewer/replacedialog.h"
#include "viewer/viewerbrowser.h"
#include "viewer/viewereditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace viewer {

ViewerWindow::ViewerWindow(frame::PageFrame *host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("FormView"));
    setSizeGripEnabled(true);
    resize(kit::scaledByFont(700, this), kit::scaledByFont(500, this));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    auto *tabBrowser = new QWidget(m_pages);
    tabBrowser->setObjectName(QStringLiteral("TabBrowser"));
    auto *tabEditor = new QWidget(m_pages);
    tabEditor->setObjectName(QStringLiteral("TabEditor"));
    m_pages->addTab(tabBrowser, QStringLiteral("  Internal Browser  "));
    m_pages->addTab(tabEditor, QStringLiteral("  Internal Editor  "));

    m_browser = new ViewerBrowser(m_host, tabBrowser);
    m_editor = new ViewerEditor(m_host, m_pages, tabEditor, this, m_browser->view());
    connect(m_browser, &ViewerBrowser::reloadWanted, this, &ViewerWindow::reload);
    connect(m_editor, &ViewerEditor::fileSaved, this, &ViewerWindow::fileSaved);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
}

ViewerWindow::~ViewerWindow()
{
    qApp->removeEventFilter(this);
    // The borrowed controls are ours wherever they are shown.
    returnControls();
    delete m_editor->replaceDialog(); // it may live in the main window
    m_editor->detachEditor();
}

engine::HtmlView *ViewerWindow::browser() const
{
    return m_browser->view();
}

QWidget *ViewerWindow::browserControl() const
{
    return m_browser->view();
}

QWidget *ViewerWindow::editorControl() const
{
    return m_editor->editor();
}

SourceEditor *ViewerWindow::editor() const
{
    return m_editor->editor();
}

void ViewerWindow::returnControls()
{
    if (!m_browser->view() || !m_editor->editor())
        return;
    m_editor->returnEditor();
    m_browser->returnView();
}

void ViewerWindow::loadFileIntoViewer(const QString &path)
{
    browser()->clearHistory();
    browser()->loadHtmlFile(path);
    m_editor->loadFile(path);
}

void ViewerWindow::clearViewer()
{
    browser()->setHtmlText(QString());
    browser()->clearHistory();
    m_editor->clear();
}

void ViewerWindow::reload()
{
    if (viewerFile().isEmpty())
        return;
    browser()->clearHistory();
    browser()->loadHtmlFile(viewerFile());
}

QString ViewerWindow::viewerFile() const
{
    return m_editor->viewerFile();
}

QDateTime ViewerWindow::viewerFileTime() const
{
    return m_editor->viewerFileTime();
}

bool ViewerWindow::isProcessing() const
{
    return m_browser->isProcessing();
}

void ViewerWindow::selectInEditorOnShow(int line, int column, const QString &text)
{
    m_editor->selectOnShow(line, column, text);
}

void ViewerWindow::clearEditorSpot()
{
    m_editor->clearSpot();
}

void ViewerWindow::setButtonState()
{
    m_editor->setButtonState();
}

void ViewerWindow::setEditorModified()
{
    m_editor->setEditorModified();
}

void ViewerWindow::setEditorNotModified()
{
    m_editor->setEditorNotModified();
}

bool ViewerWindow::isEditorModified() const
{
    return m_editor->isEditorModified();
}

platform::Answer ViewerWindow::askSaveChanges()
{
    const platform::Answer answer
        = platform::dialogs().AskYesNoCancel(QStringLiteral("Save changes in: ") + viewerFile());
    if (answer == platform::Answer::Yes) {
        saveFile();
        // A failed save keeps the changes: what asked must not go on as if they were safe.
        if (isEditorModified())
            return platform::Answer::Cancel;
    }
    if (answer == platform::Answer::No)
        m_editor->discardEditorChanges();
    return answer;
}

void ViewerWindow::saveFile()
{
    m_editor->saveFile();
}

void ViewerWindow::saveEditorFileAs()
{
    m_editor->saveEditorFileAs();
}

void ViewerWindow::formatText()
{
    m_editor->formatText();
}

void ViewerWindow::startSearchReplace()
{
    m_editor->startSearchReplace();
}

bool ViewerWindow::askReloadChangedFile(const QString &currentFile)
{
    return m_editor->askReloadChangedFile(currentFile);
}

QPushButton *ViewerWindow::saveButton() const
{
    return m_editor->saveButton();
}

QPushButton *ViewerWindow::formatButton() const
{
    return m_editor->formatButton();
}

QLineEdit *ViewerWindow::tagHintField() const
{
    return m_editor->tagHintField();
}

ReplaceDialog *ViewerWindow::replaceDialog() const
{
    return m_editor->replaceDialog();
}

bool ViewerWindow::openBrowserSettings()
{
    engine::HtmlView *view = browser();
    const bool accepted
        = BrowserSettingsDialog::editBrowserSettings(view, isVisible() ? this : parentWidget());
    // The display settings last for the run; following the disk is kept in prg.ini.
    if (accepted && m_host && browser())
        m_host->settings().followDiskChanges = browser()->followsDisk();
    return accepted;
}

QToolButton *ViewerWindow::backButton() const
{
    return m_browser->backButton();
}

QToolButton *ViewerWindow::forwardButton() const
{
    return m_browser->forwardButton();
}

QToolButton *ViewerWindow::reloadButton() const
{
    return m_browser->reloadButton();
}

QToolButton *ViewerWindow::snapButton() const
{
    return m_browser->snapButton();
}

QLabel *ViewerWindow::urlLabel() const
{
    return m_browser->urlLabel();
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

void ViewerWindow::placeOverMainWindow()
{
    const QRect main = m_host->mainWindowBounds();
    const QRect frame(main.left() + 14, main.top() + 25, main.width() - 28, main.height() - 30);
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    setGeometry(frame.adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
        inner.right() - outer.right(), inner.bottom() - outer.bottom()));
}

void ViewerWindow::prepareToShow()
{
    if (m_host && windowState() == Qt::WindowNoState)
        placeOverMainWindow();
    m_browser->showDiskState();
    returnControls();
    m_editor->updateCaption();
    setButtonState();
    m_editor->showEditorSpot();
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
