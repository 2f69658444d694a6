#include "filelists/reportdialog.h"

#include "kit/textfit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace filelists {

ReportDialog::ReportDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Verification Report"));
    resize(kit::scaledByFont(560, this), kit::scaledByFont(360, this));
    auto *column = new QVBoxLayout(this);
    m_reportText = new QPlainTextEdit(this);
    m_reportText->setObjectName(QStringLiteral("Memo1"));
    m_reportText->setReadOnly(true);
    m_reportText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_reportText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(m_reportText, 1);
    auto *buttons = new QHBoxLayout;
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    m_closeButton->setObjectName(QStringLiteral("BClose"));
    m_closeButton->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(m_closeButton);
    column->addLayout(buttons);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ReportDialog::setLines(const QStringList &lines)
{
    m_reportText->setPlainText(lines.join(QLatin1Char('\n')));
}

// Enter closes the window even while the text box has the focus.
void ReportDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace filelists
