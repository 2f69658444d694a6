#pragma once

#include "folderview/selection.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace app {
class PageFrame;
}

namespace filelists {

// The "File Lists" page: the report list of the list being worked on, and the saved lists.
class FileListsPage : public QWidget, public folderview::SelectionQueries
{
    Q_OBJECT

public:
    explicit FileListsPage(app::PageFrame &frame, QWidget *parent = nullptr);

    QString CurrentFile() const override;
    folderview::SelectionCount SelectionCounts() const override;
    QString EntryPath(int index, bool onlySelected) const override;

    // The "Saved Lists" box shows the list files of the lists folder.
    void fillSavedLists();
    void SetListButtonState();
    // Page activation.
    void activate();

    QLabel *PanelTreeTop = nullptr;
    QTreeWidget *ELVReport = nullptr;
    QPushButton *BSearch = nullptr;
    QPushButton *BSelectAllRows = nullptr;
    QPushButton *BTakeOut = nullptr;
    QPushButton *BSaveList = nullptr;
    QPushButton *BAdd = nullptr;
    QListWidget *LBListen = nullptr;
    QPushButton *BLoadList = nullptr;
    QPushButton *BDeleteList = nullptr;
    QPushButton *BMergeList = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();

    app::PageFrame &m_frame;
};

} // namespace filelists
