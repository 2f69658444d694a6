#include "viewer/replacedialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer {

ReplaceDialog::ReplaceDialog(QWidget *parent)
    : QDialog(parent)
    , m_find(new QLineEdit(this))
    , m_replace(new QLineEdit(this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this))
    , m_wholeWord(new QCheckBox(QStringLiteral("Match &whole word only"), this))
    , m_findNext(new QPushButton(QStringLiteral("&Find Next"), this))
    , m_replaceOne(new QPushButton(QStringLiteral("&Replace"), this))
    , m_replaceAll(new QPushButton(QStringLiteral("Replace &All"), this))
{
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto *findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    auto *replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    findLabel->setBuddy(m_find);
    replaceLabel->setBuddy(m_replace);
    m_findNext->setDefault(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(findLabel, 0, 0);
    layout->addWidget(m_find, 0, 1);
    layout->addWidget(replaceLabel, 1, 0);
    layout->addWidget(m_replace, 1, 1);
    layout->addWidget(m_matchCase, 2, 0, 1, 2);
    layout->addWidget(m_wholeWord, 3, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_replaceOne);
    buttons->addWidget(m_replaceAll);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 5, 1);

    connect(m_findNext, &QPushButton::clicked, this, &ReplaceDialog::findNext);
    connect(m_replaceOne, &QPushButton::clicked, this, &ReplaceDialog::replace);
    connect(m_replaceAll, &QPushButton::clicked, this, &ReplaceDialog::replaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString ReplaceDialog::findText() const
{
    return m_find->text();
}

QString ReplaceDialog::replaceText() const
{
    return m_replace->text();
}

void ReplaceDialog::setFindText(const QString &text)
{
    m_find->setText(text);
}

void ReplaceDialog::setReplaceText(const QString &text)
{
    m_replace->setText(text);
}

editor::SearchOptions ReplaceDialog::options() const
{
    return { m_matchCase->isChecked(), m_wholeWord->isChecked() };
}

} // namespace viewer
