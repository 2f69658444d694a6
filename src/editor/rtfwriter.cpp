#include "editor/rtfwriter.h"

#include "editor/colourscan.h"

namespace editor {

namespace {

const char kHeader[] = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
                       "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
                       "{\\colortbl";
const char kBodyStart[] = "}\r\n\\deflang1033\\pard\\plain\\f2\\fs18\\cf0 ";

struct RtfSink {
    QStringView text;
    QByteArray &out;

    void colour(ColourClass cls)
    {
        out += "\\cf";
        out += char('0' + static_cast<int>(cls));
        out += ' ';
    }

    static bool isPlain(char16_t c)
    {
        return c < 256 && c != u'\r' && c != u'\n' && c != u'\\' && c != u'{' && c != u'}';
    }

    void chars(qsizetype from, qsizetype to)
    {
        qsizetype i = from;
        while (i < to) {
            qsizetype end = i;
            while (end < to && isPlain(text[end].unicode()))
                ++end;
            if (end > i) { // the common case in one piece
                const qsizetype at = out.size();
                out.resize(at + (end - i));
                char *p = out.data() + at;
                for (; i < end; ++i)
                    *p++ = char(text[i].unicode());
                continue;
            }
            const char16_t c = text[i].unicode();
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < to && text[i + 1] == u'\n')
                    ++i;
                out += "\r\n\\par ";
            } else if (c == u'\\' || c == u'{' || c == u'}') {
                out += '\\';
                out += char(c);
            } else {
                // RTF numbers are signed 16-bit; "?" is the fallback that readers skip.
                out += "\\u";
                out += QByteArray::number(static_cast<qint16>(c));
                out += '?';
            }
            ++i;
        }
    }

    void openComment(qsizetype from, qsizetype to) { chars(from, to); }
};

} // namespace

QByteArray BuildColouredRtf(QStringView text, const Palette &palette)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 4 + 256);
    out += kHeader;
    for (const int colour : palette.table()) {
        out += "\\red" + QByteArray::number(redOf(colour));
        out += "\\green" + QByteArray::number(greenOf(colour));
        out += "\\blue" + QByteArray::number(blueOf(colour)) + ';';
    }
    out += kBodyStart;
    RtfSink sink { text, out };
    scanColours(text, sink);
    out += '}';
    return out;
}

} // namespace editor
