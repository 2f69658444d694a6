#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace filelists {

// "Search Files": what is searched where, and whether to enter sub-folders and to add to the
// list. It lives for the whole run, so the two choices keep their state between searches.
class SearchDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SearchDialog(QWidget *parent = nullptr);

    void prepare(const QString &mask, const QString &folder);
    bool includeSubfolders() const;
    bool addToList() const;

private:
    // The controls; their objectNames keep the old names.
    QLabel *m_folderLabel = nullptr;
    QCheckBox *m_includeSubfoldersBox = nullptr;
    QCheckBox *m_addToListBox = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

} // namespace filelists
