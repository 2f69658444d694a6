#include "snapshot/tformsnapprop.h"

#include "engine/htmlview.h"
#include "folderview/formprogress.h"
#include "frame/selection.h"
#include "kit/colorpicker.h"
#include "kit/updown.h"
#include "platform/hourglass.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotsave.h"
#include "snapshot/snapshotshot.h"
#include "engine/tformsnap.h"
#include "snapshot/tformsnapbatch.h"
#include "thumbs/thumbmaker.h"

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

TFormSnapProp::TFormSnapProp(const SnapshotHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("TFormSnapProp"));
    setWindowTitle(QStringLiteral("Snapshot Options"));
    buildLayout();
}

TFormSnapProp::~TFormSnapProp() = default;

void TFormSnapProp::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormSnapProp::FormShow()
{
    const SnapshotJob &job = m_host.job;
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) {
        const QRect &main = m_host.mainBounds;
        setGeometry(main.left() + 14, main.top() + 25, main.width() - 28, main.height() - 30);
    }
    RBCustom->setChecked(!job.fromBrowser);
    RBBrowser->setEnabled(job.fromBrowser);
    EViewWidth->clear();
    if (job.fromBrowser) {
        RBBrowser->setChecked(true);
        if (m_host.browser) {
            m_host.job.browserWidth = m_host.browser->width();
            m_host.job.browserHeight = m_host.browser->height();
        }
        EViewWidth->setText(QStringLiteral("(%1x%2)").arg(job.browserWidth).arg(job.browserHeight));
    }
    const app::Settings &settings = m_host.settings;
    UDWidth->setPosition(settings.CustomWidth);
    UDHeight->setPosition(settings.CustomHeight);
    RzColBG->setSelected(colorFromValue(settings.BGCol));
    RzColBShade->setSelected(colorFromValue(settings.ShadeCol));
    RzColBorder->setSelected(colorFromValue(settings.BorderCol));
    UDScale->setPosition(settings.Scale);
    UDShade->setPosition(settings.Shade);
    UDBorder->setPosition(settings.Border);
    CBCropVerti->setChecked(settings.CropVerti);
    CBCropHori->setChecked(settings.CropHori);
    Bsave->setEnabled(false);
    BBatch->setEnabled(job.batchMode);
    setWindowTitle(job.batchMode
            ? QStringLiteral("Snapshot Options for %1 files").arg(job.selectedCount)
            : QStringLiteral("Snapshot Options - (File: ") + job.currentFile + QStringLiteral(")"));
    RBCustomClick();
    if (TestInput())
        PaintSaveImg();
}

void TFormSnapProp::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormSnapProp::FormClose()
{
    m_host.job.batchMode = false;
    m_imgSave = QImage();
    ImgSave->clear();
}

void TFormSnapProp::RBCustomClick()
{
    EWidth->setEnabled(RBCustom->isChecked());
    EHeight->setEnabled(RBCustom->isChecked());
}

bool TFormSnapProp::TestInput()
{
    SnapshotEntries entries;
    entries.customSize = RBCustom->isChecked();
    entries.width = EWidth->text();
    entries.height = EHeight->text();
    entries.scale = EScale->text();
    entries.shade = EShade->text();
    entries.border = EBorder->text();
    entries.cropVerti = CBCropVerti->isChecked();
    entries.cropHori = CBCropHori->isChecked();
    entries.bgCol = valueFromColor(RzColBG->selected());
    entries.shadeCol = valueFromColor(RzColBShade->selected());
    entries.borderCol = valueFromColor(RzColBorder->selected());
    return snapshot::TestInput(entries, m_host.settings, m_host.job);
}

void TFormSnapProp::PaintSaveImg()
{
    m_imgSave = snapshot::PaintSaveImg(m_host.job, m_host.settings, QImage());
    showPicture();
}

