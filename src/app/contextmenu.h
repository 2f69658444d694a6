#pragma once

#include "frame/contextitems.h"
#include "frame/settings.h"

#include <QMenu>

#include <array>

namespace app {

// `ContextMenu`: one menu for the file list, the thumbnail grid, the report list and the corner.
class ContextMenu : public QMenu
{
    Q_OBJECT

public:
    explicit ContextMenu(QWidget *parent = nullptr);

    // Creates the fifteen items once.
    void buildItems(const std::array<frame::ExternalApp, 6> &apps);
    void setLaunchCaptions(const std::array<frame::ExternalApp, 6> &apps, bool afterOptions);
    // Sets the enabled state of every item, as when the menu is about to open.
    void prepareContextMenu(const frame::MenuState &state);
    QAction *item(int position) const;

Q_SIGNALS:
    // An item was clicked; `runContextMenuItem` tells them apart by position.
    void itemClicked(int position);

private:
    QList<QAction *> m_items;
};

} // namespace app
