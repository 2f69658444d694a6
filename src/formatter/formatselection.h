#pragma once

#include "formatter/formathooks.h"
#include "formatter/resultwriter.h"
#include "formatter/style.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace formatter {

// Compress, format and trim. Any other value runs the tokenizer and gives an empty result.
enum class FormatMode { Compress = 1, Format = 2, Trim = 4 };

// The spaces and TABs that begin the line of the first character of a selection that the run
// lays out: the indentation a selection run keeps in front of its lines. Blank lines, and
// comments, PRE, SCRIPT, STYLE and TEXTAREA blocks, which come back at their own columns, do
// not count, or the result's own first line would give the next run another indentation.
// Cut to kMaxIndentWidth characters so a hostile line cannot multiply the output.
QString SelectionIndent(QStringView selectedText);

// The editor's "Format": lays out the selected text (selection mode on) and gives the
// result, every line followed by CR LF. CR LF pairs of the text count as one LF. Counters
// of the style's rules change; the caller must not start a second run from within a hook.
QString FormatSelection(Style &style, QStringView selectedText, const QString &selectionIndent,
    FormatMode mode, const FormatHooks &hooks = {});

// The same for a whole document: selection mode off, so no indentation is put in front and
// the signature comment appears when the style asks for it.
QString FormatDocument(
    Style &style, QStringView text, FormatMode mode, const FormatHooks &hooks = {});

// Either run over a text that it takes over (CR LF pairs are joined in place, so the text
// is never copied), handing the result to out piece by piece: a selection run with the
// given indentation, or a whole-document run without one.
void FormatText(Style &style, QString &&text, FormatMode mode,
    const std::optional<QString> &selectionIndent, ResultWriter &out,
    const FormatHooks &hooks = {});

} // namespace formatter
