#include "app/helpwindow.h"

#include "engine/htmlview.h"
#include "kit/textfit.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace app {

HelpWindow::HelpWindow(const QString &helpFile, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Folioscope - Help"));
    resize(kit::scaledByFont(760, this), kit::scaledByFont(560, this));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new engine::HtmlView(this);
    layout->addWidget(m_view);
    // The view takes the keys; Esc must still close the window.
    m_view->inputWidget()->installEventFilter(this);
    show();
    if (QFileInfo(helpFile).isFile())
        m_view->loadHtmlFile(helpFile);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace app
