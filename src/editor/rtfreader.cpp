#include "editor/rtfreader.h"

#include "editor/palette.h"

#include <QStringList>

namespace editor {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

enum class Destination { Body, Skipped, ColourTable };

struct GroupState {
    Destination destination = Destination::Body;
    int colourIndex = 0;
    int unicodeSkip = 1;
};

struct ControlWord {
    QByteArrayView name;
    bool hasNumber = false;
    qint64 number = 0;
};

class RtfReader
{
public:
    explicit RtfReader(const QByteArray &rtf)
        : m_rtf(rtf)
    { }

    bool read(ColouredText *out, QString *error);

private:
    bool fail(const QString &message)
    {
        m_error = message;
        return false;
    }
    bool step();
    bool controlWord();
    ControlWord readControlWord();
    bool bodyWord(const ControlWord &word);
    void colourTableWord(const ControlWord &word);
    bool append(QChar c) { return appendText(QStringView(&c, 1)); }
    template<typename Text> bool appendText(Text text);
    bool plainRun();
    void skipFallback();

    const QByteArray &m_rtf;
    qsizetype m_pos = 0;
    QList<GroupState> m_groups;
    QList<int> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_ended = false;
    ColouredText m_result;
    QString m_error;
};

bool RtfReader::read(ColouredText *out, QString *error)
{
    m_result.text.reserve(m_rtf.size());
    if (!m_rtf.startsWith("{\\rtf")) {
        *error = QStringLiteral("not a Rich Text document");
        return false;
    }
    while (m_pos < m_rtf.size() && !m_ended) {
        if (!step()) {
            *error = m_error;
            return false;
        }
    }
    if (!m_ended) {
        *error = QStringLiteral("the Rich Text document ends inside a group");
        return false;
    }
    for (; m_pos < m_rtf.size(); ++m_pos) {
        const char c = m_rtf.at(m_pos);
        if (c != '\r' && c != '\n' && c != ' ' && c != '\0') {
            *error = QStringLiteral("text after the end of the document at byte %1").arg(m_pos);
            return false;
        }
    }
    *out = std::move(m_result);
    return true;
}

bool RtfReader::step()
{
    const char c = m_rtf.at(m_pos);
    switch (c) {
    case '{':
        ++m_pos;
        m_groups.append(m_groups.isEmpty() ? GroupState() : m_groups.constLast());
        return true;
    case '}':
        ++m_pos;
        if (m_groups.isEmpty())
            return fail(QStringLiteral("a closing brace without its group at byte %1").arg(m_pos));
        m_groups.removeLast();
        m_ended = m_groups.isEmpty();
        return true;
    case '\\':
        return controlWord();
    case '\r':
    case '\n':
        ++m_pos; // raw line breaks are only layout of the stream
        return true;
    default:
        if (m_groups.isEmpty())
            return fail(QStringLiteral("text outside the document at byte %1").arg(m_pos + 1));
        if (m_groups.constLast().destination == Destination::Body)
            return plainRun();
        ++m_pos;
        if (m_groups.constLast().destination == Destination::ColourTable && c == ';') {
            m_colours.append(colourFromRgb(m_red, m_green, m_blue));
            m_red = m_green = m_blue = 0;
            return true;
        }
        return append(QChar::fromLatin1(c));
    }
}

ControlWord RtfReader::readControlWord()
{
    ControlWord word;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const qsizetype start = m_pos;
    while (m_pos < m_rtf.size() && isLetter(m_rtf.at(m_pos)))
        ++m_pos;
    word.name = QByteArrayView(m_rtf).sliced(start, m_pos - start);
    bool negative = false;
    if (m_pos < m_rtf.size() && m_rtf.at(m_pos) == '-') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_rtf.size() && isDigit(m_rtf.at(m_pos))) {
        word.hasNumber = true;
        // Clamped, so that a hostile run of digits cannot overflow.
        word.number = qMin<qint64>(word.number * 10 + (m_rtf.at(m_pos) - '0'), 1'000'000'000);
        ++m_pos;
    }
    if (negative)
        word.number = -word.number;
    if (m_pos < m_rtf.size() && m_rtf.at(m_pos) == ' ')
        ++m_pos; // the delimiter belongs to the word
    return word;
}

bool RtfReader::controlWord()
{
    ++m_pos;
    if (m_pos >= m_rtf.size())
        return fail(QStringLiteral("the Rich Text document ends after a backslash"));
    if (m_groups.isEmpty())
        return fail(QStringLiteral("a control word outside the document at byte %1").arg(m_pos));
    const char c = m_rtf.at(m_pos);
    if (c == '\\' || c == '{' || c == '}') {
        ++m_pos;
        return append(QChar::fromLatin1(c));
    }
    if (c == '\'') {
        const QByteArray hex = m_rtf.mid(m_pos + 1, 2);
        bool ok = false;
        const int value = hex.toInt(&ok, 16);
        if (!ok || hex.size() != 2)
            return fail(QStringLiteral("a bad \\' escape at byte %1").arg(m_pos));
        m_pos += 3;
        return append(QChar(value));
    }
    if (c == '*') {
        ++m_pos;
        m_groups.last().destination = Destination::Skipped;
        return true;
    }
    if (!isLetter(c)) {
        ++m_pos; // other control symbols (\~, \-, ...) carry nothing we keep
        return true;
    }
    const ControlWord word = readControlWord();
    if (m_groups.constLast().destination == Destination::ColourTable) {
        colourTableWord(word);
        return true;
    }
    return bodyWord(word);
}

void RtfReader::colourTableWord(const ControlWord &word)
{
    const int value = int(qBound(qint64(0), word.number, qint64(255)));
    if (word.name == "red")
        m_red = value;
    else if (word.name == "green")
        m_green = value;
    else if (word.name == "blue")
        m_blue = value;
}

bool RtfReader::bodyWord(const ControlWord &word)
{
    GroupState &group = m_groups.last();
    const QByteArrayView name = word.name;
    if (name == "colortbl") {
        group.destination = Destination::ColourTable;
        m_colours.clear();
    } else if (name == "fonttbl" || name == "stylesheet" || name == "info" || name == "pict") {
        group.destination = Destination::Skipped;
    } else if (name == "cf") {
        group.colourIndex = int(word.number);
    } else if (name == "plain") {
        group.colourIndex = 0;
    } else if (name == "par" || name == "line") {
        return append(QLatin1Char('\n'));
    } else if (name == "tab") {
        return append(QLatin1Char('\t'));
    } else if (name == "uc") {
        group.unicodeSkip = int(qBound(qint64(0), word.number, qint64(16)));
    } else if (name == "u") {
        if (!append(QChar(char16_t(static_cast<quint16>(word.number)))))
            return false;
        skipFallback();
    }
    return true;
}

void RtfReader::skipFallback()
{
    for (int n = m_groups.constLast().unicodeSkip; n > 0 && m_pos < m_rtf.size(); --n) {
        const char c = m_rtf.at(m_pos);
        if (c == '{' || c == '}')
            return;
        if (c == '\\' && m_rtf.mid(m_pos + 1, 1) == "'")
            m_pos += 4;
        else if (c == '\\' && ++m_pos < m_rtf.size() && isLetter(m_rtf.at(m_pos)))
            readControlWord();
        else
            ++m_pos;
    }
}

// Text up to the next brace, backslash or line break, in one piece.
bool RtfReader::plainRun()
{
    qsizetype end = m_pos;
    while (end < m_rtf.size()) {
        const char c = m_rtf.at(end);
        if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n')
            break;
        ++end;
    }
    const QLatin1StringView text(m_rtf.constData() + m_pos, end - m_pos);
    m_pos = end;
    return appendText(text);
}

template<typename Text> bool RtfReader::appendText(Text text)
{
    const GroupState &group = m_groups.constLast();
    if (group.destination != Destination::Body)
        return true;
    // Without a table, colour 0 is the automatic colour: black.
    if (m_colours.isEmpty() && group.colourIndex == 0)
        m_colours.append(0);
    if (group.colourIndex < 0 || group.colourIndex >= m_colours.size()) {
        return fail(QStringLiteral("colour %1 is not in the colour table (byte %2)")
                        .arg(group.colourIndex)
                        .arg(m_pos));
    }
    const int colour = m_colours.at(group.colourIndex);
    QList<ColourSpan> &spans = m_result.spans;
    const qsizetype at = m_result.text.size();
    m_result.text.append(text);
    if (!spans.isEmpty() && spans.constLast().colour == colour)
        spans.last().length += text.size();
    else
        spans.append({ at, text.size(), colour });
    return true;
}

} // namespace

bool readColouredRtf(const QByteArray &rtf, ColouredText *out, QString *error)
{
    return RtfReader(rtf).read(out, error);
}

} // namespace editor
