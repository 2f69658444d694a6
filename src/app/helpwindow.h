#pragma once

#include <QWidget>

namespace engine {
class HtmlView;
}

namespace app {

// "Folioscope - Help": the help pages beside the program in a view of their own. Modeless; it
// deletes itself when closed, and Esc closes it.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // Loads helpFile (a missing file leaves the window empty, without a message).
    explicit HelpWindow(const QString &helpFile, QWidget *parent = nullptr);
    engine::HtmlView *view() const { return m_view; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    engine::HtmlView *m_view = nullptr;
};

} // namespace app
