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
    key.resize(0);
    if (tag.startsWith(u"<!--~")) {
        key.append(u"<!--~");
        return;
    }
    if (tag.startsWith(u"<!--")) {
        key.append(u"<!--");
        return;
    }
    for (const QChar c : tag) {
        if (key.size() > maxLength)
            break;
        if (!isKeyCharacter(c)) {
            key += QLatin1Char('>');
            break;
        }
        const char16_t u = c.unicode();
        key += (u >= u'a' && u <= u'z') ? QChar(u - u'a' + u'A') : c;
    }
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

bool canBeginTag(QStringView text, qsizetype p)
{
    for (qsizetype i = p + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
            || c == QLatin1Char('\r'))
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
