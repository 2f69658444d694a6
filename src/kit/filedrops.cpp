#include "kit/filedrops.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kit {

FileDrops::FileDrops(QWidget *window, std::function<void(const QStringList &paths)> dropped)
    : QObject(window)
    , m_dropped(std::move(dropped))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::DragEnter) {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (enter->mimeData()->hasUrls())
            enter->acceptProposedAction();
        return true;
    }
    if (event->type() != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    QStringList paths;
    for (const QUrl &url : drop->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    drop->acceptProposedAction();
    m_dropped(paths);
    return true;
}

} // namespace kit
