#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace snapshot {

struct SnapshotJob;

// "Export n snapshots": the output folder and the file format of one batch. "Start" stores
// the folder in snapshotPath (SNAPSHOTPATH); the format goes into the job at once.
class SnapshotBatchDialog : public QDialog
{
    Q_OBJECT

public:
    SnapshotBatchDialog(SnapshotJob &job, QString &snapshotPath, QWidget *parent = nullptr);

    void chooseFolder();
    void filterChosen();
    void setCheckBoxes();
    void startExport();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void prepareToShow();

    SnapshotJob &m_job;
    QString &m_snapshotPath;

    // The controls; their objectNames keep the old names.
    QLineEdit *m_folderField = nullptr;
    QPushButton *m_browseButton = nullptr;
    QComboBox *m_formatBox = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

} // namespace snapshot
