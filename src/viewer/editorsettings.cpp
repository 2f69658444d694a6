#include "viewer/editorsettings.h"

namespace viewer {

EditorSettings editorSettingsOf(const frame::Settings &settings)
{
    EditorSettings editor;
    editor.palette
        = { settings.textColor, settings.tagColor, settings.quotedColor, settings.commentColor };
    editor.colorTags = settings.colorTags;
    editor.lastSearch = settings.lastSearch;
    editor.lastReplace = settings.lastReplace;
    return editor;
}

void storeEditorSettings(frame::Settings &settings, const EditorSettings &editor)
{
    settings.textColor = editor.palette.textColor;
    settings.tagColor = editor.palette.tagColor;
    settings.quotedColor = editor.palette.quotedColor;
    settings.commentColor = editor.palette.commentColor;
    settings.colorTags = editor.colorTags;
    settings.lastSearch = editor.lastSearch;
    settings.lastReplace = editor.lastReplace;
}

} // namespace viewer
