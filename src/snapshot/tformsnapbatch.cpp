#include "snapshot/tformsnapbatch.h"

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

TFormSnapBatch::TFormSnapBatch(SnapshotJob &job, QString &snapshotPath, QWidget *parent)
    : QDialog(parent)
    , m_job(job)
    , m_snapshotPath(snapshotPath)
{
    setObjectName(QStringLiteral("TFormSnapBatch"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Output folder for snapshots:"), this), 0, 0, 1, 2);
    ELoc1 = new QLineEdit(this);
    ELoc1->setObjectName(QStringLiteral("ELoc1"));
    ELoc1->setReadOnly(true);
    ELoc1->setMinimumWidth(kit::scaledByFont(300, ELoc1));
    kit::showTextStart(ELoc1);
    grid->addWidget(ELoc1, 1, 0);
    BEditor1 = new QPushButton(QStringLiteral("..."), this);
    BEditor1->setObjectName(QStringLiteral("BEditor1"));
    BEditor1->setFixedWidth(kit::scaledByFont(28, BEditor1));
    grid->addWidget(BEditor1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Output file format:"), this), 2, 0, 1, 2);
    FilterComboBox1 = new QComboBox(this);
    FilterComboBox1->setObjectName(QStringLiteral("FilterComboBox1"));
    FilterComboBox1->addItem(QStringLiteral("Create JPG files"), QStringLiteral("*.JPG"));
    FilterComboBox1->addItem(QStringLiteral("Create BMP files"), QStringLiteral("*.BMP"));
    grid->addWidget(FilterComboBox1, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BOK = new QPushButton(QStringLiteral("Start"), this);
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setDefault(true);
    BCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(BEditor1, &QPushButton::clicked, this, &TFormSnapBatch::BEditor1Click);
    connect(FilterComboBox1, &QComboBox::currentIndexChanged, this,
        &TFormSnapBatch::FilterComboBox1Change);
    connect(BOK, &QPushButton::clicked, this, &TFormSnapBatch::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormSnapBatch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormSnapBatch::FormShow()
{
    setWindowTitle(QStringLiteral("Export %1 snapshots").arg(m_job.selectedCount));
    ELoc1->setText(m_snapshotPath);
    BOK->setEnabled(!m_snapshotPath.trimmed().isEmpty());
    FilterComboBox1->setCurrentIndex(0);
    FilterComboBox1Change();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TFormSnapBatch::BEditor1Click()
{
    const QString chosen
        = platform::dialogs().outputFolder(QStringLiteral("Output folder"), m_snapshotPath);
    if (!chosen.isEmpty())
        ELoc1->setText(platform::WithTrailingBackslash(QDir::toNativeSeparators(chosen)));
}

void TFormSnapBatch::FilterComboBox1Change()
{
    QString mask = FilterComboBox1->currentData().toString().toLower();
    m_job.outputExtension = mask.remove(QLatin1Char('*'));
    SetCheckBoxes();
}

void TFormSnapBatch::SetCheckBoxes()
{
    m_job.outputKind = m_job.outputExtension == u".jpg" ? OutputJpg : OutputBmp;
}

void TFormSnapBatch::BOKClick()
{
    m_snapshotPath = ELoc1->text();
    accept();
}

} // namespace snapshot
