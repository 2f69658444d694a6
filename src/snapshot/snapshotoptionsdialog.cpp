#include "snapshot/snapshotoptionsdialog.h"

#include "engine/captureform.h"
#include "engine/htmlview.h"
#include "frame/progresswindow.h"
#include "frame/selection.h"
#include "kit/colorpicker.h"
#include "kit/updown.h"
#include "platform/hourglass.h"
#include "snapshot/snapshotbatchdialog.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotsave.h"
#include "snapshot/snapshotshot.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <memory>

namespace snapshot {

SnapshotOptionsDialog::SnapshotOptionsDialog(const SnapshotHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("TFormSnapProp"));
    setWindowTitle(QStringLiteral("Snapshot Options"));
    buildLayout();
}

SnapshotOptionsDialog::~SnapshotOptionsDialog() = default;

void SnapshotOptionsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareToShow();
}

void SnapshotOptionsDialog::prepareToShow()
{
    const SnapshotJob &job = m_host.job;
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) {
        const QRect &main = m_host.mainBounds;
        setGeometry(main.left() + 14, main.top() + 25, main.width() - 28, main.height() - 30);
    }
    m_customSizeButton->setChecked(!job.fromBrowser);
    m_browserSizeButton->setEnabled(job.fromBrowser);
    m_viewWidthField->clear();
    if (job.fromBrowser) {
        m_browserSizeButton->setChecked(true);
        if (m_host.browser) {
            m_host.job.browserWidth = m_host.browser->width();
            m_host.job.browserHeight = m_host.browser->height();
        }
        m_viewWidthField->setText(
            QStringLiteral("(%1x%2)").arg(job.browserWidth).arg(job.browserHeight));
    }
    const frame::Settings &settings = m_host.settings;
    m_widthUpDown->setPosition(settings.customWidth);
    m_heightUpDown->setPosition(settings.customHeight);
    m_backgroundPicker->setSelected(colorFromValue(settings.backgroundColor));
    m_shadePicker->setSelected(colorFromValue(settings.shadeColor));
    m_borderPicker->setSelected(colorFromValue(settings.borderColor));
    m_scaleUpDown->setPosition(settings.scale);
    m_shadeUpDown->setPosition(settings.shade);
    m_borderUpDown->setPosition(settings.border);
    m_cropVerticalBox->setChecked(settings.cropVertical);
    m_cropHorizontalBox->setChecked(settings.cropHorizontal);
    m_saveButton->setEnabled(false);
    m_batchButton->setEnabled(job.batchMode);
    setWindowTitle(job.batchMode
            ? QStringLiteral("Snapshot Options for %1 files").arg(job.selectedCount)
            : QStringLiteral("Snapshot Options - (File: ") + job.currentFile + QStringLiteral(")"));
    sizeKindChosen();
    if (testInput())
        paintSaveImage();
}

void SnapshotOptionsDialog::done(int result)
{
    handleClose();
    QDialog::done(result);
}

void SnapshotOptionsDialog::handleClose()
{
    m_host.job.batchMode = false;
    m_imgSave = QImage();
    m_picture->clear();
}

void SnapshotOptionsDialog::sizeKindChosen()
{
    m_widthField->setEnabled(m_customSizeButton->isChecked());
    m_heightField->setEnabled(m_customSizeButton->isChecked());
}

bool SnapshotOptionsDialog::testInput()
{
    SnapshotEntries entries;
    entries.customSize = m_customSizeButton->isChecked();
    entries.width = m_widthField->text();
    entries.height = m_heightField->text();
    entries.scale = m_scaleField->text();
    entries.shade = m_shadeField->text();
    entries.border = m_borderField->text();
    entries.cropVerti = m_cropVerticalBox->isChecked();
    entries.cropHori = m_cropHorizontalBox->isChecked();
    entries.bgCol = valueFromColor(m_backgroundPicker->selected());
    entries.shadeCol = valueFromColor(m_shadePicker->selected());
    entries.borderCol = valueFromColor(m_borderPicker->selected());
    return snapshot::testInput(entries, m_host.settings, m_host.job);
}

void SnapshotOptionsDialog::paintSaveImage()
{
    m_imgSave = snapshot::paintSaveImage(m_host.job, m_host.settings, QImage());
    showPicture();
}

void SnapshotOptionsDialog::showPicture()
{
    m_picture->setPixmap(QPixmap::fromImage(m_imgSave));
    m_picture->adjustSize();
}

QString SnapshotOptionsDialog::statusText() const
{
    return m_statusLine->text();
}

void SnapshotOptionsDialog::setStatus(const QString &text)
{
    m_statusLine->setText(text);
    m_statusLine->repaint();
}

ShotResult SnapshotOptionsDialog::shoot(const QString &file, engine::CaptureFormKeeper *forms)
{
    ShotSource source;
    source.forms = forms;
    source.browser = m_host.browser;
    source.status = [this](const QString &text) { setStatus(text); };
    source.browserReturned = m_host.browserReturned;
    const ShotResult result = DoTheShot(file, m_host.job, m_host.settings, source, m_imgSave);
    showPicture();
    return result;
}

