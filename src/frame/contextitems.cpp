#include "frame/contextitems.h"

namespace frame {

std::array<bool, ContextItemCount> contextItemsEnabled(const MenuState &state)
{
    // While the viewer window is open nothing of the main window may change under it.
    const bool current = state.hasCurrentFile && !state.viewerOpen;
    const bool selection = state.selected > 0 && !state.viewerOpen;
    std::array<bool, ContextItemCount> enabled {};
    enabled.fill(true);
    enabled[ViewInDefaultBrowser] = current;
    for (int position : { MakeThumbnails, ClearThumbnails, CreateSnapshots, CopyFilesTo })
        enabled[size_t(position)] = selection;
    enabled[JumpToFolder] = current && state.jumpOffered;
    for (size_t i = 0; i < state.appExists.size(); ++i)
        enabled[FirstLaunch + i] = current && state.appExists[i];
    return enabled;
}

QString launchCaption(const QString &descript, bool afterOptions)
{
    return (afterOptions ? QStringLiteral("Launch with: ") : QStringLiteral("Launch file with: "))
        + descript;
}

} // namespace frame
