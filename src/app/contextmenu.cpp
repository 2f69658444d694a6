#include "app/contextmenu.h"

namespace app {

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
    enabled[JumpToFolder] = current && state.page == 2;
    for (size_t i = 0; i < state.appExists.size(); ++i)
        enabled[FirstLaunch + i] = current && state.appExists[i];
    return enabled;
}

QString launchCaption(const QString &descript, bool afterOptions)
{
    return (afterOptions ? QStringLiteral("Launch with: ") : QStringLiteral("Launch file with: "))
        + descript;
}

PopLBTree::PopLBTree(QWidget *parent)
    : QMenu(parent)
{ }

void PopLBTree::BuildContextMenu(const std::array<ExternalApp, 6> &apps)
{
    if (!m_items.isEmpty())
        return;
    const QStringList captions = { QStringLiteral("View in default browser"), QStringLiteral("-"),
        QStringLiteral("Make/Update Thumbnail(s)"), QStringLiteral("Clear Thumbnail(s)"),
        QStringLiteral("-"), QStringLiteral("Create Snapshot(s)"),
        QStringLiteral("Copy file(s) to"), QStringLiteral("Jump to Folder"), QStringLiteral("-") };
    for (const QString &caption : captions) {
        QAction *action = caption == u"-" ? addSeparator() : addAction(caption);
        m_items.append(action);
    }
    for (size_t i = 0; i < apps.size(); ++i)
        m_items.append(addAction(QString()));
    setLaunchCaptions(apps, false);
    for (int position = 0; position < m_items.size(); ++position)
        connect(m_items.at(position), &QAction::triggered, this,
            [this, position] { Q_EMIT itemClicked(position); });
}

void PopLBTree::setLaunchCaptions(const std::array<ExternalApp, 6> &apps, bool afterOptions)
{
    for (size_t i = 0; i < apps.size() && FirstLaunch + qsizetype(i) < m_items.size(); ++i)
        m_items.at(FirstLaunch + qsizetype(i))
            ->setText(launchCaption(apps[i].Descript, afterOptions));
}

void PopLBTree::PopLBPoP(const MenuState &state)
{
    const std::array<bool, ContextItemCount> enabled = contextItemsEnabled(state);
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_items.at(i)->setEnabled(enabled[size_t(i)]);
}

QAction *PopLBTree::item(int position) const
{
    return m_items.value(position);
}

} // namespace app
