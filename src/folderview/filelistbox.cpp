#include "folderview/filelistbox.h"

namespace folderview {

void FileListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    Q_EMIT mouseReleased();
}

} // namespace folderview
