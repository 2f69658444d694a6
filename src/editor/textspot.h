#pragma once

#include <QString>

namespace editor {

struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

// Where a piece of text reported at a 1-based line and column stands in an editor's text
// (LF line breaks). A report may count columns differently (bytes, tabs) or name the text
// decoded, so the occurrence on that line nearest the column wins; without one, an empty span
// at the column. Line and column are clamped to the text.
TextSpan spanNear(const QString &text, int line, int column, const QString &expected);

} // namespace editor
