#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace filelists {

// "Verification Report": the updated and missing entries of the last verification.
class ReportDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReportDialog(QWidget *parent = nullptr);

    void setLines(const QStringList &lines);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The controls; their objectNames keep the old names.
    QPlainTextEdit *m_reportText = nullptr;
    QPushButton *m_closeButton = nullptr;
};

} // namespace filelists
