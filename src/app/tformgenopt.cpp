#include "app/tformgenopt.h"

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
#ifdef Q_OS_WIN
    return QStringLiteral("Application (*.exe)");
#else
    return QStringLiteral("Application (*)");
#endif
}

// A description is a menu caption: longer ones than this scroll in their field.
constexpr int kDescriptionMaximum = 240;

} // namespace

TFormGenOpt::TFormGenOpt(const Settings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setWindowTitle(QStringLiteral("General Options"));
    buildLayout();
    for (size_t i = 0; i < ELoc.size(); ++i) {
        const ExternalApp &app = settings.ExternalApps[i];
        ELoc[i]->setText(app.Location);
        EParam[i]->setText(app.Param);
        EDescr[i]->setText(app.Descript);
        kit::fitFieldToText(EDescr[i], kDescriptionMaximum);
    }
    CBColorTags->setChecked(settings.DoColorTags);
    CBFileIcons->setChecked(settings.DoShowFileIcons);
    CBHints->setChecked(settings.DoShowHints);
    CBSingleClick->setChecked(settings.DoOpenOnSingleClick);
    CBRecycleBin->setChecked(settings.DoRecycleBin);
}

void TFormGenOpt::buildLayout()
{
    auto *column = new QVBoxLayout(this);
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
        connect(
            BEditor[size_t(i)], &QPushButton::clicked, this, [this, row] { BEditor1Click(row); });
    }
    column->addWidget(apps);

    auto *other = new QGroupBox(QStringLiteral("Other Options: "), this);
    auto *checks = new QVBoxLayout(other);
    CBColorTags = new QCheckBox(QStringLiteral("Enable editor syntax coloring"));
    CBFileIcons = new QCheckBox(QStringLiteral("Show Windows file icons in folder view"));
    CBHints = new QCheckBox(QStringLiteral("Show Hints"));
    CBSingleClick = new QCheckBox(QStringLiteral("Change folder on single click"));
    for (QCheckBox *box : { CBColorTags, CBFileIcons, CBHints, CBSingleClick })
        checks->addWidget(box);
    column->addWidget(other);

    auto *bottom = new QHBoxLayout;
    CBRecycleBin = new QCheckBox(QStringLiteral("Use Win95 recycle bin for deleted files"), this);
    CBRecycleBin->hide();
    bottom->addStretch(1);
    BOK = new QPushButton(QStringLiteral("OK"));
    BCancel = new QPushButton(QStringLiteral("Cancel"));
    BOK->setDefault(true);
    bottom->addWidget(BOK);
    bottom->addWidget(BCancel);
    column->addLayout(bottom);
    connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormGenOpt::BEditor1Click(int row)
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

Settings TFormGenOpt::values() const
{
    Settings result = m_settings;
    for (size_t i = 0; i < ELoc.size(); ++i) {
        ExternalApp &app = result.ExternalApps[i];
        app.Location = ELoc[i]->text();
        app.Param = EParam[i]->text();
        app.Descript = EDescr[i]->text();
        app.Exists = platform::launcherExists(app.Location);
    }
    result.DoColorTags = CBColorTags->isChecked();
    result.DoShowFileIcons = CBFileIcons->isChecked();
    result.DoShowHints = CBHints->isChecked();
    result.DoOpenOnSingleClick = CBSingleClick->isChecked();
    result.DoRecycleBin = CBRecycleBin->isChecked();
    return result;
}

} // namespace app
