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
    folderField_ = new QLineEdit(this);
    folderField_->setObjectName(QStringLiteral("ELoc1"));
    folderField_->setReadOnly(true);
    folderField_->setMinimumWidth(kit::scaledByFont(300, folderField_));
    kit::showTextStart(folderField_);
    grid->addWidget(folderField_, 1, 0);
    browseButton_ = new QPushButton(QStringLiteral("..."), this);
    browseButton_->setObjectName(QStringLiteral("BEditor1"));
    browseButton_->setFixedWidth(kit::scaledByFont(28, browseButton_));
    grid->addWidget(browseButton_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Output file format:"), this), 2, 0, 1, 2);
    formatBox_ = new QComboBox(this);
    formatBox_->setObjectName(QStringLiteral("FilterComboBox1"));
    formatBox_->addItem(QStringLiteral("Create JPG files"), QStringLiteral("*.JPG"));
    formatBox_->addItem(QStringLiteral("Create BMP files"), QStringLiteral("*.BMP"));
    grid->addWidget(formatBox_, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton_ = new QPushButton(QStringLiteral("Start"), this);
    okButton_->setObjectName(QStringLiteral("BOK"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("BCancel"));
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(browseButton_, &QPushButton::clicked, this, &SnapshotBatchDialog::chooseFolder);
    connect(formatBox_, &QComboBox::currentIndexChanged, this, &SnapshotBatchDialog::filterChosen);
    connect(okButton_, &QPushButton::clicked, this, &SnapshotBatchDialog::startExport);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void SnapshotBatchDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    prepareToShow();
}

void SnapshotBatchDialog::prepareToShow()
{
    setWindowTitle(QStringLiteral("Export %1 snapshots").arg(m_job.selectedCount));
    folderField_->setText(m_snapshotPath);
    okButton_->setEnabled(!m_snapshotPath.trimmed().isEmpty());
    formatBox_->setCurrentIndex(0);
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
        folderField_->setText(platform::WithTrailingBackslash(QDir::toNativeSeparators(chosen)));
}

void SnapshotBatchDialog::filterChosen()
{
    QString mask = formatBox_->currentData().toString().toLower();
    m_job.outputExtension = mask.remove(QLatin1Char('*'));
    setCheckBoxes();
}

void SnapshotBatchDialog::setCheckBoxes()
{
    m_job.outputKind = m_job.outputExtension == u".jpg" ? OutputJpg : OutputBmp;
}

void SnapshotBatchDialog::startExport()
{
    m_snapshotPath = folderField_->text();
    accept();
}

} // namespace snapshot
