#pragma once

#include "platform/dialogs.h"

#include <QDateTime>
#include <QDialog>
#include <QString>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace frame {
class PageFrame;
}

namespace engine {
class HtmlView;
}

namespace viewer {

class ReplaceDialog;
class SourceEditor;
class ViewerBrowser;
class ViewerEditor;

// The viewer window: the internal browser and the internal editor on two pages. It owns the
// program's one browser view and one editor control; the main window borrows either while
// this window is closed. The pages do their own work (ViewerBrowser, ViewerEditor); the
// window places itself, previews keys and asks about unsaved changes when it closes.
class ViewerWindow : public QDialog
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
    void clearEditorSpot();

    // The editor's modified state: the caption, the flag and the buttons that depend on it.
    void setButtonState();
    void setEditorModified();
    void setEditorNotModified();
    bool isEditorModified() const;
    // "Save changes in: " the viewer file; Yes saves, No discards (the editor takes the
    // viewer file from disk again, or a notice when it is gone, so no later view can offer
    // the dropped text). Cancel also when Yes could not save.
    platform::Answer askSaveChanges();
    SourceEditor *editor() const;

    // "Save" (Ctrl+S and the main window's "Save"); beeps without a viewer file.
    void saveFile();
    // The main window's "Save As": a copy of the text, the editor stays on its file.
    void saveEditorFileAs();
    // "Format": the whole text formatted with the host's style.
    void formatText();
    void startSearchReplace();
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
    // The viewer file shown again, the history cleared.
    void reload();

    QToolButton *backButton() const;
    QToolButton *forwardButton() const;
    QToolButton *reloadButton() const;
    QToolButton *snapButton() const;
    QLabel *urlLabel() const;
    QTabWidget *pages() const { return m_pages; }

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
    void placeOverMainWindow();
    bool handleKeyPress(QKeyEvent *event);
    void handleClose();

    frame::PageFrame *m_host;
    QTabWidget *m_pages = nullptr;
    ViewerBrowser *m_browser = nullptr;
    ViewerEditor *m_editor = nullptr;
};

// Moves a borrowed control into a container, filling it (the main window's Panel1).
void placeControl(QWidget *control, QWidget *container);

} // namespace viewer
