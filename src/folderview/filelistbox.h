#pragma once

#include <QListWidget>

namespace folderview {

// The Folder View's file list. A click on an entry of a selection of several selects it only
// when the button is released, so the release is signalled once the list has settled it.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    using QListWidget::QListWidget;

Q_SIGNALS:
    void mouseReleased();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace folderview
