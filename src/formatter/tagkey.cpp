#include "formatter/tagkey.h"

#include <unordered_set>

namespace formatter {

namespace {

bool isKeyCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
        || u == u'<' || u == u'/';
}

} // namespace

void TagKeyInto(QStringView tag, qsizetype maxLength, QString &key)
{
    const bool comment = tag.size() >= 4 && tag.at(0) == QLatin1Char('<')
        && tag.at(1) == QLatin1Char('!') && tag.at(2) == QLatin1Char('-')
        && tag.at(3) == QLatin1Char('-');
    if (comment) {
        key = tag.size() > 4 && tag.at(4) == QLatin1Char('~') ? QStringLiteral("<!--~")
                                                              : QStringLiteral("<!--");
        return;
    }
    // The name, cut once it is longer than maxLength, then ">" if a character ended it.
    qsizetype n = 0;
    while (n < tag.size() && n <= maxLength && isKeyCharacter(tag.at(n)))
        ++n;
    const bool closed = n < tag.size() && n <= maxLength;
    key.resize(closed ? n + 1 : n);
    char16_t *out = reinterpret_cast<char16_t *>(key.data());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = tag.at(i).unicode();
        out[i] = (u >= u'a' && u <= u'z') ? char16_t(u - u'a' + u'A') : u;
    }
    if (closed)
        out[n] = u'>';
}

QString TagKey(QStringView tag, qsizetype maxLength)
{
    QString key;
    TagKeyInto(tag, maxLength, key);
    return key;
}

QString TagKey(QStringView tag)
{
    return TagKey(tag, tag.size() + 1);
}

void closeKeyAtEnd(QString &key, qsizetype tagLength)
{
    if (key.size() == tagLength && !key.endsWith(QLatin1Char('>')) && !key.startsWith(u"<!--"))
        key.append(QLatin1Char('>'));
}

bool canBeginTag(QStringView text, qsizetype p)
{
    for (qsizetype i = p + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isBlank(c))
            continue;
        return c.isLetter() || c == QLatin1Char('/') || c == QLatin1Char('!')
            || c == QLatin1Char('?');
    }
    return false;
}

bool isBlockTag(QStringView key)
{
    static const std::unordered_set<QStringView, ViewHash> keys(
        BlockTagList.begin(), BlockTagList.end() - 1);
    return keys.contains(key);
}

QChar tagNameCharacter(QChar c, int tagCase)
{
    const char16_t u = c.unicode();
    if (tagCase == 1) {
        if (u >= u'a' && u <= u'z')
            return QChar(u - u'a' + u'A');
    } else if (tagCase == 2) {
        // Latin-1 capitals with diaeresis lie 0x20 below their small letters, like ASCII.
        if ((u >= u'A' && u <= u'Z') || u == 0xC4 || u == 0xD6 || u == 0xDC)
            return QChar(u + 0x20);
    }
    return c;
}

void convertTagNameCase(QString &text, qsizetype from, int tagCase)
{
    if (tagCase != 1 && tagCase != 2)
        return;
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(' ') || c == QLatin1Char('"') || c == QLatin1Char('>'))
            break;
        const QChar converted = tagNameCharacter(c, tagCase);
        if (converted != c)
            text[i] = converted;
    }
}

} // namespace formatter
