#include "app/contextmenu.h"

namespace app {

ContextMenu::ContextMenu(QWidget *parent)
    : QMenu(parent)
{ }

void ContextMenu::buildItems(const std::array<frame::ExternalApp, 6> &apps)
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

void ContextMenu::setLaunchCaptions(
    const std::array<frame::ExternalApp, 6> &apps, bool afterOptions)
{
    for (size_t i = 0; i < apps.size() && frame::FirstLaunch + qsizetype(i) < m_items.size(); ++i)
        m_items.at(frame::FirstLaunch + qsizetype(i))
            ->setText(frame::launchCaption(apps[i].description, afterOptions));
}

void ContextMenu::prepareContextMenu(const frame::MenuState &state)
{
    const std::array<bool, frame::ContextItemCount> enabled = frame::contextItemsEnabled(state);
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_items.at(i)->setEnabled(enabled[size_t(i)]);
}

QAction *ContextMenu::item(int position) const
{
    return m_items.value(position);
}

} // namespace app
