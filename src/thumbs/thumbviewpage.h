#pragma once

#include "frame/configuration.h"
#include "frame/entrycommands.h"
#include "frame/folderplace.h"
#include "frame/page.h"
#include "frame/pagecontrol.h"
#include "frame/progress.h"
#include "frame/selection.h"
#include "frame/statusline.h"
#include "frame/views.h"
#include "thumbs/imagecache.h"
#include "thumbs/thumbjobs.h"
#include "thumbs/thumbmaker.h"

#include <QSize>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace platform {
class FileWatch;
}

namespace thumbs {

class ThumbGrid;
class ThumbListModel;
class ThumbRefreshQueue;

// The "Thumbnail View" page: one thumbnail entry per entry of the folder view's file list,
// in the same order, the image cache that feeds it, and the buttons that make and clear
// thumbnails of the active page's selection. While it shows a folder, the thumbnails of its
// pages that change on disk are remade in the background ("Keep thumbnails fresh").
class ThumbViewPage : public QWidget, public frame::Page
{
    Q_OBJECT

public:
    // What the page asks of the frame that hosts it.
    struct Frame {
        template<class Host>
        Frame(Host &host)
            : selection(host)
            , status(host)
            , pages(host)
            , progress(host)
            , commands(host)
            , views(host)
            , configuration(host)
            , folder(host)
        { }
        frame::SelectionQueries &selection;
        frame::StatusLine &status;
        frame::PageControl &pages;
        frame::Progress &progress;
        frame::EntryCommands &commands;
        frame::Views &views;
        frame::Configuration &configuration;
        frame::FolderPlace &folder;
    };

    explicit ThumbViewPage(const Frame &frame, QWidget *parent = nullptr);
    ~ThumbViewPage() override;

    QString currentFile() const override;
    frame::SelectionCount selectionCounts() const override;
    QString entryPath(int index, bool onlySelected) const override;

    // Mirrors the folder view's file list.
    void setEntries(const QString &folder, const QStringList &names);
    // Start-up, once the settings are read: the cache bound and the base size, falling back
    // to 640x480 for an index outside the list.
    void setBaseIndex(int index);
    QString title() const override;
    QWidget *widget() override { return this; }
    void start() override;
    // Page activation: a first entry selected when none is, and the keyboard focus.
    void activate() override;
    QString arrivalHint() const override;
    bool hostsViews() const override { return false; }
    bool offersContextItem(frame::ContextItem item) const override;
    // "Make/Update Thumbnail(s)" and "Clear Thumbnail(s)", on whichever page is active.
    bool runContextItem(frame::ContextItem item) override;

    // Makes (1) or clears (0) the thumbnails of the active page's selection.
    void addOrRemoveThumbs(ThumbMode mode);
    void makeThumbnails();
    void deleteThumbnails();
    void selectAllThumbnails();
    // The corner's double-click makes thumbnails as "Make Thumbs" does.
    void openMiniThumb();
    void snapBaseChosen(int index);
    QSize baseSize() const { return m_base; }

    ImageCache &cache() { return m_cache; }
    ThumbMaker &maker() { return *m_maker; }
    ThumbRefreshQueue &refreshQueue() { return *m_refresh; }
    platform::FileWatch &fileWatch() { return *m_watch; }

Q_SIGNALS:
    // Delete on the list: the folder view deletes the selected files and reads its list again.
    void deleteRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectControls();
    QString thumbFolder() const;
    void afterInteraction();
    bool thumbKeyPressed(int key);
    void thumbKeyReleased(int key, Qt::KeyboardModifiers modifiers);
    void redrawEntry(int index);
    void nameCaptureProblem(const ThumbMaker &maker, const QString &page);
    bool keepsFresh(const QString &page) const;
    ThumbMaker &refreshMaker();
    void remakeThumb(const QString &page);

    Frame m_frame;
    ImageCache m_cache;
    std::unique_ptr<ThumbMaker> m_maker;
    ThumbListModel *m_model = nullptr;
    QSize m_base = QSize(640, 480);
    QString m_folder;
    QStringList m_names;
    QMetaObject::Connection m_focusWatch;
    platform::FileWatch *m_watch = nullptr;
    ThumbRefreshQueue *m_refresh = nullptr;
    // Remakes in the background, in one capture form of their own.
    std::unique_ptr<ThumbMaker> m_refreshMaker;
    // A remake could not be stored: said once, and no more remakes for this folder.
    bool m_refreshFailed = false;

    // The controls; their objectNames keep the old names.
    QLabel *m_thumbsLabel = nullptr;
    ThumbGrid *m_thumbGrid = nullptr;
    QPushButton *m_makeThumbButton = nullptr;
    QPushButton *m_clearThumbButton = nullptr;
    QPushButton *m_selectAllButton = nullptr;
    QComboBox *m_snapBaseBox = nullptr;
};

} // namespace thumbs
