#pragma once

#include "editor/palette.h"

#include <QByteArray>
#include <QStringView>

namespace editor {

// The Rich Text document of a plain text: Courier New 9 pt, a colour table of the palette
// (text, tag, quoted, comment) and one colour switch per change of class. Characters up to
// 255 are written as single bytes, others as \uN? escapes; every line break (CR LF, CR or
// LF) becomes CR LF and "\par ".
QByteArray BuildColouredRtf(QStringView text, const Palette &palette);

} // namespace editor
