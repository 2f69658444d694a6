#include "viewer/viewerhost.h"

namespace viewer {

ViewerHost::~ViewerHost() = default;

void ViewerHost::showContextMenu(const QPoint &) { }

void ViewerHost::snapCurrentView() { }

QString ViewerHost::currentFile() const
{
    return QString();
}

QString ViewerHost::currentFolder() const
{
    return QString();
}

void ViewerHost::setSaveButtons(bool, bool) { }

void ViewerHost::showSavedCopy(const QString &) { }

EditorSettings ViewerHost::editorSettings() const
{
    return m_editorSettings;
}

void ViewerHost::setEditorSettings(const EditorSettings &settings)
{
    m_editorSettings = settings;
}

formatter::Style *ViewerHost::formatterStyle()
{
    return nullptr;
}

QStringList ViewerHost::tagSyntaxTable() const
{
    return QStringList();
}

} // namespace viewer
