#include "platform/inifile.h"

#include "platform/atomicfile.h"

#include <QFile>

#include <algorithm>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The name of a "[name]" line, or a null view when the line is no section header.
QStringView sectionHeaderName(QStringView line)
{
    const QStringView trimmed = trimBlanks(line);
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return trimBlanks(trimmed.sliced(1, close - 1));
}

struct KeyLine {
    QStringView key;
    QStringView value;
    bool valid = false;
};

KeyLine splitKeyLine(QStringView line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    return { trimBlanks(line.first(eq)), trimBlanks(line.sliced(eq + 1)), true };
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool IniFile::load(const QString &path)
{
    m_path = path;
    m_lines.clear();
    m_encoding = TextEncoding::Utf8;
    m_lfOnly = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const DecodedText decoded = decodeText(bytes);
    m_encoding = decoded.encoding;
    setText(decoded.text);
    return true;
}

void IniFile::setText(const QString &input)
{
    m_lines.clear();
    // Editors on Linux like to start a file with a byte-order mark; it is no part of a section
    // name, and it is written back as it was.
    m_byteOrderMark = input.startsWith(QChar(0xFEFF));
    const QStringView text = m_byteOrderMark ? QStringView(input).sliced(1) : QStringView(input);
    const qsizetype firstLf = text.indexOf(QLatin1Char('\n'));
    m_lfOnly = firstLf >= 0 && (firstLf == 0 || text.at(firstLf - 1) != QLatin1Char('\r'));
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
        if (lf < 0)
            lf = text.size();
        qsizetype end = lf;
        // CR CR LF is one line break too: a CR left in the value would spoil the value.
        while (end > start && text.at(end - 1) == QLatin1Char('\r'))
            --end;
        m_lines.append(text.sliced(start, end - start).toString());
        start = lf + 1;
    }
}

QString IniFile::text() const
{
    const QString eol = m_lfOnly ? QStringLiteral("\n") : QStringLiteral("\r\n");
    QString result;
    if (m_byteOrderMark)
        result += QChar(0xFEFF);
    qsizetype size = 0;
    for (const QString &line : m_lines)
        size += line.size() + eol.size();
    result.reserve(size);
    for (const QString &line : m_lines) {
        result += line;
        result += eol;
    }
    return result;
}

IniFile::Range IniFile::findSection(QStringView section) const
{
    Range range;
    const qsizetype count = m_lines.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView name = sectionHeaderName(m_lines.at(i));
        if (name.isNull())
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(name, section))
            range.header = i;
    }
    if (range.header >= 0)
        range.end = count;
    return range;
}

qsizetype IniFile::findKey(const Range &range, QStringView key) const
{
    if (range.header < 0)
        return -1;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const KeyLine kl = splitKeyLine(m_lines.at(i));
        if (kl.valid && sameName(kl.key, key))
            return i;
    }
    return -1;
}

bool IniFile::hasKey(QStringView section, QStringView key) const
{
    return findKey(findSection(section), key) >= 0;
}

QString IniFile::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    const qsizetype index = findKey(findSection(section), key);
    if (index < 0)
        return defaultValue;
    return splitKeyLine(m_lines.at(index)).value.left(kMaxValueLength).toString();
}

int IniFile::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    const qsizetype index = findKey(findSection(section), key);
    if (index < 0)
        return defaultValue;
    return parseIniInteger(splitKeyLine(m_lines.at(index)).value, defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(QStringView section, QStringView key, const QString &value)
{
    // A line break in a value would split it into lines of its own and corrupt the file.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString line = key.toString() + QLatin1Char('=') + flat;
    Range range = findSection(section);
    if (range.header < 0) {
        m_lines.append(QLatin1Char('[') + section.toString() + QLatin1Char(']'));
        m_lines.append(line);
        return;
    }
    const qsizetype index = findKey(range, key);
    if (index >= 0) {
        m_lines[index] = line;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    qsizetype insertAt = range.end;
    while (insertAt > range.header + 1 && trimBlanks(m_lines.at(insertAt - 1)).isEmpty())
        --insertAt;
    m_lines.insert(insertAt, line);
}

void IniFile::writeInteger(QStringView section, QStringView key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(QStringView section, QStringView key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList IniFile::sectionNames() const
{
    QStringList names;
    for (const QString &line : m_lines) {
        const QStringView name = sectionHeaderName(line);
        if (!name.isNull())
            names.append(name.toString());
    }
    return names;
}

QStringList IniFile::keyNames(QStringView section) const
{
    QStringList names;
    const Range range = findSection(section);
    if (range.header < 0)
        return names;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const KeyLine kl = splitKeyLine(m_lines.at(i));
        if (kl.valid && !kl.key.isEmpty())
            names.append(kl.key.toString());
    }
    return names;
}

bool IniFile::save(QString *errorText) const
{
    const QString content = text();
    // A value that one byte per character cannot hold turns the whole file into UTF-8, which
    // keeps the old characters too and is what the reader tries first.
    const bool fitsLatin1 = std::all_of(
        content.cbegin(), content.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
    const TextEncoding encoding = fitsLatin1 ? m_encoding : TextEncoding::Utf8;
    QString reason;
    const bool ok = writeFileAtomically(m_path, encodeText(content, encoding), &reason);
    if (!ok && errorText)
        *errorText = QStringLiteral("Error writing file %1: %2").arg(m_path, reason);
    return ok;
}

int parseIniInteger(QStringView value, int defaultValue)
{
    bool ok = false;
    if (value.size() > 2 && value[0] == QLatin1Char('0')
        && (value[1] == QLatin1Char('x') || value[1] == QLatin1Char('X'))) {
        const uint hex = value.sliced(2).toUInt(&ok, 16);
        return ok ? static_cast<int>(hex) : defaultValue;
    }
    const int decimal = value.toInt(&ok, 10);
    return ok ? decimal : defaultValue;
}

} // namespace platform
