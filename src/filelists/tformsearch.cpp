#include "filelists/tformsearch.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace filelists {

TFormSearch::TFormSearch(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Search Files"));
    auto *column = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setTextFormat(Qt::PlainText);
    column->addWidget(Label1);

    auto *options = new QGroupBox(QStringLiteral("Search options"), this);
    auto *optionColumn = new QVBoxLayout(options);
    CBIncludeSub = new QCheckBox(QStringLiteral("Include all subfolders"), options);
    CBAdd = new QCheckBox(QStringLiteral("Add to current list"), options);
    CBIncludeSub->setChecked(true);
    CBAdd->setChecked(true);
    optionColumn->addWidget(CBIncludeSub);
    optionColumn->addWidget(CBAdd);
    column->addWidget(options);

    auto *buttons = new QHBoxLayout;
    BStart = new QPushButton(QStringLiteral("Start "), this);
    BCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BStart->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(BStart);
    buttons->addWidget(BCancel);
    column->addLayout(buttons);
    connect(BStart, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormSearch::prepare(const QString &mask, const QString &folder)
{
    Label1->setText(QStringLiteral("\nSearch for:\n") + mask + QStringLiteral("\nin folder:\n\"")
        + folder + QLatin1Char('"'));
}

bool TFormSearch::includeSubfolders() const
{
    return CBIncludeSub->isChecked();
}

bool TFormSearch::addToList() const
{
    return CBAdd->isChecked();
}

} // namespace filelists