void TFormSnapProp::showPicture()
{
    ImgSave->setPixmap(QPixmap::fromImage(m_imgSave));
    ImgSave->adjustSize();
}

QString TFormSnapProp::statusText() const
{
    return PanelTreeTop->text();
}

void TFormSnapProp::setStatus(const QString &text)
{
    PanelTreeTop->setText(text);
    PanelTreeTop->repaint();
}

ShotResult TFormSnapProp::shoot(const QString &file, TFormSnapKeeper *forms)
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

bool TFormSnapProp::showProblem(ShotResult result, const QString &file)
{
    const QString problem = engine::captureProblem(result, file, engine::PartialPicture::Shown);
    if (problem.isEmpty())
        return false;
    setStatus(problem);
    return true;
}

void TFormSnapProp::BPreviewClick()
{
    if (!TestInput())
        return;
    SnapshotJob &job = m_host.job;
    if (job.batchMode) {
        for (int i = 0; i < job.entryCount; ++i) {
            const QString path = m_host.selection.EntryPath(i, true);
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
    Bsave->setEnabled(result == ShotResult::Missing || shotHasPicture(result));
    if (showProblem(result, job.currentFile))
        return;
    setStatus(QStringLiteral("Snapshot done: (Source: %1x%2,  Snapshot: %3x%4 = %5%)")
                  .arg(job.baseWidth)
                  .arg(job.baseHeight)
                  .arg(job.outputWidth)
                  .arg(job.outputHeight)
                  .arg(m_host.settings.Scale));
}

void TFormSnapProp::BsaveClick()
{
    SaveThroughDialog(m_imgSave, m_host.job.currentFile, m_saveFilter, m_host.settings.SNAPSHOTPATH,
        [this](const QString &text) { setStatus(text); });
}

void TFormSnapProp::BBatchClick()
{
    if (!TestInput())
        return;
    PaintSaveImg();
    TFormSnapBatch dialog(m_host.job, m_host.settings.SNAPSHOTPATH, this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    std::unique_ptr<folderview::TFormProgress> ownProgress;
    folderview::BatchProgress *progress = m_host.progress;
    if (!progress) {
        ownProgress = std::make_unique<folderview::TFormProgress>();
        progress = ownProgress.get();
    }
    // This window is modal: the progress window must be too, or its stop button is blocked.
    auto *progressWindow = dynamic_cast<QWidget *>(progress);
    const Qt::WindowModality modality
        = progressWindow ? progressWindow->windowModality() : Qt::NonModal;
    if (progressWindow)
        progressWindow->setWindowModality(Qt::ApplicationModal);
    TFormSnapKeeper forms(m_host.browser, thumbs::ThumbMaker::defaultHostCount());
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
    ExportSnapshots(batch, m_host.job, m_host.settings.SNAPSHOTPATH);
    // The last page that went wrong stays named after the batch's closing words.
    if (!lastProblem.isEmpty())
        setStatus(statusText() + QStringLiteral("  ") + lastProblem);
    if (progressWindow)
        progressWindow->setWindowModality(modality);
}

void TFormSnapProp::BClipClick()
{
    platform::HourglassGuard hourglass;
    if (m_imgSave.format() != QImage::Format_RGB888)
        m_imgSave.convertTo(QImage::Format_RGB888);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(m_imgSave);
}

void Snapcurrenrfile1Click(const SnapshotHost &host, QWidget *parent)
{
    if (!PrepareSnapshotOpening(
            host.selection.CurrentFile(), host.selection.SelectionCounts(), host.job))
        return;
    TFormSnapProp form(host, parent);
    form.exec();
}

void SnapFromBrowser(const SnapshotHost &host, QWidget *parent)
{
    host.job.fromBrowser = true;
    host.job.batchMode = false;
    host.job.currentFile = host.selection.CurrentFile();
    {
        TFormSnapProp form(host, parent);
        form.exec();
    }
    host.job.fromBrowser = false;
}

} // namespace snapshot
