#pragma once

#include "editor/palette.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

namespace formatter {
struct Style;
}

namespace viewer {

// The editor's share of the settings: the palette in use, colouring on or off, and the
// search memory.
struct EditorSettings {
    editor::Palette palette;
    bool DoColorTags = true;
    QString LastSearch;
    QString LastReplace;
};

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

    // The main window's selection query CurrentFile and its current folder (with its
    // trailing separator); empty by default.
    virtual QString currentFile() const;
    virtual QString currentFolder() const;
    // The main window's "Save" and "Save As" follow the editor's state.
    virtual void setSaveButtons(bool saveEnabled, bool saveAsEnabled);
    // "Save As" wrote a copy into the current folder: the file list is read again and the
    // copy selected in it.
    virtual void showSavedCopy(const QString &path);
    // The editor's settings; held here by default.
    virtual EditorSettings editorSettings() const;
    virtual void setEditorSettings(const EditorSettings &settings);
    // The formatter style of "Format" (a run changes its counters); none by default.
    virtual formatter::Style *formatterStyle();
    // The lines of tagsyntax.txt; empty by default.
    virtual QStringList tagSyntaxTable() const;

private:
    EditorSettings m_editorSettings;
};

} // namespace viewer
