#pragma once

#include "frame/settings.h"
#include "frame/selection.h"

#include <QPoint>
#include <QString>

namespace engine {
class HtmlView;
}

namespace folderview {
class BatchProgress;
}

namespace app {

// The pages of the main window, in the order of their tabs.
enum PageIndex { FolderViewPage = 0, ThumbnailViewPage = 1, FileListsPage = 2 };

// What a page of the main window may ask of the frame that hosts it. The main window
// implements it; a page's tests give a stand-in. The selection queries answer for the
// active page, whichever page asks.
class PageFrame : public folderview::SelectionQueries
{
public:
    ~PageFrame() override;

    virtual Settings &settings() = 0;
    // The program folder with one trailing separator: the files installed beside the program.
    virtual QString ProgramFolder() const = 0;
    // Where prg.ini, THUMBS and FILELISTS live: the program folder, or the user's data
    // folder when the program folder cannot be written (a system-wide install).
    virtual QString dataFolder() const = 0;
    virtual bool Starting() const = 0;

    virtual int activePageIndex() const = 0;
    virtual void setActivePage(int index) = 0;
    // The page control refuses every page while the folder view shows a forbidden folder.
    virtual void setPagesEnabled(bool enabled) = 0;

    // The unsaved-changes question: 6 Yes, 7 No, 2 Cancel, 0 when it did not ask; Cancel
    // also when Yes could not save.
    virtual int AskSaveChanges() = 0;
    // The same question, asked only when the views show another file than the current one,
    // which loading it would replace.
    virtual int AskSaveChangesBeforeShowing() { return 0; }
    virtual void setHintLine(const QString &text) = 0;
    virtual void UpdateStatus() = 0;

    // Loads the active page's current file into the browser, the editor and the corner
    // (unless it is there already and force is false); empties them when there is none.
    virtual void ShowFileInViews(bool force) = 0;
    virtual void ClearViews() = 0;
    virtual void SetViewerButtonState() = 0;
    // Opens the viewer window on the current file (double-click or Enter on an entry).
    virtual void DblClickForAll() = 0;
    // The shared context menu of the lists, acting on the active page.
    virtual void showContextMenu(const QPoint &globalPos) = 0;

    // The Folder View's folder and file mask: where "Search" and "Add" look.
    virtual QString currentFolder() const = 0;
    virtual QString CurrentMask() const = 0;
    // The thumbnail corner shows the thumbnail of a page; empty for none.
    virtual void ShowMiniThumb(const QString &page) = 0;
    // The thin bar under the hint line that long list operations step, 0 to 10.
    virtual void setListProgress(int position) = 0;

    // The shared progress window of long batches, and the switch that disables the main
    // window meanwhile; null when there is none.
    virtual folderview::BatchProgress *progressWindow() = 0;
    virtual void setMainWindowEnabled(bool enabled) = 0;

    // False, after its message, when the volume of the path has less than neededKb free.
    virtual bool CheckDiskSpace(const QString &path, qint64 neededKb) = 0;
    // The internal browser, whose display settings thumbnails are rendered with; may be null.
    virtual engine::HtmlView *browserView() = 0;
};

// The data folders, each with one trailing separator.
QString thumbFolderOf(const QString &dataFolder);
QString listsFolderOf(const QString &dataFolder);
// The program folder when it can be written, otherwise the user's application data folder
// (created), with one trailing separator.
QString dataFolderFor(const QString &programFolder, bool programFolderWritable);

} // namespace app
