#include "filelists/listnamedialog.h"

#include "filelists/reportdialog.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/filerules.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace filelists {

namespace {

constexpr int kNameLength = 20;

} // namespace

ListNameDialog::ListNameDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Save File List (*.lst)"));
    auto *column = new QVBoxLayout(this);
    promptLabel_ = new QLabel(this);
    promptLabel_->setObjectName(QStringLiteral("Memo1"));
    promptLabel_->setAlignment(Qt::AlignCenter);
    promptLabel_->setTextFormat(Qt::PlainText);
    promptLabel_->setFrameShape(QFrame::StyledPanel);
    promptLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    promptLabel_->setMinimumWidth(kit::scaledByFont(320, promptLabel_));
    column->addWidget(promptLabel_, 1);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("List Filename:"), this));
    nameField_ = new QLineEdit(this);
    nameField_->setObjectName(QStringLiteral("EFname"));
    nameRow->addWidget(nameField_, 1);
    column->addLayout(nameRow);

    allButton_ = new QRadioButton(QStringLiteral("Save all entries"), this);
    allButton_->setObjectName(QStringLiteral("RBAll"));
    selectedButton_ = new QRadioButton(QStringLiteral("Save selected entries only"), this);
    selectedButton_->setObjectName(QStringLiteral("RBSel"));
    unselectedButton_ = new QRadioButton(QStringLiteral("Save unselected entries only"), this);
    unselectedButton_->setObjectName(QStringLiteral("RBUnSel"));
    for (QRadioButton *choice : { allButton_, selectedButton_, unselectedButton_ })
        column->addWidget(choice);

    auto *buttons = new QHBoxLayout;
    showReportButton_ = new QPushButton(QStringLiteral("Show updated and removed entries"), this);
    showReportButton_->setObjectName(QStringLiteral("BShow"));
    okButton_ = new QPushButton(QStringLiteral("Save"), this);
    okButton_->setObjectName(QStringLiteral("BOK"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("BCancel"));
    okButton_->setDefault(true);
    showReportButton_->setAutoDefault(false);
    showReportButton_->hide();
    buttons->addWidget(showReportButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    column->addLayout(buttons);
    connect(okButton_, &QPushButton::clicked, this, &ListNameDialog::acceptName);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(showReportButton_, &QPushButton::clicked, this, &ListNameDialog::showReport);
}

void ListNameDialog::prepare(const QString &prompt, const QString &name, const QString &listsFolder,
    const QStringList &reportLines)
{
    promptLabel_->setText(prompt);
    // A longer current name is shown whole: cutting it would save under another name.
    nameField_->setMaxLength(std::max<int>(kNameLength, int(name.size())));
    nameField_->setText(name);
    nameField_->selectAll();
    nameField_->setFocus();
    allButton_->setChecked(true);
    m_listsFolder = listsFolder;
    m_target.clear();
    m_reportLines = reportLines;
    showReportButton_->setVisible(!reportLines.isEmpty());
}

ListNameDialog::Choice ListNameDialog::choice() const
{
    if (selectedButton_->isChecked())
        return SelectedEntries;
    return unselectedButton_->isChecked() ? UnselectedEntries : AllEntries;
}

// A refused name keeps the dialog open after the error box.
void ListNameDialog::acceptName()
{
    const QString target
        = platform::BuildTargetFileName(m_listsFolder, nameField_->text(), QStringLiteral(".lst"));
    if (target.isEmpty())
        return;
    m_target = target;
    accept();
}

void ListNameDialog::showReport()
{
    ReportDialog report(this);
    report.setLines(m_reportLines);
    platform::dialogs().execDialog(report);
}

} // namespace filelists