bool SnapshotOptionsDialog::showProblem(ShotResult result, const QString &file)
{
    const QString problem = engine::captureProblem(result, file, engine::PartialPicture::Shown);
    if (problem.isEmpty())
        return false;
    setStatus(problem);
    return true;
}

void SnapshotOptionsDialog::preview()
{
    if (!testInput())
        return;
    SnapshotJob &job = m_host.job;
    if (job.batchMode) {
        for (int i = 0; i < job.entryCount; ++i) {
            const QString path = m_host.selection.entryPath(i, true);
            if (!path.isEmpty()) {
                job.currentFile = path;
                break;
            }
        }
        if (showProblem(shoot(job.currentFile), job.currentFile))
            return;
        setStatus(QStringLiteral("Preview file (1 of %1): (Source: %2x%3,  Output: %4x%5)")
                      .arg(job.selectedCount)
                      .arg(job.baseWidth)
                      .arg(job.baseHeight)
                      .arg(job.outputWidth)
                      .arg(job.outputHeight));
        return;
    }
    const ShotResult result = shoot(job.currentFile);
    // The empty frame of a page that left no picture is not its snapshot.
    m_saveButton->setEnabled(result == ShotResult::Missing || shotHasPicture(result));
    if (showProblem(result, job.currentFile))
        return;
    setStatus(QStringLiteral("Snapshot done: (Source: %1x%2,  Snapshot: %3x%4 = %5%)")
                  .arg(job.baseWidth)
                  .arg(job.baseHeight)
                  .arg(job.outputWidth)
                  .arg(job.outputHeight)
                  .arg(m_host.settings.scale));
}

void SnapshotOptionsDialog::saveSnapshot()
{
    SaveThroughDialog(m_imgSave, m_host.job.currentFile, m_saveFilter, m_host.settings.snapshotPath,
        [this](const QString &text) { setStatus(text); });
}

void SnapshotOptionsDialog::exportBatch()
{
    if (!testInput())
        return;
    paintSaveImage();
    SnapshotBatchDialog dialog(m_host.job, m_host.settings.snapshotPath, this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    std::unique_ptr<frame::ProgressWindow> ownProgress;
    frame::BatchProgress *progress = m_host.progress;
    if (!progress) {
        ownProgress = std::make_unique<frame::ProgressWindow>();
        progress = ownProgress.get();
    }
    // This window is modal: the progress window must be too, or its stop button is blocked.
    auto *progressWindow = dynamic_cast<QWidget *>(progress);
    const Qt::WindowModality modality
        = progressWindow ? progressWindow->windowModality() : Qt::NonModal;
    if (progressWindow)
        progressWindow->setWindowModality(Qt::ApplicationModal);
    engine::CaptureFormKeeper forms(m_host.browser, engine::kDefaultCaptureHosts);
    forms.setStopCheck([progress] { return progress->stopRequested(); });
    const QSize base = ShotBaseSize(m_host.job, m_host.settings);
    QString lastProblem;
    const auto shootPage = [this, &forms, &lastProblem](const QString &file) -> QImage * {
        const ShotResult result = shoot(file, &forms);
        const QString problem = engine::captureProblem(result, file, engine::PartialPicture::Saved);
        if (!problem.isEmpty())
            lastProblem = problem;
        return shotHasPicture(result) ? &m_imgSave : nullptr;
    };
    BatchExport batch { m_host.selection, *progress, shootPage,
        [this](const QString &text) { setStatus(text); },
        [this](bool enabled) { setEnabled(enabled); },
        [&forms, base](const QStringList &pages) { forms.plan(pages, base); } };
    ExportSnapshots(batch, m_host.job, m_host.settings.snapshotPath);
    // The last page that went wrong stays named after the batch's closing words.
    if (!lastProblem.isEmpty())
        setStatus(statusText() + QStringLiteral("  ") + lastProblem);
    if (progressWindow)
        progressWindow->setWindowModality(modality);
}

void SnapshotOptionsDialog::copyToClipboard()
{
    platform::HourglassGuard hourglass;
    if (m_imgSave.format() != QImage::Format_RGB888)
        m_imgSave.convertTo(QImage::Format_RGB888);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(m_imgSave);
}

void createSnapshots(const SnapshotHost &host, QWidget *parent)
{
    if (!PrepareSnapshotOpening(
            host.selection.currentFile(), host.selection.selectionCounts(), host.job))
        return;
    SnapshotOptionsDialog form(host, parent);
    form.exec();
}

void SnapFromBrowser(const SnapshotHost &host, QWidget *parent)
{
    host.job.fromBrowser = true;
    host.job.batchMode = false;
    host.job.currentFile = host.selection.currentFile();
    {
        SnapshotOptionsDialog form(host, parent);
        form.exec();
    }
    host.job.fromBrowser = false;
}

} // namespace snapshot
