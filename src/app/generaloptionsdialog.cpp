#include "app/generaloptionsdialog.h"

#include "kit/panels.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/shell.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

// Programs on POSIX systems carry no extension.
QString applicationFilter()
{
    return QStringLiteral("Application (*%1)").arg(platform::programSuffix());
}

// A description is a menu caption: longer ones than this scroll in their field.
constexpr int kDescriptionMaximum = 240;

} // namespace

GeneralOptionsDialog::GeneralOptionsDialog(const frame::Settings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setWindowTitle(QStringLiteral("General Options"));
    buildLayout();
    for (size_t i = 0; i < ELoc.size(); ++i) {
        const frame::ExternalApp &app = settings.externalApps[i];
        ELoc[i]->setText(app.location);
        EParam[i]->setText(app.parameters);
        EDescr[i]->setText(app.description);
        kit::fitFieldToText(EDescr[i], kDescriptionMaximum);
    }
    m_colorTagsBox->setChecked(settings.colorTags);
    m_fileIconsBox->setChecked(settings.showFileIcons);
    m_hintsBox->setChecked(settings.showHints);
    m_singleClickBox->setChecked(settings.openOnSingleClick);
    m_freshThumbsBox->setChecked(settings.keepThumbsFresh);
    m_recycleBinBox->setChecked(settings.useRecycleBin);
}

// The six external applications: where each is, its parameters and its description.
QGroupBox *GeneralOptionsDialog::buildAppsGroup()
{
    auto *apps = new QGroupBox(QStringLiteral("External Applications Configuration: "), this);
    auto *grid = new QGridLayout(apps);
    grid->addWidget(new QLabel(QStringLiteral("Program Location:")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Parameters:")), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Description:")), 0, 4);
    for (int i = 0; i < 6; ++i) {
        const int row = i + 1;
        grid->addWidget(new QLabel(QStringLiteral("Application%1").arg(row)), row, 0);
        ELoc[size_t(i)] = new QLineEdit(QStringLiteral("(none)"));
        ELoc[size_t(i)]->setMinimumWidth(kit::scaledByFont(220, ELoc[size_t(i)]));
        BEditor[size_t(i)] = new QPushButton(QStringLiteral("..."));
        QFont bold = BEditor[size_t(i)]->font();
        bold.setBold(true);
        BEditor[size_t(i)]->setFont(bold);
        BEditor[size_t(i)]->setFixedWidth(kit::scaledByFont(28, BEditor[size_t(i)]));
        EParam[size_t(i)] = new QLineEdit;
        EDescr[size_t(i)] = new QLineEdit(QStringLiteral("Application %1").arg(row));
        for (QLineEdit *field : { ELoc[size_t(i)], EParam[size_t(i)], EDescr[size_t(i)] })
            kit::showTextStart(field);
        grid->addWidget(ELoc[size_t(i)], row, 1);
        grid->addWidget(BEditor[size_t(i)], row, 2);
        grid->addWidget(EParam[size_t(i)], row, 3);
        grid->addWidget(EDescr[size_t(i)], row, 4);
        connect(BEditor[size_t(i)], &QPushButton::clicked, this,
            [this, row] { chooseExternalApp(row); });
    }
    return apps;
}

void GeneralOptionsDialog::buildLayout()
{
    auto *column = new QVBoxLayout(this);
    column->addWidget(buildAppsGroup());

    auto *other = new QGroupBox(QStringLiteral("Other Options: "), this);
    auto *checks = new QVBoxLayout(other);
    m_colorTagsBox = kit::named<QCheckBox>("Enable editor syntax coloring", "CBColorTags");
    m_fileIconsBox = kit::named<QCheckBox>("Show Windows file icons in folder view", "CBFileIcons");
    m_hintsBox = kit::named<QCheckBox>("Show Hints", "CBHints");
    m_singleClickBox = kit::named<QCheckBox>("Change folder on single click", "CBSingleClick");
    m_freshThumbsBox = kit::named<QCheckBox>("Keep thumbnails fresh", "CBFreshThumbs");
    for (QCheckBox *box :
        { m_colorTagsBox, m_fileIconsBox, m_hintsBox, m_singleClickBox, m_freshThumbsBox })
        checks->addWidget(box);
    column->addWidget(other);

    auto *bottom = new QHBoxLayout;
    m_recycleBinBox
        = new QCheckBox(QStringLiteral("Use Win95 recycle bin for deleted files"), this);
    m_recycleBinBox->setObjectName(QStringLiteral("CBRecycleBin"));
    m_recycleBinBox->hide();
    bottom->addStretch(1);
    m_okButton = kit::named<QPushButton>("OK", "BOK");
    m_cancelButton = kit::named<QPushButton>("Cancel", "BCancel");
    m_okButton->setDefault(true);
    bottom->addWidget(m_okButton);
    bottom->addWidget(m_cancelButton);
    column->addLayout(bottom);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void GeneralOptionsDialog::chooseExternalApp(int row)
{
    if (row < 1 || row > 6)
        return;
    QLineEdit *location = ELoc[size_t(row - 1)];
    const QString chosen
        = platform::dialogs().openFileName(QStringLiteral("Application%1").arg(row),
            QFileInfo(location->text()).absolutePath(), applicationFilter());
    if (!chosen.isEmpty())
        location->setText(chosen);
}

frame::Settings GeneralOptionsDialog::values() const
{
    frame::Settings result = m_settings;
    for (size_t i = 0; i < ELoc.size(); ++i) {
        frame::ExternalApp &app = result.externalApps[i];
        app.location = ELoc[i]->text();
        app.parameters = EParam[i]->text();
        app.description = EDescr[i]->text();
        app.exists = platform::launcherExists(app.location);
    }
    result.colorTags = m_colorTagsBox->isChecked();
    result.showFileIcons = m_fileIconsBox->isChecked();
    result.showHints = m_hintsBox->isChecked();
    result.openOnSingleClick = m_singleClickBox->isChecked();
    result.keepThumbsFresh = m_freshThumbsBox->isChecked();
    result.useRecycleBin = m_recycleBinBox->isChecked();
    return result;
}

} // namespace app
