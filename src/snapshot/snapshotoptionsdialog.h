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
class QVBoxLayout;

namespace engine {
class CaptureFormKeeper;
class HtmlView;
} // namespace engine

namespace frame {
class BatchProgress;
class SelectionQueries;
} // namespace frame

namespace kit {
class ColorPicker;
class UpDown;
} // namespace kit

namespace snapshot {

struct SnapshotJob;

// What the snapshot windows need of the main window.
struct SnapshotHost {
    frame::Settings &settings;
    SnapshotJob &job;
    // The active page of the main window.
    const frame::SelectionQueries &selection;
    // The shared progress window; a batch makes its own when this is null.
    frame::BatchProgress *progress = nullptr;
    // The internal browser: its display settings, and its view in from-browser mode.
    engine::HtmlView *browser = nullptr;
    QRect mainBounds;
    // Puts the browser view back into its place after a capture borrowed it.
    std::function<void()> browserReturned;
};

// "Snapshot Options": the entries of a snapshot, the preview, saving, batch export and the
// clipboard. Created for one opening.
class SnapshotOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SnapshotOptionsDialog(const SnapshotHost &host, QWidget *parent = nullptr);
    ~SnapshotOptionsDialog() override;

    bool testInput();
    void sizeKindChosen();
    void preview();
    void saveSnapshot();
    void exportBatch();
    void copyToClipboard();
    // Composes the last capture (or the empty frame) and shows it.
    void paintSaveImage();

    // The picture shown, and the status line.
    const QImage &snapshotImage() const { return m_imgSave; }
    QString statusText() const;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void buildLayout();
    QWidget *buildOptionsPanel();
    void addBaseSizeSection(QVBoxLayout *column, QWidget *panel);
    void addOutputSizeSection(QVBoxLayout *column, QWidget *panel);
    void addShadowSection(QVBoxLayout *column, QWidget *panel);
    QWidget *buildPicturePanel();
    void prepareToShow();
    void handleClose();
    void setStatus(const QString &text);
    void showPicture();
    // DoTheShot on the file into the shown picture. A batch passes the capture form it keeps for
    // its pages.
    ShotResult shoot(const QString &file, engine::CaptureFormKeeper *forms = nullptr);
    // Names the page on the status line when its capture went wrong; false when it did not.
    bool showProblem(ShotResult result, const QString &file);

    SnapshotHost m_host;
    QImage m_imgSave;
    // The save dialog's filter: the last choice stays while the window is open.
    int m_saveFilter = 0;

    // The controls; their objectNames keep the old names.
    QRadioButton *m_customSizeButton = nullptr;
    QRadioButton *m_browserSizeButton = nullptr;
    QLineEdit *m_widthField = nullptr;
    QLineEdit *m_heightField = nullptr;
    QLineEdit *m_viewWidthField = nullptr;
    QLineEdit *m_scaleField = nullptr;
    QLineEdit *m_shadeField = nullptr;
    QLineEdit *m_borderField = nullptr;
    kit::UpDown *m_widthUpDown = nullptr;
    kit::UpDown *m_heightUpDown = nullptr;
    kit::UpDown *m_scaleUpDown = nullptr;
    kit::UpDown *m_shadeUpDown = nullptr;
    kit::UpDown *m_borderUpDown = nullptr;
    kit::ColorPicker *m_backgroundPicker = nullptr;
    kit::ColorPicker *m_shadePicker = nullptr;
    kit::ColorPicker *m_borderPicker = nullptr;
    QCheckBox *m_cropVerticalBox = nullptr;
    QCheckBox *m_cropHorizontalBox = nullptr;
    QLabel *m_statusLine = nullptr;
    QLabel *m_picture = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_batchButton = nullptr;
    QPushButton *m_clipboardButton = nullptr;
};

// "&Create Snapshot(s)": the opening checks, then the options window, modal.
void createSnapshots(const SnapshotHost &host, QWidget *parent);
// "Snap View" of the browser window: the options window in from-browser mode, modal.
void SnapFromBrowser(const SnapshotHost &host, QWidget *parent);

} // namespace snapshot
