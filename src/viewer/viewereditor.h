#pragma once

#include "editor/editorfile.h"
#include "editor/typingcolour.h"
#include "engine/htmlview.h"
#include "viewer/sourceeditor.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

namespace frame {
class PageFrame;
}

namespace viewer {

class EditorSearch;
class ReplaceDialog;

// The editor page of the viewer window: the program's one editor control under its tool bar
// (save, format, colour presets, the tag hint). Holds the viewer file: loading it, its
// modified state (in the window's caption), saving it, formatting and colouring its text,
// keys, tag hints, find and replace.
class ViewerEditor : public QObject, public SourceEditorHandler
{
    Q_OBJECT

public:
    // Builds the page in `tab` of `pages`; `window` shows the caption and owns the replace
    // dialog, `browser` shows the file once saved. The host may be null.
    ViewerEditor(frame::PageFrame *host, QTabWidget *pages, QWidget *tab, QWidget *window,
        engine::HtmlView *browser);
    // The editor goes down with the window's children: it must not call back meanwhile.
    void detachEditor();

    SourceEditor *editor() const { return m_editor; }
    // Puts the editor back into the page.
    void returnEditor();

    // A .JPG or .GIF leaves the viewer file empty and shows a notice, any other file becomes
    // the viewer file and the editor shows its text.
    void loadFile(const QString &path);
    // Empties the editor and the viewer file.
    void clear();
    QString viewerFile() const { return m_viewerFile; }
    QDateTime viewerFileTime() const { return m_viewerFileTime; }

    void selectOnShow(int line, int column, const QString &text);
    void clearSpot() { m_editorSpot.reset(); }
    void showEditorSpot();

    void updateCaption();
    void setButtonState();
    void setEditorModified();
    void setEditorNotModified();
    bool isEditorModified() const;
    void discardEditorChanges();
    void saveFile();
    void saveEditorFileAs();
    bool askReloadChangedFile(const QString &currentFile);
    void formatText();
    void startSearchReplace();

    QPushButton *saveButton() const { return m_save; }
    QPushButton *formatButton() const { return m_format; }
    QLineEdit *tagHintField() const { return m_tagHintField; }
    ReplaceDialog *replaceDialog() const;

    bool editorKeyPressed(QKeyEvent *event) override;
    void editorCharTyped(QChar typed) override;
    void editorChanged() override;

Q_SIGNALS:
    // The editor's text was written to the file (by "Save" or "Save As").
    void fileSaved(const QString &path);

private:
    QWidget *buildToolbar();
    void addRepaintButtons(QLayout *layout, QWidget *bar);
    void connectEditor();
    void loadEditorText(const QString &path);
    void showEditorNotice(const QString &notice);
    bool colouring() const;
    editor::Palette palette() const;
    bool editable() const;
    bool saveEditorFile(const QString &fileName);
    bool writeEditorFile(const QString &fileName);
    void repaintWithPreset(int preset);
    void showTagHint();
    void insertTagHint();
    void pasteColoured();
    void recolourTagAroundCaret();

    frame::PageFrame *m_host;
    QTabWidget *m_pages;
    QWidget *m_tab;
    QWidget *m_window;
    QPointer<engine::HtmlView> m_browser;
    QVBoxLayout *m_layout = nullptr;
    // Guarded: while borrowed it lives in another window, which might go first.
    QPointer<SourceEditor> m_editor;
    EditorSearch *m_search = nullptr;

    QPushButton *m_save = nullptr;
    QPushButton *m_format = nullptr;
    QToolButton *m_repaint[4] = {};
    QLabel *m_labelTagSyntax = nullptr;
    QLineEdit *m_tagHintField = nullptr;

    QString m_viewerFile;
    QDateTime m_viewerFileTime;
    struct EditorSpot {
        int line = 0;
        int column = 0;
        QString text;
    };
    std::optional<EditorSpot> m_editorSpot;
    // How the viewer file is written back; only while the editor holds its text.
    bool m_editorHoldsFile = false;
    platform::TextEncoding m_encoding = platform::TextEncoding::Utf8;
    editor::LineEnds m_lineEnds = editor::LineEnds::CrLf;
    int m_keyState = 0;
    editor::CaretContext m_caretContext;
};

} // namespace viewer
