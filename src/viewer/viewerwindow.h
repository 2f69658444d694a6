#pragma once

#include "editor/editorfile.h"
#include "editor/typingcolour.h"
#include "platform/dialogs.h"
#include "viewer/sourceeditor.h"

#include <QDateTime>
#include <QDialog>
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

namespace engine {
class HtmlView;
}

namespace viewer {

class ReplaceDialog;

// The viewer window: the internal browser and the internal editor on two pages. It owns the
// program's one browser view and one editor control; the main window borrows either while
// this window is closed.
class ViewerWindow : public QDialog, public SourceEditorHandler
{
    Q_OBJECT

public:
    // The host may be null (then no hint line, placement or save question).
    explicit ViewerWindow(frame::PageFrame *host, QWidget *parent = nullptr);
    ~ViewerWindow() override;

    engine::HtmlView *browser() const;
    QWidget *browserControl() const;
    QWidget *editorControl() const;
    // Puts the browser and the editor back into their pages.
    void returnControls();

    // Loading a file into the viewer: the browser's history is cleared and the file shown;
    // a .JPG or .GIF leaves the viewer file empty and the editor shows a notice, any other
    // file becomes the viewer file and the editor shows its text.
    void loadFileIntoViewer(const QString &path);
    // Empties browser, editor and the viewer file.
    void clearViewer();
    QString viewerFile() const;
    QDateTime viewerFileTime() const;

    bool isProcessing() const;

    // The next showing of the window opens the editor with this text selected: the occurrence
    // nearest the 1-based line and column of the text as loaded. Every showing clears it.
    void selectInEditorOnShow(int line, int column, const QString &text);
    void clearEditorSpot() { m_editorSpot.reset(); }

    // The editor's modified state: the caption, the flag and the buttons that depend on it.
    void setButtonState();
    void setEditorModified();
    void setEditorNotModified();
    bool isEditorModified() const;
    // "No" to the unsaved-changes question: the editor takes the viewer file from disk again
    // (or a notice when it is gone), so no later view can offer the dropped text.
    void discardEditorChanges();
    // "Save changes in: " the viewer file; Yes saves, No discards. Cancel also when Yes
    // could not save.
    platform::Answer askSaveChanges();
    SourceEditor *editor() const;

    // "Save" (Ctrl+S and the main window's "Save"); beeps without a viewer file.
    void saveFile();
    // Writes the editor's text to a file; false after the error message.
    bool saveEditorFile(const QString &fileName);
    // The main window's "Save As": a copy of the text, the editor stays on its file.
    void saveEditorFileAs();
    void formatText();
    // The palette preset 1 to 4, and the whole text coloured again with it.
    void repaintWithPreset(int preset);
    void showTagHint();
    void insertTagHint();
    void startSearchReplace();
    void findNext();
    void replaceFound();
    void replaceAll();
    // When the program becomes active again (the main window checks the page and start-up):
    // asks whether to reload the viewer file when another program changed it. True for Yes;
    // the caller then loads it again.
    bool askReloadChangedFile(const QString &currentFile);

    QPushButton *saveButton() const;
    QPushButton *formatButton() const;
    QLineEdit *tagHintField() const;
    ReplaceDialog *replaceDialog() const;

    // "&Temporary Browser Settings": the settings dialog on the browser.
    bool openBrowserSettings();

    void linkClicked(
        const QString &target, const QString &url, const QString &frameFile, bool *handled);
    void linkHovered(const QString &target, const QString &url);
    void browserHistoryChanged();
    void browserKeyPressed(QKeyEvent *event, bool *handled);
    void browserProcessing(bool processing);
    void reload();

    QToolButton *backButton() const;
    QToolButton *forwardButton() const;
    QToolButton *reloadButton() const;
    QToolButton *snapButton() const;
    QLabel *urlLabel() const;
    QTabWidget *pages() const;

    bool editorKeyPressed(QKeyEvent *event) override;
    void editorCharTyped(QChar typed) override;
    void editorChanged() override;

Q_SIGNALS:
    // The editor's text was written to the file (by "Save" or "Save As").
    void fileSaved(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void prepareToShow();
    void showEditorSpot();
    bool handleKeyPress(QKeyEvent *event);
    void handleClose();
    void setHint(const QString &text);
    // The URL label says when the page shown is gone from disk.
    void showDiskState();
    QWidget *buildEditorToolbar();
    void loadEditorText(const QString &path);
    void showEditorNotice(const QString &notice);
    void updateCaption();
    bool colouring() const;
    editor::Palette palette() const;
    bool editable() const;
    void pasteColoured();
    void recolourTagAroundCaret();
    bool searchNext();
    void placeReplaceDialog();
    void rememberSearch();
    bool writeEditorFile(const QString &fileName);

    frame::PageFrame *m_host;
    QTabWidget *m_pages = nullptr;
    QWidget *m_tabBrowser = nullptr;
    QWidget *m_tabEditor = nullptr;
    QVBoxLayout *m_browserLayout = nullptr;
    QVBoxLayout *m_editorLayout = nullptr;
    // Guarded: while borrowed they live in another window, which might go first.
    QPointer<engine::HtmlView> m_frameViewer;
    QPointer<SourceEditor> m_editor;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QToolButton *m_reload = nullptr;
    QToolButton *m_snap = nullptr;
    QLabel *m_labelUrl = nullptr;

    QString m_viewerFile;
    QDateTime m_viewerFileTime;
    bool m_processing = false;
    // The hint line names the page shown as deleted on disk.
    bool m_goneHintShown = false;
    struct EditorSpot {
        int line = 0;
        int column = 0;
        QString text;
    };
    std::optional<EditorSpot> m_editorSpot;

    // The editor page.
    QPushButton *m_save = nullptr;
    QPushButton *m_format = nullptr;
    QToolButton *m_repaint[4] = {};
    QLabel *m_labelTagSyntax = nullptr;
    QLineEdit *m_tagHintField = nullptr;
    // Lives in the window that shows the editor, which may go first.
    QPointer<ReplaceDialog> m_replaceDialog;
    // How the viewer file is written back; only while the editor holds its text.
    bool m_editorHoldsFile = false;
    platform::TextEncoding m_encoding = platform::TextEncoding::Utf8;
    editor::LineEnds m_lineEnds = editor::LineEnds::CrLf;
    int m_keyState = 0;
    editor::CaretContext m_caretContext;
};

// Moves a borrowed control into a container, filling it (the main window's Panel1).
void placeControl(QWidget *control, QWidget *container);

} // namespace viewer
