#pragma once

#include "editor/textsearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace viewer {

// The find and replace dialog: shown without blocking the editor, it only reports which
// button was pressed; the editor searches.
class ReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReplaceDialog(QWidget *parent = nullptr);

    QString findText() const;
    QString replaceText() const;
    void setFindText(const QString &text);
    void setReplaceText(const QString &text);
    editor::SearchOptions options() const;

    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QCheckBox *wholeWordBox() const { return m_wholeWord; }
    QPushButton *findNextButton() const { return m_findNext; }
    QPushButton *replaceButton() const { return m_replaceOne; }
    QPushButton *replaceAllButton() const { return m_replaceAll; }

Q_SIGNALS:
    void findNext();
    void replace();
    void replaceAll();

private:
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QPushButton *m_findNext;
    QPushButton *m_replaceOne;
    QPushButton *m_replaceAll;
};

} // namespace viewer
