#pragma once

#include "frame/batchprogress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace frame {

// The progress window shared by every batch of the program. It never blocks: a batch shows
// it, updates it once per item and asks stopRequested() after letting events run.
class ProgressWindow : public QDialog, public BatchProgress
{
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget *parent = nullptr);

    void initProgressBar(int max) override;
    void showProgress() override;
    void setProgressText(const QString &text) override;
    void stepProgress() override;
    bool stopRequested() const override { return m_stopRequested; }
    void closeProgress() override;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void requestStop();

    bool m_stopRequested = false;
    int m_step = 1;

    // The controls; their objectNames keep the old names.
    QLabel *fileLabel_ = nullptr;
    QProgressBar *progressBar_ = nullptr;
    QPushButton *stopButton_ = nullptr;
};

} // namespace frame
