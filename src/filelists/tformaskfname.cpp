#include "filelists/tformaskfname.h"

#include "filelists/tformreport.h"
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

TFormAskFName::TFormAskFName(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Save File List (*.lst)"));
    auto *column = new QVBoxLayout(this);
    Memo1 = new QLabel(this);
    Memo1->setAlignment(Qt::AlignCenter);
    Memo1->setTextFormat(Qt::PlainText);
    Memo1->setFrameShape(QFrame::StyledPanel);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Memo1->setMinimumWidth(kit::scaledByFont(320, Memo1));
    column->addWidget(Memo1, 1);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("List Filename:"), this));
    EFname = new QLineEdit(this);
    nameRow->addWidget(EFname, 1);
    column->addLayout(nameRow);

    RBAll = new QRadioButton(QStringLiteral("Save all entries"), this);
    RBSel = new QRadioButton(QStringLiteral("Save selected entries only"), this);
    RBUnSel = new QRadioButton(QStringLiteral("Save unselected entries only"), this);
    for (QRadioButton *choice : { RBAll, RBSel, RBUnSel })
        column->addWidget(choice);

    auto *buttons = new QHBoxLayout;
    BShow = new QPushButton(QStringLiteral("Show updated and removed entries"), this);
    BOK = new QPushButton(QStringLiteral("Save"), this);
    BCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BOK->setDefault(true);
    BShow->setAutoDefault(false);
    BShow->hide();
    buttons->addWidget(BShow);
    buttons->addStretch(1);
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    column->addLayout(buttons);
    connect(BOK, &QPushButton::clicked, this, &TFormAskFName::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BShow, &QPushButton::clicked, this, &TFormAskFName::BShowClick);
}

void TFormAskFName::prepare(const QString &prompt, const QString &name, const QString &listsFolder,
    const QStringList &reportLines)
{
    Memo1->setText(prompt);
    // A longer current name is shown whole: cutting it would save under another name.
    EFname->setMaxLength(std::max<int>(kNameLength, int(name.size())));
    EFname->setText(name);
    EFname->selectAll();
    EFname->setFocus();
    RBAll->setChecked(true);
    m_listsFolder = listsFolder;
    m_target.clear();
    m_reportLines = reportLines;
    BShow->setVisible(!reportLines.isEmpty());
}

TFormAskFName::Choice TFormAskFName::choice() const
{
    if (RBSel->isChecked())
        return SelectedEntries;
    return RBUnSel->isChecked() ? UnselectedEntries : AllEntries;
}

// A refused name keeps the dialog open after the error box.
void TFormAskFName::BOKClick()
{
    const QString target
        = platform::BuildTargetFileName(m_listsFolder, EFname->text(), QStringLiteral(".lst"));
    if (target.isEmpty())
        return;
    m_target = target;
    accept();
}

void TFormAskFName::BShowClick()
{
    TFormReport report(this);
    report.setLines(m_reportLines);
    platform::dialogs().execDialog(report);
}

} // namespace filelists
