#pragma once

#include "frame/settings.h"
#include "frame/selection.h"
#include "platform/dialogs.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

namespace engine {
class HtmlView;
}

namespace formatter {
struct Style;
}

namespace frame {

class BatchProgress;
class FolderServices;
class Page;

// What the pages and the viewer window may ask of the frame that hosts them. The main
// window implements it; tests give a stand-in. The selection queries answer for the active
// page, whichever page asks.
class PageFrame : public SelectionQueries
{
public:
    ~PageFrame() override;

    virtual Settings &settings() = 0;
    // The program folder with one trailing separator: the files installed beside the program.
    virtual QString programFolder() const = 0;
    // Where prg.ini, THUMBS and FILELISTS live: the program folder, or the user's data
    // folder when the program folder cannot be written (a system-wide install).
    virtual QString dataFolder() const = 0;
    virtual bool isStarting() const = 0;

    virtual Page *activePage() const = 0;
    virtual void setActivePage(Page *page) = 0;
    // The page control refuses every page while the folder view shows a forbidden folder.
    virtual void setPagesEnabled(bool enabled) = 0;

    // The unsaved-changes question, empty when it did not ask; Cancel also when Yes could
    // not save.
    virtual std::optional<platform::Answer> askSaveChanges() = 0;
    // The same question, asked only when the views show another file than the current one,
    // which loading it would replace.
    virtual std::optional<platform::Answer> askSaveChangesBeforeShowing() = 0;
    // The file the editor holds (empty for none), and whether it has unsaved changes.
    virtual QString editorFile(bool *unsaved) const = 0;
    // Loads the editor's file again after another writer changed it on disk.
    virtual void reloadEditorFile() = 0;
    // The file loaded into the browser and the editor, whose changes the question is about;
    // empty for none (and in a frame without views).
    virtual QString viewerFile() const;
    // The main window's status line (LabelHint).
    virtual void setHintLine(const QString &text) = 0;
    virtual void updateStatus() = 0;

    // Loads the active page's current file into the browser, the editor and the corner
    // (unless it is there already and force is false); empties them when there is none.
    virtual void showFileInViews(bool force) = 0;
    virtual void clearViews() = 0;
    virtual void setViewerButtonState() = 0;
    // Opens the viewer window on the current file (double-click or Enter on an entry).
    virtual void openCurrentFile() = 0;
    // The shared context menu of the lists, the corner and the viewer, acting on the active
    // page.
    virtual void showContextMenu(const QPoint &globalPos) = 0;
    // "Snap View": a snapshot of what the browser shows.
    virtual void snapCurrentView() = 0;
    // The main window's frame: left, top, width, height.
    virtual QRect mainWindowBounds() const = 0;

    // The Folder View's services: its folder and mask, where "Search" and "Add" look and
    // "Save As" lists its copy; the thumbnail corner; the Save buttons.
    virtual FolderServices &folderView() = 0;
    // The thin bar under the hint line that long list operations step, 0 to 10.
    virtual void setListProgress(int position) = 0;

    // The shared progress window of long batches, and the switch that disables the main
    // window meanwhile; null when there is none.
    virtual BatchProgress *progressWindow() = 0;
    virtual void setMainWindowEnabled(bool enabled) = 0;

    // False, after its message, when the volume of the path has less than neededKb free.
    virtual bool checkDiskSpace(const QString &path, qint64 neededKb) = 0;
    // The internal browser, whose display settings thumbnails are rendered with; may be null.
    virtual engine::HtmlView *browserView() = 0;

    // The formatter style of "Format" (a run changes its counters); null for none.
    virtual formatter::Style *formatterStyle() = 0;
    // The lines of tagsyntax.txt.
    virtual QStringList tagSyntaxTable() const = 0;
};

// programFolder from the executable's folder: one trailing separator, upper case on
// Windows only (a POSIX file system is case-sensitive).
QString programFolderFor(const QString &executableDir);
// The data folders, each with one trailing separator.
QString thumbFolderOf(const QString &dataFolder);
QString listsFolderOf(const QString &dataFolder);
// The program folder when it can be written, otherwise the user's application data folder
// (created), with one trailing separator.
QString dataFolderFor(const QString &programFolder, bool programFolderWritable);

// Deletes what writes cut off by a kill left in the program's stores beside the thumbnail
// folder (which the thumbnail clean-up sweeps): stale temporary files of list files in
// FILELISTS, of snapshots ("snap_" names) in the snapshot folder and of prg.ini.
platform::LeftoverSweep removeStoreLeftovers(
    const QString &dataFolder, const QString &snapshotFolder);

} // namespace frame
