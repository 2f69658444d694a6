#include "viewer/viewerbrowser.h"

#include "engine/htmlview.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "platform/dialogs.h"
#include "viewer/linkrules.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
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

// The grey of the tool bar, with white text.
void paintToolBar(QWidget *toolBar)
{
    toolBar->setAutoFillBackground(true);
    QPalette barPalette = toolBar->palette();
    barPalette.setColor(QPalette::Window, QColor(128, 128, 128));
    barPalette.setColor(QPalette::WindowText, Qt::white);
    barPalette.setColor(QPalette::ButtonText, Qt::white);
    // A hovered button is drawn in a shade of the button colour: keep it dark under white text.
    barPalette.setColor(QPalette::Button, QColor(96, 96, 96));
    barPalette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(192, 192, 192));
    toolBar->setPalette(barPalette);
}

} // namespace

ViewerBrowser::ViewerBrowser(frame::PageFrame *host, QWidget *tab)
    : QObject(tab)
    , m_host(host)
    , m_tab(tab)
{
    QWidget *toolBar = buildToolBar();
    m_view = new engine::HtmlView(m_tab);
    m_view->setObjectName(QStringLiteral("FrameViewer1"));
    m_view->setHistoryLimit(10);
    // The window answers whatever a page does: loads never hold it up.
    m_view->setLoadsInBackground(true);
    m_view->setFollowDisk(!m_host || m_host->settings().followDiskChanges);
    m_layout = new QVBoxLayout(m_tab);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(toolBar);
    m_layout->addWidget(m_view, 1);
    connectView();
}

// The grey tool bar: buttons on the left, the covered link's URL to their right.
QWidget *ViewerBrowser::buildToolBar()
{
    auto *toolBar = new QWidget(m_tab);
    toolBar->setObjectName(QStringLiteral("PanelBrowserTop"));
    paintToolBar(toolBar);
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
    return toolBar;
}

void ViewerBrowser::connectView()
{
    connect(m_view, &engine::HtmlView::hotSpotTargetClick, this, &ViewerBrowser::linkClicked,
        Qt::DirectConnection);
    connect(m_view, &engine::HtmlView::hotSpotTargetCovered, this, &ViewerBrowser::linkHovered);
    connect(m_view, &engine::HtmlView::historyChanged, this, &ViewerBrowser::historyChanged);
    connect(
        m_view, &engine::HtmlView::keyDown, this, &ViewerBrowser::keyPressed, Qt::DirectConnection);
    connect(m_view, &engine::HtmlView::processingChanged, this,
        [this](bool processing) { m_processing = processing; });
    connect(m_view, &engine::HtmlView::contextMenuRequested, this, [this](const QPoint &pos) {
        if (m_host)
            m_host->showContextMenu(pos);
    });
    connect(
        m_view, &engine::HtmlView::pageGoneFromDiskChanged, this, &ViewerBrowser::showDiskState);
    connect(m_view, &engine::HtmlView::diskPollingStarted, this, [this] {
        setHint(QStringLiteral("Too many folders to watch: changes on disk are looked for once a "
                               "second"));
    });
    connect(m_back, &QToolButton::clicked, m_view, &engine::HtmlView::goBack);
    connect(m_forward, &QToolButton::clicked, m_view, &engine::HtmlView::goForward);
    connect(m_reload, &QToolButton::clicked, this, &ViewerBrowser::reloadWanted);
    connect(m_snap, &QToolButton::clicked, this, [this] {
        if (m_host)
            m_host->snapCurrentView();
    });
}

void ViewerBrowser::returnView()
{
    if (m_layout->indexOf(m_view) < 0) {
        m_view->setParent(m_tab);
        m_layout->addWidget(m_view, 1);
    }
    m_view->show();
}

bool ViewerBrowser::isProcessing() const
{
    return m_processing && !m_view->loadsInBackground();
}

void ViewerBrowser::setHint(const QString &text)
{
    if (m_host)
        m_host->setHintLine(text);
}

void ViewerBrowser::showDiskState()
{
    if (!m_view->isPageGoneFromDisk()) {
        m_labelUrl->clear();
        // The hint line says what it says when nothing is gone.
        if (std::exchange(m_goneHintShown, false) && m_host)
            m_host->updateStatus();
        return;
    }
    const QString text = goneFromDiskText(m_view->currentFile());
    m_labelUrl->setText(text);
    setHint(text);
    m_goneHintShown = true;
}

void ViewerBrowser::linkClicked(
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

void ViewerBrowser::linkHovered(const QString &target, const QString &url)
{
    const QString text = coveredLinkText(target, url);
    if (text.isEmpty() && m_view->isPageGoneFromDisk()) {
        showDiskState();
        return;
    }
    m_labelUrl->setText(text);
    setHint(text);
}

void ViewerBrowser::historyChanged()
{
    m_forward->setEnabled(m_view->canGoForward());
    m_back->setEnabled(m_view->canGoBack());
}

void ViewerBrowser::keyPressed(QKeyEvent *event, bool *handled)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier)
        return;
    if (event->key() == Qt::Key_A) {
        m_view->selectAll();
        *handled = true;
    } else if (event->key() == Qt::Key_C) {
        m_view->copySelection();
        *handled = true;
    }
}

} // namespace viewer
