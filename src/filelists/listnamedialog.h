#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace filelists {

// "Save File List (*.lst)": the name of the list file and which entries to save.
class ListNameDialog : public QDialog
{
    Q_OBJECT

public:
    enum Choice { AllEntries, SelectedEntries, UnselectedEntries };

    explicit ListNameDialog(QWidget *parent = nullptr);

    // Before each showing: the prompt, the proposed name and the folder the list goes to.
    // Report lines, when there are any, make "Show updated and removed entries" visible.
    void prepare(const QString &prompt, const QString &name, const QString &listsFolder,
        const QStringList &reportLines = {});

    // After "Save": the full path of the list file, and which entries to save.
    QString targetPath() const { return m_target; }
    Choice choice() const;

private:
    void acceptName();
    void showReport();

    QString m_listsFolder;
    QString m_target;
    QStringList m_reportLines;

    // The controls; their objectNames keep the old names.
    QLabel *m_promptLabel = nullptr;
    QLineEdit *m_nameField = nullptr;
    QRadioButton *m_allButton = nullptr;
    QRadioButton *m_selectedButton = nullptr;
    QRadioButton *m_unselectedButton = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_showReportButton = nullptr;
};

} // namespace filelists
