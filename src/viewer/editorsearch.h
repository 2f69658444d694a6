#pragma once

#include "viewer/replacedialog.h"

#include <QObject>
#include <QPointer>

namespace frame {
class PageFrame;
}

namespace viewer {

class SourceEditor;

// Find and replace in the editor through the replace dialog, which keeps the last search and
// replacement in the settings.
class EditorSearch : public QObject
{
    Q_OBJECT

public:
    // The dialog is made for `dialogParent` (which owns this) the first time; it then follows
    // the editor.
    EditorSearch(frame::PageFrame *host, SourceEditor *editor, QWidget *dialogParent);

    // Ctrl+F and Ctrl+R: the dialog, with the last search, over the editor.
    void start();
    ReplaceDialog *dialog() const { return m_dialog; }

Q_SIGNALS:
    // The text was changed by a replacement.
    void replaced();

private:
    void placeDialog();
    bool searchNext();
    void rememberSearch();
    void findNext();
    void replaceFound();
    void replaceAll();

    frame::PageFrame *m_host;
    QPointer<SourceEditor> m_editor;
    QWidget *m_dialogParent;
    // Lives in the window that shows the editor, which may go first.
    QPointer<ReplaceDialog> m_dialog;
};

} // namespace viewer
