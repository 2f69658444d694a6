#pragma once

#include "editor/palette.h"
#include "frame/settings.h"

#include <QString>

namespace viewer {

// The editor's share of the settings: the palette in use, colouring on or off, and the
// search memory.
struct EditorSettings {
    editor::Palette palette;
    bool colorTags = true;
    QString lastSearch;
    QString lastReplace;
};

EditorSettings editorSettingsOf(const frame::Settings &settings);
void storeEditorSettings(frame::Settings &settings, const EditorSettings &editor);

} // namespace viewer
