#pragma once

#include <QDialog>

class QTextBrowser;

namespace app {

// "About -  Folioscope v1.0 ": a read-only, centred, scrollable text; releasing Esc closes it.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    QTextBrowser *aboutText() const { return m_text; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QTextBrowser *m_text = nullptr;
};

} // namespace app
