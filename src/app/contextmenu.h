#pragma once

#include "frame/settings.h"

#include <QMenu>

#include <array>

namespace app {

// The positions of the shared context menu's items; separators stand at 1, 4 and 8.
enum ContextItem {
    ViewInDefaultBrowser = 0,
    MakeThumbnails = 2,
    ClearThumbnails = 3,
    CreateSnapshots = 5,
    CopyFilesTo = 6,
    JumpToFolder = 7,
    FirstLaunch = 9,
    ContextItemCount = 15
};

// What the enable rules look at when the menu opens.
struct MenuState {
    bool hasCurrentFile = false;
    int selected = 0;
    int page = 0;
    bool viewerOpen = false;
    std::array<bool, 6> appExists {};
};

// Which of the fifteen items are enabled; separators count as enabled.
std::array<bool, ContextItemCount> contextItemsEnabled(const MenuState &state);

// The caption of a launch item: "Launch file with: " until General Options was confirmed once,
// "Launch with: " after that.
QString launchCaption(const QString &descript, bool afterOptions);

// `PopLBTree`: one menu for the file list, the thumbnail grid, the report list and the corner.
class PopLBTree : public QMenu
{
    Q_OBJECT

public:
    explicit PopLBTree(QWidget *parent = nullptr);

    // Creates the fifteen items once.
    void BuildContextMenu(const std::array<ExternalApp, 6> &apps);
    void setLaunchCaptions(const std::array<ExternalApp, 6> &apps, bool afterOptions);
    // Sets the enabled state of every item, as when the menu is about to open.
    void PopLBPoP(const MenuState &state);
    QAction *item(int position) const;

Q_SIGNALS:
    // An item was clicked; `MyLBPopUpHandler` tells them apart by position.
    void itemClicked(int position);

private:
    QList<QAction *> m_items;
};

} // namespace app
