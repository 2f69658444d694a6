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
    m_folderLabel = new QLabel(this);
    m_folderLabel->setObjectName(QStringLiteral("Label1"));
    m_folderLabel->setAlignment(Qt::AlignCenter);
    m_folderLabel->setTextFormat(Qt::PlainText);
    column->addWidget(m_folderLabel);

    auto *options = new QGroupBox(QStringLiteral("Search options"), this);
    auto *optionColumn = new QVBoxLayout(options);
    m_includeSubfoldersBox = new QCheckBox(QStringLiteral("Include all subfolders"), options);
    m_includeSubfoldersBox->setObjectName(QStringLiteral("CBIncludeSub"));
    m_addToListBox = new QCheckBox(QStringLiteral("Add to current list"), options);
    m_addToListBox->setObjectName(QStringLiteral("CBAdd"));
    m_includeSubfoldersBox->setChecked(true);
    m_addToListBox->setChecked(true);
    optionColumn->addWidget(m_includeSubfoldersBox);
    optionColumn->addWidget(m_addToListBox);
    column->addWidget(options);

    auto *buttons = new QHBoxLayout;
    m_startButton = new QPushButton(QStringLiteral("Start "), this);
    m_startButton->setObjectName(QStringLiteral("BStart"));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("BCancel"));
    m_startButton->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_cancelButton);
    column->addLayout(buttons);
    connect(m_startButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SearchDialog::prepare(const QString &mask, const QString &folder)
{
    m_folderLabel->setText(QStringLiteral("\nSearch for:\n") + mask
        + QStringLiteral("\nin folder:\n\"") + folder + QLatin1Char('"'));
}

bool SearchDialog::includeSubfolders() const
{
    return m_includeSubfoldersBox->isChecked();
}

bool SearchDialog::addToList() const
{
    return m_addToListBox->isChecked();
}

} // namespace filelists
