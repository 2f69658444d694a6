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
    reportText_ = new QPlainTextEdit(this);
    reportText_->setObjectName(QStringLiteral("Memo1"));
    reportText_->setReadOnly(true);
    reportText_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reportText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(reportText_, 1);
    auto *buttons = new QHBoxLayout;
    closeButton_ = new QPushButton(QStringLiteral("Close"), this);
    closeButton_->setObjectName(QStringLiteral("BClose"));
    closeButton_->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    column->addLayout(buttons);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void ReportDialog::setLines(const QStringList &lines)
{
    reportText_->setPlainText(lines.join(QLatin1Char('\n')));
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
