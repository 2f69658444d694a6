#pragma once

#include "platform/textcodec.h"

#include <QString>

namespace editor {

// The editor holds at most this many characters (a line break counts as one).
constexpr qsizetype kMaxEditorLength = 2'000'000;

// The line ends a page is written back with: those it was read with when they were all of
// one kind, otherwise CR LF.
enum class LineEnds { CrLf, Lf, Cr };

// A page as the editor holds it: every line break a single LF, with what it takes to write
// the page back byte for byte.
struct EditorText {
    QString text;
    platform::TextEncoding encoding = platform::TextEncoding::Utf8;
    LineEnds lineEnds = LineEnds::CrLf;
};

LineEnds detectLineEnds(QStringView text);
// CR LF and lone CR become LF.
QString toLfLineBreaks(QStringView text);
// LF becomes the given line end.
QString withLineEnds(QStringView lfText, LineEnds lineEnds);

EditorText decodeEditorText(const QByteArray &bytes);

enum class LoadStatus { Ok, Unreadable, TooLong };

struct LoadedPage {
    LoadStatus status = LoadStatus::Ok;
    EditorText page;
    QString error; // why the page cannot be edited
};

// Reads a page for the editor. A page longer than kMaxEditorLength is not given, so that a
// cut-off copy can never be saved over the whole.
LoadedPage loadEditorFile(const QString &path);

// The bytes of an edited text (LF line breaks) in the page's encoding and line ends. False
// when the text holds characters that the page's 8-bit encoding cannot store; unstorable
// then lists them.
bool encodeEditorText(const QString &lfText, platform::TextEncoding encoding, LineEnds lineEnds,
    QByteArray *bytes, QString *unstorable);

// Writes the text through a temporary file that replaces the page only when complete; a
// page made read-only is not replaced. On failure the page is as it was and error says why.
bool saveEditorFile(const QString &path, const QString &lfText, platform::TextEncoding encoding,
    LineEnds lineEnds, QString *error);

} // namespace editor
