#pragma once

#include <QString>

#include <array>

namespace frame {

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
    bool jumpOffered = false; // the active page offers "Jump to Folder"
    bool viewerOpen = false;
    std::array<bool, 6> appExists {};
};

// Which of the fifteen items are enabled; separators count as enabled.
std::array<bool, ContextItemCount> contextItemsEnabled(const MenuState &state);

// The caption of a launch item: "Launch file with: " until General Options was confirmed once,
// "Launch with: " after that.
QString launchCaption(const QString &descript, bool afterOptions);

} // namespace frame
