#pragma once

#include "frame/settings.h"
#include "snapshot/snapshotshot.h"

#include <QDialog>
#include <QImage>
#include <QRect>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace engine {
class HtmlView;
}

namespace folderview {
class BatchProgress;
class SelectionQueries;
} // namespace folderview

namespace kit {
class ColorPicker;
class UpDown;
} // namespace kit

namespace snapshot {

struct SnapshotJob;
class TFormSnapKeeper;

// What the snapshot windows need of the main window.
struct SnapshotHost {
    app::Settings &settings;
    SnapshotJob &job;
    // The active page of the main window.
    const folderview::SelectionQueries &selection;
    // The shared progress window; a batch makes its own when this is null.
    folderview::BatchProgress *progress = nullptr;
    // The internal browser: its display settings, and its view in from-browser mode.
    engine::HtmlView *browser = nullptr;
    QRect mainBounds;
    // Puts the browser view back into its place after a capture borrowed it.
    std::function<void()> browserReturned;
};

// "Snapshot Options": the entries of a snapshot, the preview, saving, batch export and the
// clipboard. Created for one opening.
class TFormSnapProp : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSnapProp(const SnapshotHost &host, QWidget *parent = nullptr);
    ~TFormSnapProp() override;

    bool TestInput();
    void RBCustomClick();
    void BPreviewClick();
    void BsaveClick();
    void BBatchClick();
    void BClipClick();
    // Composes the last capture (or the empty frame) and shows it.
    void PaintSaveImg();

    // The picture shown, and the status line.
    const QImage &snapshotImage() const { return m_imgSave; }
    QString statusText() const;

    QRadioButton *RBCustom = nullptr;
    QRadioButton *RBBrowser = nullptr;
    QLineEdit *EWidth = nullptr;
    QLineEdit *EHeight = nullptr;
    QLineEdit *EViewWidth = nullptr;
    QLineEdit *EScale = nullptr;
    QLineEdit *EShade = nullptr;
    QLineEdit *EBorder = nullptr;
    kit::UpDown *UDWidth = nullptr;
    kit::UpDown *UDHeight = nullptr;
    kit::UpDown *UDScale = nullptr;
    kit::UpDown *UDShade = nullptr;
    kit::UpDown *UDBorder = nullptr;
    kit::ColorPicker *RzColBG = nullptr;
    kit::ColorPicker *RzColBShade = nullptr;
    kit::ColorPicker *RzColBorder = nullptr;
    QCheckBox *CBCropVerti = nullptr;
    QCheckBox *CBCropHori = nullptr;
    QLabel *PanelTreeTop = nullptr;
    QLabel *ImgSave = nullptr;
    QPushButton *BPreview = nullptr;
    QPushButton *Bsave = nullptr;
    QPushButton *BBatch = nullptr;
    QPushButton *BClip = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void buildLayout();
    QWidget *buildOptionsPanel();
    QWidget *buildPicturePanel();
    void FormShow();
    void FormClose();
    void setStatus(const QString &text);
    void showPicture();
    // DoTheShot on the file into the shown picture. A batch passes the capture form it keeps for
    // its pages.
    ShotResult shoot(const QString &file, TFormSnapKeeper *forms = nullptr);
    // Names the page on the status line when its capture went wrong; false when it did not.
    bool showProblem(ShotResult result, const QString &file);

    SnapshotHost m_host;
    QImage m_imgSave;
    // The save dialog's filter: the last choice stays while the window is open.
    int m_saveFilter = 0;
};

// "&Create Snapshot(s)": the opening checks, then the options window, modal.
void Snapcurrenrfile1Click(const SnapshotHost &host, QWidget *parent);
// "Snap View" of the browser window: the options window in from-browser mode, modal.
void SnapFromBrowser(const SnapshotHost &host, QWidget *parent);

} // namespace snapshot
