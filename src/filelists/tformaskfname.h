#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace filelists {

// "Save File List (*.lst)": the name of the list file and which entries to save.
class TFormAskFName : public QDialog
{
    Q_OBJECT

public:
    enum Choice { AllEntries, SelectedEntries, UnselectedEntries };

    explicit TFormAskFName(QWidget *parent = nullptr);

    // Before each showing: the prompt, the proposed name and the folder the list goes to.
    // Report lines, when there are any, make "Show updated and removed entries" visible.
    void prepare(const QString &prompt, const QString &name, const QString &listsFolder,
        const QStringList &reportLines = {});

    // After "Save": the full path of the list file, and which entries to save.
    QString targetPath() const { return m_target; }
    Choice choice() const;

    QLabel *Memo1 = nullptr;
    QLineEdit *EFname = nullptr;
    QRadioButton *RBAll = nullptr;
    QRadioButton *RBSel = nullptr;
    QRadioButton *RBUnSel = nullptr;
    QPushButton *BOK = nullptr;
    QPushButton *BCancel = nullptr;
    QPushButton *BShow = nullptr;

private:
    void BOKClick();
    void BShowClick();

    QString m_listsFolder;
    QString m_target;
    QStringList m_reportLines;
};

} // namespace filelists
