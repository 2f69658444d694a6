#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

namespace viewer {

// What the viewer window needs of the main window. The main window implements it; tests
// give their own.
class ViewerHost
{
public:
    virtual ~ViewerHost();

    // The main window's status line (LabelHint).
    virtual void setHintLine(const QString &text) = 0;
    // The main window's frame: left, top, width, height.
    virtual QRect mainWindowBounds() const = 0;
    // 0 Folder View, 1 Thumbnail View, 2 File Lists.
    virtual int activePageIndex() const = 0;
    // The unsaved-changes question: 6 Yes, 7 No, 2 Cancel, 0 when it did not ask.
    virtual int AskSaveChanges() = 0;

    // The file context menu at a global position; nothing by default.
    virtual void showContextMenu(const QPoint &globalPos);
    // "Snap View": a snapshot of what the browser shows; nothing by default.
    virtual void snapCurrentView();
};

} // namespace viewer
