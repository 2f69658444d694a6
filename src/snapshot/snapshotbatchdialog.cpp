#include "snapshot/snapshotbatchdialog.h"

#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/pathrules.h"
#include "snapshot/snapshotjob.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace snapshot {

SnapshotBatchDialog::SnapshotBatchDialog(SnapshotJob &job, QString &snapshotPath, QWidget *parent)
    : QDialog(parent)
    , m_job(job)
    , m_snapshotPath(snapshotPath)
{
    setObjectName(QStringLiteral("TFormSnapBatch"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Output folder for snapshots:"), this), 0, 0, 1, 2);
    m_folderField = new QLineEdit(this);
    m_folderField->setObjectName(QStringLiteral("ELoc1"));
    m_folderField->setReadOnly(true);
    m_folderField->setMinimumWidth(kit::scaledByFont(300, m_folderField));
    kit::showTextStart(m_folderField);
    grid->addWidget(m_folderField, 1, 0);
    m_browseButton = new QPushButton(QStringLiteral("..."), this);
    m_browseButton->setObjectName(QStringLiteral("BEditor1"));
    m_browseButton->setFixedWidth(kit::scaledByFont(28, m_browseButton));
    grid->addWidget(m_browseButton, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Output file format:"), this), 2, 0, 1, 2);
    m_formatBox = new QComboBox(this);
    m_formatBox->setObjectName(QStringLiteral("FilterComboBox1"));
    m_formatBox->addItem(QStringLiteral("Create JPG files"), QStringLiteral("*.JPG"));
    m_formatBox->addItem(QStringLiteral("Create BMP files"), QStringLiteral("*.BMP"));
    grid->addWidget(m_formatBox, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_okButton = new QPushButton(QStringLiteral("Start"), this);
    m_okButton->setObjectName(QStringLiteral("BOK"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("BCancel"));
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(m_browseButton, &QPushButton::clicked, this, &SnapshotBatchDialog::chooseFolder);
    connect(m_formatBox, &QComboBox::currentIndexChanged, this, &SnapshotBatchDialog::filterChosen);
    connect(m_okButton, &QPushButton::clicked, this, &SnapshotBatchDialog::startExport);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SnapshotBatchDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    prepareToShow();
}

void SnapshotBatchDialog::prepareToShow()
{
    setWindowTitle(QStringLiteral("Export %1 snapshots").arg(m_job.selectedCount));
    m_folderField->setText(m_snapshotPath);
    m_okButton->setEnabled(!m_snapshotPath.trimmed().isEmpty());
    m_formatBox->setCurrentIndex(0);
    filterChosen();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void SnapshotBatchDialog::chooseFolder()
{
    const QString chosen
        = platform::dialogs().outputFolder(QStringLiteral("Output folder"), m_snapshotPath);
    if (!chosen.isEmpty())
        m_folderField->setText(platform::WithTrailingBackslash(QDir::toNativeSeparators(chosen)));
}

void SnapshotBatchDialog::filterChosen()
{
    QString mask = m_formatBox->currentData().toString().toLower();
    m_job.outputExtension = mask.remove(QLatin1Char('*'));
    setCheckBoxes();
}

void SnapshotBatchDialog::setCheckBoxes()
{
    m_job.outputKind = m_job.outputExtension == u".jpg" ? OutputKind::Jpg : OutputKind::Bmp;
}

void SnapshotBatchDialog::startExport()
{
    m_snapshotPath = m_folderField->text();
    accept();
}

} // namespace snapshot
