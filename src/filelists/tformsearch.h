#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace filelists {

// "Search Files": what is searched where, and whether to enter sub-folders and to add to the
// list. It lives for the whole run, so the two choices keep their state between searches.
class TFormSearch : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSearch(QWidget *parent = nullptr);

    void prepare(const QString &mask, const QString &folder);
    bool includeSubfolders() const;
    bool addToList() const;

    QLabel *Label1 = nullptr;
    QCheckBox *CBIncludeSub = nullptr;
    QCheckBox *CBAdd = nullptr;
    QPushButton *BStart = nullptr;
    QPushButton *BCancel = nullptr;
};

} // namespace filelists
