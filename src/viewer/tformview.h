#pragma once

#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QString>

class QKeyEvent;
class QLabel;
class QTabWidget;
class QTextEdit;
class QToolButton;
class QVBoxLayout;

namespace engine {
class HtmlView;
}

namespace viewer {

class ViewerHost;

// The viewer window: the internal browser and the internal editor on two pages. It owns the
// program's one browser view and one editor control; the main window borrows either while
// this window is closed.
class TFormView : public QDialog
{
    Q_OBJECT

public:
    // The host may be null (then no hint line, placement or save question).
    explicit TFormView(ViewerHost *host, QWidget *parent = nullptr);
    ~TFormView() override;

    engine::HtmlView *browser() const;
    QWidget *browserControl() const;
    QWidget *editorControl() const;
    // Puts the browser and the editor back into their pages.
    void returnControls();

    // Loading a file into the viewer: the browser's history is cleared and the file shown;
    // a .JPG or .GIF leaves the viewer file empty and the editor shows a notice, any other
    // file becomes the viewer file and the editor shows its text.
    void LoadFileIntoViewer(const QString &path);
    // Empties browser, editor and the viewer file.
    void clearViewer();
    QString viewerFile() const;
    QDateTime viewerFileTime() const;

    bool isProcessing() const;

    // Completed by the editor: the editor's buttons, and its modified flag.
    void SetButtonState();
    void SetREToNotModified();
    bool isEditorModified() const;

    // "&Temporary Browser Settings": the settings dialog on the browser.
    bool openBrowserSettings();

    void FrameViewer1HotSpotTargetClick(
        const QString &target, const QString &url, const QString &frameFile, bool *handled);
    void FrameViewer1HotSpotTargetCovered(const QString &target, const QString &url);
    void FrameViewer1HistoryChange();
    void FrameViewer1KeyDown(QKeyEvent *event, bool *handled);
    void FrameViewer1Processing(bool processing);
    void BReloadClick();

    QToolButton *backButton() const;
    QToolButton *forwardButton() const;
    QToolButton *reloadButton() const;
    QToolButton *snapButton() const;
    QLabel *urlLabel() const;
    QTabWidget *pages() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void FormShow();
    bool FormKeyDown(QKeyEvent *event);
    void FormClose();
    void setHint(const QString &text);

    ViewerHost *m_host;
    QTabWidget *m_pages = nullptr;
    QWidget *m_tabBrowser = nullptr;
    QWidget *m_tabEditor = nullptr;
    QVBoxLayout *m_browserLayout = nullptr;
    QVBoxLayout *m_editorLayout = nullptr;
    // Guarded: while borrowed they live in another window, which might go first.
    QPointer<engine::HtmlView> m_frameViewer;
    QPointer<QTextEdit> m_editor;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QToolButton *m_reload = nullptr;
    QToolButton *m_snap = nullptr;
    QLabel *m_labelUrl = nullptr;

    QString m_viewerFile;
    QDateTime m_viewerFileTime;
    bool m_processing = false;
    bool m_editorModified = false;
};

// Moves a borrowed control into a container, filling it (the main window's Panel1).
void placeControl(QWidget *control, QWidget *container);

} // namespace viewer
