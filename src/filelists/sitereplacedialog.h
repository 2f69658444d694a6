#pragma once

#include "replace/sitereplace.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QFormLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace filelists {

// "Replace": find and replace over the files of a list. "Preview" reads the files a slice at a
// time, so the list of changes fills in while the window stays live ("Stop" ends it); every
// change has a check box, and the current file's changes show as a difference. "Replace"
// writes the changes still checked; nothing is written before. The work is the window-free
// replace library's; this window only shows it.
class SiteReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    // `leftOut`: files not to touch, each with the reason shown (such as unsaved changes in
    // the editor). The undo records go to `dataFolder`.
    SiteReplaceDialog(const QStringList &files, const QStringList &leftOut,
        const QString &dataFolder, QWidget *parent = nullptr);
    ~SiteReplaceDialog() override;

    // After "Replace": the files written, and the id of their undo record.
    const QStringList &written() const { return m_written; }
    QString undoId() const { return m_undoId; }

    void startPreview();
    void stopPreview();
    void replaceChecked();
    bool previewRunning() const { return m_timer.isActive(); }

private:
    void buildLayout();
    QFormLayout *buildForm();
    QSplitter *buildChanges();
    QDialogButtonBox *buildButtons();
    void readSlice();
    void addPlan(replace::FilePlan plan, const QByteArray &bytes);
    void previewDone(bool stopped);
    void showDifference(QTreeWidgetItem *item);
    replace::ReplaceOptions options() const;
    std::vector<replace::FilePlan> checkedPlans() const;

    QStringList m_files;
    QStringList m_leftOut;
    QString m_dataFolder;
    std::unique_ptr<replace::Replacer> m_replacer;
    std::vector<replace::FilePlan> m_plans; // the files with changes, as the preview lists them
    qsizetype m_next = 0;
    qint64 m_matches = 0;
    QTimer m_timer;
    QStringList m_written;
    QString m_undoId;

    QLineEdit *m_find = nullptr;
    QLineEdit *m_with = nullptr;
    QCheckBox *m_regex = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWords = nullptr;
    QComboBox *m_scope = nullptr;
    QLineEdit *m_attribute = nullptr;
    QTreeWidget *m_changes = nullptr;
    QPlainTextEdit *m_difference = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QPushButton *m_replaceButton = nullptr;
};

} // namespace filelists
