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
    m_promptLabel = new QLabel(this);
    m_promptLabel->setObjectName(QStringLiteral("Memo1"));
    m_promptLabel->setAlignment(Qt::AlignCenter);
    m_promptLabel->setTextFormat(Qt::PlainText);
    m_promptLabel->setFrameShape(QFrame::StyledPanel);
    m_promptLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_promptLabel->setMinimumWidth(kit::scaledByFont(320, m_promptLabel));
    column->addWidget(m_promptLabel, 1);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("List Filename:"), this));
    m_nameField = new QLineEdit(this);
    m_nameField->setObjectName(QStringLiteral("EFname"));
    nameRow->addWidget(m_nameField, 1);
    column->addLayout(nameRow);

    m_allButton = new QRadioButton(QStringLiteral("Save all entries"), this);
    m_allButton->setObjectName(QStringLiteral("RBAll"));
    m_selectedButton = new QRadioButton(QStringLiteral("Save selected entries only"), this);
    m_selectedButton->setObjectName(QStringLiteral("RBSel"));
    m_unselectedButton = new QRadioButton(QStringLiteral("Save unselected entries only"), this);
    m_unselectedButton->setObjectName(QStringLiteral("RBUnSel"));
    for (QRadioButton *choice : { m_allButton, m_selectedButton, m_unselectedButton })
        column->addWidget(choice);

    auto *buttons = new QHBoxLayout;
    m_showReportButton = new QPushButton(QStringLiteral("Show updated and removed entries"), this);
    m_showReportButton->setObjectName(QStringLiteral("BShow"));
    m_okButton = new QPushButton(QStringLiteral("Save"), this);
    m_okButton->setObjectName(QStringLiteral("BOK"));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("BCancel"));
    m_okButton->setDefault(true);
    m_showReportButton->setAutoDefault(false);
    m_showReportButton->hide();
    buttons->addWidget(m_showReportButton);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    column->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &ListNameDialog::acceptName);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_showReportButton, &QPushButton::clicked, this, &ListNameDialog::showReport);
}

void ListNameDialog::prepare(const QString &prompt, const QString &name, const QString &listsFolder,
    const QStringList &reportLines)
{
    m_promptLabel->setText(prompt);
    // A longer current name is shown whole: cutting it would save under another name.
    m_nameField->setMaxLength(std::max<int>(kNameLength, int(name.size())));
    m_nameField->setText(name);
    m_nameField->selectAll();
    m_nameField->setFocus();
    m_allButton->setChecked(true);
    m_listsFolder = listsFolder;
    m_target.clear();
    m_reportLines = reportLines;
    m_showReportButton->setVisible(!reportLines.isEmpty());
}

ListNameDialog::Choice ListNameDialog::choice() const
{
    if (m_selectedButton->isChecked())
        return SelectedEntries;
    return m_unselectedButton->isChecked() ? UnselectedEntries : AllEntries;
}

// A refused name keeps the dialog open after the error box.
void ListNameDialog::acceptName()
{
    const QString target
        = platform::BuildTargetFileName(m_listsFolder, m_nameField->text(), QStringLiteral(".lst"));
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
