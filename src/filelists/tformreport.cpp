#include "filelists/tformreport.h"

#include "kit/textfit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace filelists {

TFormReport::TFormReport(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Verification Report"));
    resize(kit::scaledByFont(560, this), kit::scaledByFont(360, this));
    auto *column = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(Memo1, 1);
    auto *buttons = new QHBoxLayout;
    BClose = new QPushButton(QStringLiteral("Close"), this);
    BClose->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(BClose);
    column->addLayout(buttons);
    connect(BClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormReport::setLines(const QStringList &lines)
{
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

// Enter closes the window even while the text box has the focus.
void TFormReport::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace filelists
