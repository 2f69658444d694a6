#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace frame {
class Configuration;
}

namespace folderview {

// The folder panel that the frame shows beside its page control: the drive box, the folder
// list, the filter and the thumbnail corner. It holds the current folder and mask, where the
// Folder View lists its files and the other pages look for theirs.
class FolderPanel : public QWidget
{
    Q_OBJECT

public:
    // mayLeave settles the editor's unsaved changes before the folder or the filter changes;
    // false for Cancel, which keeps them and the folder as it is.
    FolderPanel(frame::Configuration &configuration, std::function<bool()> mayLeave,
        QWidget *parent = nullptr);

    // With one trailing separator.
    QString currentFolder() const { return m_currentFolder; }
    QString currentMask() const { return m_currentMask; }

    // Start-up: the filter entries from the filter text, the drive box, the first folder.
    void setFilterText(const QString &filterText);
    void fillDriveBox();
    // A vanished folder shows its nearest parent.
    void changeFolder(const QString &folder);

    // The thumbnail corner shows the thumbnail of a page.
    void showMiniThumb(const QString &page);
    void clearMiniThumb();
    bool isInThumbFolder(const QString &folder) const;

Q_SIGNALS:
    void folderChanged();
    void maskChanged();
    void miniThumbDoubleClicked();
    // The right mouse button on the thumbnail corner, at a global position.
    void miniThumbMenuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildLayout();
    QWidget *buildThumbCorner();
    void connectControls();
    void driveChosen(int index);
    void fillFolderList();
    // The folder list and the drive box show the current folder.
    void showFolderPlace();
    void openChosenFolder(QListWidgetItem *item);
    void fitToFilters();
    void filterChosen(int index);
    QString thumbFolder() const;

    frame::Configuration &m_configuration;
    std::function<bool()> m_mayLeave;
    QString m_currentMask = QStringLiteral("*.htm");
    QString m_currentFolder;
    QStringList m_filterMasks;
    QHash<QString, QString> m_lastFolderOfDrive;
    int m_filterIndex = -1;

    // The controls; their objectNames keep the old names.
    QLabel *m_folderTitle = nullptr;
    QComboBox *m_driveBox = nullptr;
    QListWidget *m_folderList = nullptr;
    QLabel *m_filterTitle = nullptr;
    QComboBox *m_filterBox = nullptr;
    QWidget *m_miniThumbPanel = nullptr;
    QLabel *m_miniThumb = nullptr;
};

} // namespace folderview
