#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace editor {

// A stretch of text in one colour (0x00BBGGRR).
struct ColourSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    int colour = 0;
    bool operator==(const ColourSpan &) const = default;
};

struct ColouredText {
    QString text; // line breaks as LF
    QList<ColourSpan> spans;
};

// Reads the subset of Rich Text that BuildColouredRtf writes: groups, the colour table,
// \cfN, \par, \plain, escaped "\", "{", "}", \'hh and \uN characters; font tables and other
// control words are skipped. Bytes above 127 are Latin-1 characters. A stream that is not
// RTF, whose groups do not balance, or that names a colour outside its table gives false
// and a message in error; out is then untouched.
bool readColouredRtf(const QByteArray &rtf, ColouredText *out, QString *error);

} // namespace editor
