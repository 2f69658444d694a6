#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace snapshot {

struct SnapshotJob;

// "Export n snapshots": the output folder and the file format of one batch. "Start" stores
// the folder in snapshotPath (SNAPSHOTPATH); the format goes into the job at once.
class TFormSnapBatch : public QDialog
{
    Q_OBJECT

public:
    TFormSnapBatch(SnapshotJob &job, QString &snapshotPath, QWidget *parent = nullptr);

    void BEditor1Click();
    void FilterComboBox1Change();
    void SetCheckBoxes();
    void BOKClick();

    QLineEdit *ELoc1 = nullptr;
    QPushButton *BEditor1 = nullptr;
    QComboBox *FilterComboBox1 = nullptr;
    QPushButton *BOK = nullptr;
    QPushButton *BCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    SnapshotJob &m_job;
    QString &m_snapshotPath;
};

} // namespace snapshot
