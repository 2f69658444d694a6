#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace filelists {

// "Verification Report": the updated and missing entries of the last verification.
class TFormReport : public QDialog
{
    Q_OBJECT

public:
    explicit TFormReport(QWidget *parent = nullptr);

    void setLines(const QStringList &lines);

    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *BClose = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace filelists
