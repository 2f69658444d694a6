#include "formatter/tagkey.h"

namespace formatter {

namespace {

bool isKeyCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
           || u == u'<' || u == u'/';
}

} // namespace

QString TagKey(QStringView tag, qsizetype maxLength)
{
    if (tag.startsWith(u"<!--~"))
        return QStringLiteral("<!--~");
    if (tag.startsWith(u"<!--"))
        return QStringLiteral("<!--");
    QString key;
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
    return key;
}

QString TagKey(QStringView tag)
{
    return TagKey(tag, tag.size() + 1);
}

bool isBlockTag(QStringView key)
{
    if (key.isEmpty())
        return false;
    for (const QStringView entry : BlockTagList) {
        if (entry == key)
            return true;
    }
    return false;
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
