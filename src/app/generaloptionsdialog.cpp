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
#ifdef Q_OS_WIN
    return QStringLiteral("Application (*.exe)");
#else
    return QStringLiteral("Application (*)");
#endif
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
    colorTagsBox_->setChecked(settings.colorTags);
    fileIconsBox_->setChecked(settings.showFileIcons);
    hintsBox_->setChecked(settings.showHints);
    singleClickBox_->setChecked(settings.openOnSingleClick);
    freshThumbsBox_->setChecked(settings.keepThumbsFresh);
    recycleBinBox_->setChecked(settings.useRecycleBin);
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
    colorTagsBox_ = kit::named<QCheckBox>("Enable editor syntax coloring", "CBColorTags");
    fileIconsBox_ = kit::named<QCheckBox>("Show Windows file icons in folder view", "CBFileIcons");
    hintsBox_ = kit::named<QCheckBox>("Show Hints", "CBHints");
    singleClickBox_ = kit::named<QCheckBox>("Change folder on single click", "CBSingleClick");
    freshThumbsBox_ = kit::named<QCheckBox>("Keep thumbnails fresh", "CBFreshThumbs");
    for (QCheckBox *box :
        { colorTagsBox_, fileIconsBox_, hintsBox_, singleClickBox_, freshThumbsBox_ })
        checks->addWidget(box);
    column->addWidget(other);

    auto *bottom = new QHBoxLayout;
    recycleBinBox_ = new QCheckBox(QStringLiteral("Use Win95 recycle bin for deleted files"), this);
    recycleBinBox_->setObjectName(QStringLiteral("CBRecycleBin"));
    recycleBinBox_->hide();
    bottom->addStretch(1);
    okButton_ = kit::named<QPushButton>("OK", "BOK");
    cancelButton_ = kit::named<QPushButton>("Cancel", "BCancel");
    okButton_->setDefault(true);
    bottom->addWidget(okButton_);
    bottom->addWidget(cancelButton_);
    column->addLayout(bottom);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
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
    result.colorTags = colorTagsBox_->isChecked();
    result.showFileIcons = fileIconsBox_->isChecked();
    result.showHints = hintsBox_->isChecked();
    result.openOnSingleClick = singleClickBox_->isChecked();
    result.keepThumbsFresh = freshThumbsBox_->isChecked();
    result.useRecycleBin = recycleBinBox_->isChecked();
    return result;
}

} // namespace app
