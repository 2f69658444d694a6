#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace frame {

// What the frame asks of the Folder View besides its page: the folder and mask the other
// pages work in, the thumbnail corner, the panel that borrows the browser or editor and
// the Save buttons beside it. Created with that page, and by nobody else.
class FolderServices
{
public:
    virtual ~FolderServices();

    // The folder panel that the frame shows beside its page control.
    virtual QWidget *folderPanel() const = 0;

    // With one trailing separator.
    virtual QString currentFolder() const = 0;
    virtual QString currentMask() const = 0;
    // The thumbnail corner shows the thumbnail of a page.
    virtual void showMiniThumb(const QString &page) = 0;
    virtual void clearMiniThumb() = 0;
    virtual bool isInThumbFolder(const QString &folder) const = 0;
    // Opens the folder of the path on the Folder View and selects the file.
    virtual void jumpToFileAndFolder(const QString &path) = 0;
    virtual void handleDroppedFiles(const QStringList &paths) = 0;
    // General Options changed the file icons setting.
    virtual void applyFileIcons() = 0;

    // The panel that borrows the browser or the editor.
    virtual QWidget *viewsPanel() const = 0;
    virtual void showInBrowserPanel(QWidget *borrowed) = 0;
    // The view switch asks for the browser rather than the editor.
    virtual bool browserSwitchDown() const = 0;
    // The Save buttons follow the borrowed editor's state.
    virtual void setSaveButtons(bool saveEnabled, bool saveAsEnabled) = 0;
    virtual bool saveEnabled() const = 0;
    // "Save As" wrote a copy into the current folder: the file list is read again and the
    // copy selected in it.
    virtual void showSavedCopy(const QString &path) = 0;
};

} // namespace frame
