#include "filelists/searchdialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace filelists {

SearchDialog::SearchDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Search Files"));
    auto *column = new QVBoxLayout(this);
    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName(QStringLiteral("Label1"));
    folderLabel_->setAlignment(Qt::AlignCenter);
    folderLabel_->setTextFormat(Qt::PlainText);
    column->addWidget(folderLabel_);

    auto *options = new QGroupBox(QStringLiteral("Search options"), this);
    auto *optionColumn = new QVBoxLayout(options);
    includeSubfoldersBox_ = new QCheckBox(QStringLiteral("Include all subfolders"), options);
    includeSubfoldersBox_->setObjectName(QStringLiteral("CBIncludeSub"));
    addToListBox_ = new QCheckBox(QStringLiteral("Add to current list"), options);
    addToListBox_->setObjectName(QStringLiteral("CBAdd"));
    includeSubfoldersBox_->setChecked(true);
    addToListBox_->setChecked(true);
    optionColumn->addWidget(includeSubfoldersBox_);
    optionColumn->addWidget(addToListBox_);
    column->addWidget(options);

    auto *buttons = new QHBoxLayout;
    startButton_ = new QPushButton(QStringLiteral("Start "), this);
    startButton_->setObjectName(QStringLiteral("BStart"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("BCancel"));
    startButton_->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(startButton_);
    buttons->addWidget(cancelButton_);
    column->addLayout(buttons);
    connect(startButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void SearchDialog::prepare(const QString &mask, const QString &folder)
{
    folderLabel_->setText(QStringLiteral("\nSearch for:\n") + mask
        + QStringLiteral("\nin folder:\n\"") + folder + QLatin1Char('"'));
}

bool SearchDialog::includeSubfolders() const
{
    return includeSubfoldersBox_->isChecked();
}

bool SearchDialog::addToList() const
{
    return addToListBox_->isChecked();
}

} // namespace filelists
