#include "viewer/editorsettings.h"

namespace viewer {

EditorSettings editorSettingsOf(const app::Settings &settings)
{
    EditorSettings editor;
    editor.palette = { settings.TextCol, settings.TagCol, settings.QuotedCol, settings.CommentCol };
    editor.DoColorTags = settings.DoColorTags;
    editor.LastSearch = settings.LastSearch;
    editor.LastReplace = settings.LastReplace;
    return editor;
}

void storeEditorSettings(app::Settings &settings, const EditorSettings &editor)
{
    settings.TextCol = editor.palette.TextCol;
    settings.TagCol = editor.palette.TagCol;
    settings.QuotedCol = editor.palette.QuotedCol;
    settings.CommentCol = editor.palette.CommentCol;
    settings.DoColorTags = editor.DoColorTags;
    settings.LastSearch = editor.LastSearch;
    settings.LastReplace = editor.LastReplace;
}

} // namespace viewer
