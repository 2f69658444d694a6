#pragma once

#include "folderview/selection.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QListView;
class QPushButton;

namespace app {
class PageFrame;
}

namespace thumbs {

class ThumbListModel;

// The "Thumbnail View" page: one thumbnail entry per entry of the folder view's file list,
// in the same order, and the buttons that make and clear thumbnails.
class ThumbViewPage : public QWidget, public folderview::SelectionQueries
{
    Q_OBJECT

public:
    explicit ThumbViewPage(app::PageFrame &frame, QWidget *parent = nullptr);

    QString CurrentFile() const override;
    folderview::SelectionCount SelectionCounts() const override;
    QString EntryPath(int index, bool onlySelected) const override;

    // Mirrors the folder view's file list.
    void setEntries(const QString &folder, const QStringList &names);
    // Start-up: the base size, falling back to 640x480 for an index outside the list.
    void setBaseIndex(int index);
    // Page activation: a first entry selected when none is, and the keyboard focus.
    void activate();

    QLabel *LabelThumbs = nullptr;
    QListView *LVThumbs = nullptr;
    QPushButton *BMakeThumb = nullptr;
    QPushButton *BClearThumb = nullptr;
    QPushButton *BSelectAllThumbs = nullptr;
    QComboBox *CBSnapBase = nullptr;

Q_SIGNALS:
    // Delete on the list: the folder view deletes the selected files and reads its list again.
    void deleteRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();

    app::PageFrame &m_frame;
    ThumbListModel *m_model = nullptr;
    QString m_folder;
    QStringList m_names;
};

} // namespace thumbs
