#pragma once

#include <QWidget>

class QButtonGroup;
class QLabel;
class QPushButton;
class QToolButton;

namespace folderview {

// Beside the Folder View's file list: the panel where the frame docks the borrowed browser
// or editor, the switch between the two and the Save buttons of the editor.
class ViewsDock : public QWidget
{
    Q_OBJECT

public:
    explicit ViewsDock(QWidget *parent = nullptr);

    // The panel that holds the borrowed view.
    QWidget *viewsPanel() const { return m_browserPanel; }
    // Where the borrowed browser or editor goes; the placeholder shows while none is there.
    void showInBrowserPanel(QWidget *borrowed);
    // The view switch asks for the browser rather than the editor.
    bool browserSwitchDown() const;
    // The Save buttons follow the borrowed editor's state.
    void setSaveButtons(bool saveEnabled, bool saveAsEnabled);
    bool saveEnabled() const;

Q_SIGNALS:
    // "Browser" or "Editor" was pressed.
    void viewSwitchClicked();
    // The save buttons act on the borrowed editor, which the frame lends.
    void saveClicked();
    void saveAsClicked();

private:
    QWidget *buildButtonBar();

    QLabel *m_browserPlaceholder = nullptr;
    QButtonGroup *m_viewSwitch = nullptr;

    // The controls; their objectNames keep the old names.
    QWidget *m_browserPanel = nullptr;
    QToolButton *m_browserButton = nullptr;
    QToolButton *m_editorButton = nullptr;
    QPushButton *m_saveAsButton = nullptr;
    QPushButton *m_saveButton = nullptr;
};

} // namespace folderview
